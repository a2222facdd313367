// FirmwareUpload: content upload and download, content IDs, brightness and bitmap conversion.
#include "FirmwareUpload.h"

#include "KMRPause.h"
#include "KMRTagPool.h"
#include "bitmap/KMRBitmapConverter.h"

#include <KMRComm/KCTelegram.h>
#include <KMRComm/KMRKCSendTelegramFactory.h>

#include <KMRBase/KMRFileHelper.h>

#include <cstdio>
#include <memory>

namespace
{
constexpr size_t MAX_CONTENT_SEQUENCES = 0x10000;

struct FileCloser
{
    void operator()(std::FILE* file_i) const { std::fclose(file_i); }
};
} // namespace

uint8_t FirmwareUpload::CalcChecksum_CID(const uint8_t* data_i, size_t length_i)
{
    uint8_t sum = 0;
    for (size_t i = 0; i < length_i; ++i)
        sum = static_cast<uint8_t>(sum + data_i[i]);
    return static_cast<uint8_t>(0 - sum);
}

uint8_t FirmwareUpload::_CalcChecksum_CID() const
{
    return CalcChecksum_CID(m_Content.data(), m_Content.size());
}

void FirmwareUpload::_SendStartUploadTelegram_CID(uint32_t cid_i, uint8_t type_i)
{
    const unsigned int sequences = KCSendTelegram::CalcNumberOfSequences(static_cast<uint32_t>(m_Content.size()));
    const unsigned int first = sequences - 1;
    const size_t last = m_Content.size() - static_cast<size_t>(first) * KCSendTelegram::MAX_SEQUENCEDATALEN;
    const uint8_t block[7] = {static_cast<uint8_t>(first >> 8), static_cast<uint8_t>(first),
                              static_cast<uint8_t>(cid_i >> 8),  static_cast<uint8_t>(cid_i),
                              static_cast<uint8_t>(last),        _CalcChecksum_CID(),
                              type_i};
    auto request = _CreateRequest(KCTelegram::CMD_STARTUPLOAD, block, sizeof(block));
    const bool timedOut = _SendTransferTelegram(request.get(), START_UPLOAD_ATTEMPTS);
    _Log("after sendig start upload (user mode)");
    if (timedOut)
        throw KMRExceptionBase("FirmwareUpload::_SendStartUploadTelegram", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
    request.reset();
    if (!_PollControllerUSERMode(30, static_cast<uint32_t>(m_iResponseTimeout)))
        throw KMRExceptionBase("FirmwareUpload::_SendStartUploadTelegram", "Controller not reachable.");
}

void FirmwareUpload::_SendSetContentTelegrams_CID()
{
    const uint32_t length = static_cast<uint32_t>(m_Content.size());
    const unsigned int sequences = KCSendTelegram::CalcNumberOfSequences(length);
    KMRKCSendTelegramFactory factory;
    for (unsigned int i = 0; i < sequences; ++i)
    {
        const size_t end = std::min<size_t>(m_Content.size(), (i + 1) * size_t{KCSendTelegram::MAX_SEQUENCEDATALEN});
        const uint8_t running = CalcChecksum_CID(m_Content.data(), end);
        const uint8_t tag = KMRTagPool::GetNextTag(KMRTagPool::CreatePool());
        std::unique_ptr<KCSendTelegram> request(factory.CreateSetContentTelegram(
            m_ucAddress, 0, tag, m_Content.data(), length, 0, static_cast<unsigned short>(sequences - 1 - i)));
        if (!request)
            throw KMRExceptionBase("FirmwareUpload::_SendSetContentTelegrams_CID", "Error while sending data.");
        _Log("send set content telegram:");
        const bool timedOut = _SendTransferTelegram(request.get(), SET_CONTENT_ATTEMPTS);
        request.reset();
        if (timedOut)
        {
            _Log("ERROR: send set content telegram timeout");
            throw KMRExceptionBase("FirmwareUpload::_SendSetContentTelegrams_CID", "Error while sending data.");
        }
        _CheckResponse(m_pResponse.get());
        const unsigned char* data = m_pResponse->GetData();
        if (m_pResponse->GetCmd() != KCTelegram::CMD_SETCONTENT || m_pResponse->GetDataSize() != 1 ||
            data == nullptr || data[0] != running)
        {
            _Log("ERROR: send set content telegram wrong running checksum");
            throw KMRExceptionBase("FirmwareUpload::_SendSetContentTelegrams_CID",
                                   "Error while sending data. running checksum not correct");
        }
        _RunMessageLoop();
    }
}

void FirmwareUpload::_SendStopUpload_CID()
{
    auto request = _CreateRequest(KCTelegram::CMD_STOPUPLOAD);
    const bool timedOut = _SendTransferTelegram(request.get(), STOP_UPLOAD_ATTEMPTS);
    _Log("after stop upload");
    request.reset();
    if (timedOut)
        throw KMRExceptionBase("FirmwareUpload::_SendStopUpload", "Controller not reachable.");
    // The controller verifies the whole content at the stop; a refusal there means the
    // content was not stored and must not be reported as uploaded.
    _CheckResponse(m_pResponse.get());
    if (!_PollControllerUSERMode(15, static_cast<uint32_t>(m_iResponseTimeout)))
        throw KMRExceptionBase("FirmwareUpload::_SendStopUpload", "Controller not reachable.");
}

void FirmwareUpload::_CheckContentSize() const
{
    // An empty content has no sequence to number; beyond 65536 sequences the 16-bit counter wraps.
    if (m_Content.empty())
        throw KMRExceptionBase("FirmwareUpload::UploadCidOrConfigFile", "The content file is empty.");
    if ((m_Content.size() + KCSendTelegram::MAX_SEQUENCEDATALEN - 1) / KCSendTelegram::MAX_SEQUENCEDATALEN >
        MAX_CONTENT_SEQUENCES)
        throw KMRExceptionBase("FirmwareUpload::UploadCidOrConfigFile", "The content file is too large.");
}

void FirmwareUpload::UploadCidOrConfigFile(const KMRString& path_i, uint32_t cid_i, uint8_t type_i)
{
    unsigned char* data = nullptr;
    unsigned int size = 0;
    if (!KMRFileHelper::ReadData(path_i, &data, size))
        throw KMRExceptionBase("FirmwareUpload::UploadCidOrConfigFile", "Unable to open file: " + path_i);
    m_Content.assign(data, data + size);
    KMRFileHelper::FreeData(data);
    try
    {
        _CheckContentSize();
        try
        {
            _SendStartUploadTelegram_CID(cid_i, type_i);
        }
        catch (const KMRExceptionBase&)
        {
            _SendStartUploadTelegram_CID(cid_i, type_i);
        }
        _SendSetContentTelegrams_CID();
        try
        {
            _SendStopUpload_CID();
        }
        catch (const KMRExceptionBase&)
        {
            _SendStopUpload_CID();
        }
    }
    catch (...)
    {
        m_Content.clear();
        throw;
    }
    m_Content.clear();
}

void FirmwareUpload::UploadBitmap(const KMRString& path_i, uint32_t cid_i, uint8_t signType_i)
{
    bool converted = true;
    switch (signType_i)
    {
    case 1: converted = LoadBMPFile1Bit(path_i); break;
    case 4: converted = LoadBMPFile2Bit(path_i); break;
    case 8: converted = LoadBMPFile8Bit(path_i); break;
    default: break;
    }
    if (!converted)
        throw KMRExceptionBase("FirmwareUpload::UploadBitmap",
                               "The coosen bitmap format isn't supported.\nPlease cosse another!(monchrome or 24bit)");
    if (m_pBitmap.empty())
        throw KMRExceptionBase("FirmwareUpload::UploadBitmap", "m_pBitmap = NULL");
    m_Content = m_pBitmap;
    try
    {
        _CheckContentSize();
        _SendStartUploadTelegram_CID(cid_i, 0);
        _PollControllerUSERMode(10, static_cast<uint32_t>(m_iResponseTimeout));
        _SendSetContentTelegrams_CID();
        _SendStopUpload_CID();
        _PollControllerUSERMode(10, static_cast<uint32_t>(m_iResponseTimeout));
    }
    catch (...)
    {
        m_Content.clear();
        throw;
    }
    m_Content.clear();
}

uint32_t FirmwareUpload::_SendStartDownloadTelegram(uint32_t cid_i, uint8_t type_i)
{
    const uint8_t data[3] = {static_cast<uint8_t>(cid_i >> 8), static_cast<uint8_t>(cid_i), type_i};
    auto request = _CreateRequest(KCTelegram::CMD_STARTDOWNLOAD, data, sizeof(data));
    const bool answered = _Exchange(request.get());
    _Log("after sendig start download (user mode)");
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::_SendStartDownloadTelegram", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
    if (!_PollControllerGetAsyncData(30, static_cast<uint32_t>(m_iResponseTimeout)))
        throw KMRExceptionBase("FirmwareUpload::_SendStartDownloadTelegram", "Controller not reachable.");
    if (m_AsyncData.size() < 2)
        return 0;
    return static_cast<uint32_t>(m_AsyncData[0]) << 8 | m_AsyncData[1];
}

void FirmwareUpload::_SendGetContentDownloadTelegram(uint16_t counter_i)
{
    const uint8_t data[2] = {static_cast<uint8_t>(counter_i >> 8), static_cast<uint8_t>(counter_i)};
    auto request = _CreateRequest(KCTelegram::CMD_GETCONTENT, data, sizeof(data));
    const bool answered = _Exchange(request.get());
    _Log("after sendig GetContentTelegram (user mode)");
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::pGetContentTelegram", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
    const unsigned char* answer = m_pResponse->GetData();
    m_AsyncData.assign(answer, answer != nullptr ? answer + m_pResponse->GetDataSize() : answer);
}

void FirmwareUpload::_SendStopDownloadTelegram()
{
    auto request = _CreateRequest(KCTelegram::CMD_STOPDOWNLOAD);
    const bool answered = _Exchange(request.get());
    _Log("after sendig stop download (user mode)");
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::pStopDownloadTelegram", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
    if (!_PollControllerGetAsyncData(30, static_cast<uint32_t>(m_iResponseTimeout)))
        throw KMRExceptionBase("FirmwareUpload::_SendStartDownloadTelegram", "Controller not reachable.");
}

void FirmwareUpload::DownloadContent(const KMRString& path_i, uint32_t cid_i, uint8_t type_i)
{
    const uint32_t last = _SendStartDownloadTelegram(cid_i, type_i);
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path_i.GetString(), "wb"));
    // The user must learn that nothing was saved: a failure, not a silent return.
    if (!file)
        throw KMRExceptionBase("FirmwareUpload::DownloadContent", "Unable to open file: " + path_i);
    for (uint32_t k = 0; k <= last; ++k)
    {
        _SendGetContentDownloadTelegram(static_cast<uint16_t>(last - k));
        if (!m_AsyncData.empty() &&
            std::fwrite(m_AsyncData.data(), 1, m_AsyncData.size(), file.get()) != m_AsyncData.size())
            throw KMRExceptionBase("FirmwareUpload::DownloadContent", "Unable to write file: " + path_i);
        if (std::fflush(file.get()) != 0)
            throw KMRExceptionBase("FirmwareUpload::DownloadContent", "Unable to write file: " + path_i);
    }
    _SendStopDownloadTelegram();
    if (std::fclose(file.release()) != 0)
        throw KMRExceptionBase("FirmwareUpload::DownloadContent", "Unable to write file: " + path_i);
}

void FirmwareUpload::_SendCheckIfCidExistsTelegram(uint32_t cid_i)
{
    const uint8_t data[2] = {static_cast<uint8_t>(cid_i >> 8), static_cast<uint8_t>(cid_i)};
    auto request = _CreateRequest(KCTelegram::CMD_CIDAVAILABLE, data, sizeof(data));
    const bool answered = _Exchange(request.get());
    _Log("after cidavailable");
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::_SendCheckIfCidExistsTelegram", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
    const unsigned char* answer = m_pResponse->GetData();
    if (answer == nullptr || m_pResponse->GetDataSize() < 1 || answer[0] != 0xFF)
        throw KMRExceptionBase("FirmwareUpload::_SendCheckIfCidExistsTelegram", "cid not available");
}

void FirmwareUpload::CheckIfCidExists(uint32_t cid_i)
{
    _SendCheckIfCidExistsTelegram(cid_i);
}

void FirmwareUpload::_SendDeleteContentIDTelegram(uint32_t cid_i)
{
    const uint8_t data[2] = {static_cast<uint8_t>(cid_i >> 8), static_cast<uint8_t>(cid_i)};
    auto request = _CreateRequest(KCTelegram::CMD_DELETECONTENT, data, sizeof(data));
    const bool answered = _Exchange(request.get());
    _Log("after delete contentid");
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::_SendDeleteContentIDTelegram", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
}

void FirmwareUpload::DeleteContentID(uint32_t cid_i)
{
    try
    {
        _SendDeleteContentIDTelegram(cid_i);
    }
    catch (...)
    {
        // Deleting is a preparation step: a controller without the ID is fine.
    }
}

void FirmwareUpload::ActivateContent(uint32_t cid_i)
{
    const uint8_t data[2] = {static_cast<uint8_t>(cid_i >> 8), static_cast<uint8_t>(cid_i)};
    auto request = _CreateRequest(KCTelegram::CMD_ACTIVATECONTENT, data, sizeof(data));
    _SendTelegram(request.get());
    _Log("after activate content");
    KMRPause::Sleep(1000);
    const bool answered = _WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout));
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::ActivateContent", "Controller not reachable\nContent was not activated");
    // An unknown content ID is refused (CID error): that is not an activated content.
    _CheckResponse(m_pResponse.get());
    _PollControllerUSERMode(15, static_cast<uint32_t>(m_iResponseTimeout));
}

void FirmwareUpload::SetSignBrightness(uint8_t brightness_i)
{
    auto request = _CreateRequest(KCTelegram::CMD_SETBRIGHTNESS, &brightness_i, 1);
    _SendTelegram(request.get());
    _Log("after set brightness");
    KMRPause::Sleep(500);
    const bool answered = _WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout));
    request.reset();
    if (!answered)
        throw KMRExceptionBase("FirmwareUpload::SetSignBrightness", "Controller not reachable\nBrightness was not set");
    _CheckResponse(m_pResponse.get());
}

namespace
{
using Conversion = bool (*)(const KMRDecodedImage&, std::vector<uint8_t>&);

bool Convert(const KMRString& path_i, Conversion conversion_i, std::vector<uint8_t>& bitmap_o)
{
    KMRDecodedImage image;
    if (!KMRDecodeImage(path_i.ToStdString(), image))
        return false;
    return conversion_i(image, bitmap_o);
}
} // namespace

bool FirmwareUpload::LoadBMPFile1Bit(const KMRString& path_i)
{
    return Convert(path_i, &KMRConvertTo1Bit, m_pBitmap);
}

bool FirmwareUpload::LoadBMPFile2Bit(const KMRString& path_i)
{
    return Convert(path_i, &KMRConvertTo2Bit, m_pBitmap);
}

bool FirmwareUpload::LoadBMPFile8Bit(const KMRString& path_i)
{
    return Convert(path_i, &KMRConvertTo8Bit, m_pBitmap);
}
