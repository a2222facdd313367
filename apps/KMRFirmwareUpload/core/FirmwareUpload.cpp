// FirmwareUpload: construction, the exchanges, the response check and the firmware upload.
#include "FirmwareUpload.h"

#include "KMRPause.h"
#include "KMRTagPool.h"

#include <KMRComm/KCTelegram.h>
#include <KMRComm/KMRKCReceiveTelegramFactory.h>
#include <KMRComm/KMRKCSendTelegramFactory.h>
#include <KMRComm/KMRTransmission.h>

#include <KMRBase/KMRException.h>
#include <KMRBase/KMRFileHelper.h>

#include <chrono>

namespace
{
constexpr char LOGGER_NAME[] = "org.kelmar.applications.firmwareupdate";
constexpr char ON_RECEIVE[] = "FirmwareUpload::OnReceive";
constexpr unsigned int TEXT_BUFFER = 1024;
// The sequence counter is 16 bits wide: larger images cannot be numbered.
constexpr size_t MAX_SEQUENCES = 0x10000;

KMRString TelegramText(const KMRAbstractTelegram& telegram_i)
{
    char buffer[TEXT_BUFFER] = {};
    telegram_i.ToString(buffer, TEXT_BUFFER);
    return KMRString(buffer);
}
} // namespace

FirmwareUpload::FirmwareUpload(IKMRTransmissionFactory* factory_i, uint8_t address_i)
    : m_pTransmissionFactory(factory_i)
{
    m_Logger.SetLogger(LOGGER_NAME);
    SetKelmarCom2Address(address_i);
}

FirmwareUpload::FirmwareUpload(IKMRTransmissionFactory* factory_i, const KMRString& imageFile_i, uint8_t address_i)
    : FirmwareUpload(factory_i, address_i)
{
    unsigned char* data = nullptr;
    unsigned int size = 0;
    if (!KMRFileHelper::ReadData(imageFile_i, &data, size))
        throw KMRExceptionBase("FirmwareUpload::FirmwareUpload", "Unable to open file: " + imageFile_i);
    m_Image.assign(data, data + size);
    KMRFileHelper::FreeData(data);
}

FirmwareUpload::~FirmwareUpload()
{
    UnInitialize();
}

void FirmwareUpload::Initialize(int32_t timeoutMs_i)
{
    m_iResponseTimeout = timeoutMs_i;
    m_Logger.SetLogger(LOGGER_NAME);
    UnInitialize();
    m_pTelegramFactory = std::make_unique<KMRKCReceiveTelegramFactory>();
    if (m_pTransmissionFactory == nullptr)
        throw KMRExceptionBase("FirmwareUpload::Initialize", "No connection type chosen.");
    m_pTransmission = m_pTransmissionFactory->CreateTransmission(this, m_pTelegramFactory.get());
    if (m_pTransmission == nullptr)
        throw KMRExceptionBase("FirmwareUpload::Initialize", "The connection could not be created.");
    try
    {
        m_pTransmission->Initialize();
    }
    catch (...)
    {
        UnInitialize();
        throw;
    }
    _Log("after Initialize in FrimwareUpload");
    m_AsyncData.clear();
    m_pBitmap.clear();
}

void FirmwareUpload::UnInitialize()
{
    if (m_pTransmission != nullptr)
    {
        // Stops the delivery thread first, so OnReceive cannot run after this.
        m_pTransmission->UnInitialize();
        m_pTransmission->Release();
        m_pTransmission = nullptr;
    }
    m_pTelegramFactory.reset();
}

void FirmwareUpload::SetKelmarCom2Address(uint8_t address_i)
{
    m_ucAddress = address_i;
    if ((address_i >= 1 && address_i <= 239) || address_i == 255)
        m_ucUserModeAddress = address_i;
}

void FirmwareUpload::OnReceive(KMRAbstractTelegram* telegram_i)
{
    if (telegram_i == nullptr)
        return;
    _Log("RECEIVE: " + TelegramText(*telegram_i));
    std::unique_ptr<KCReceiveTelegram> response;
    try
    {
        response = std::make_unique<KCReceiveTelegram>(telegram_i->GetTelegramStream(), telegram_i->GetSize());
    }
    catch (const KMRException& e)
    {
        _Log(KMRString("ERROR: invalid answer ignored: ") + e.GetDetails());
        return;
    }
    uint8_t expected = 0;
    bool accepted = false;
    {
        // Checked under the lock that _SendTelegram holds while it switches to the
        // next request, so a stale answer can never be stored for the new one.
        std::lock_guard<std::mutex> lock(m_ResponseLock);
        expected = m_ucExpectedTag;
        accepted = expected != 0 && (response->GetTag() & 0xF0) == (expected & 0xF0);
        if (accepted)
            m_pIncoming = std::move(response);
    }
    if (!accepted)
    {
        // An answer to an earlier request that arrived after its time-out: taking it
        // as the answer to the current request could report a step that never happened.
        _Log(KMRString::Formatted("RECEIVE ignored: tag 0x%02X does not answer the current request (tag 0x%02X)",
                                  response->GetTag(), expected));
        return;
    }
    m_ResponseEvent.Set();
}

std::unique_ptr<KCSendTelegram> FirmwareUpload::_CreateRequestTo(uint8_t address_i, uint8_t command_i,
                                                                 const uint8_t* data_i, unsigned int length_i) const
{
    const uint8_t tag = KMRTagPool::GetNextTag(KMRTagPool::CreatePool());
    return std::make_unique<KCSendTelegram>(address_i, 0, tag, command_i, length_i > 0 ? data_i : nullptr, length_i);
}

std::unique_ptr<KCSendTelegram> FirmwareUpload::_CreateRequest(uint8_t command_i, const uint8_t* data_i,
                                                               unsigned int length_i) const
{
    return _CreateRequestTo(m_ucAddress, command_i, data_i, length_i);
}

void FirmwareUpload::_SendTelegram(KCSendTelegram* telegram_i)
{
    KMRPause::Sleep(5);
    if (m_pTransmission != nullptr && telegram_i != nullptr)
    {
        _Log("SEND:    " + TelegramText(*telegram_i));
        {
            // Only answers carrying this request's tag are taken from now on.
            std::lock_guard<std::mutex> lock(m_ResponseLock);
            m_pIncoming.reset();
            m_ucExpectedTag = telegram_i->GetTag();
        }
        try
        {
            m_pTransmission->Send(telegram_i);
        }
        catch (...)
        {
            _Log("FirmwareUpload::_SendTelegram ... error while sending data");
        }
    }
    KMRPause::Sleep(25);
}

bool FirmwareUpload::_WaitForResponse(uint32_t timeoutMs_i)
{
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs_i);
    for (;;)
    {
        {
            std::lock_guard<std::mutex> lock(m_ResponseLock);
            if (m_pIncoming)
            {
                m_pResponse = std::move(m_pIncoming);
                return true;
            }
        }
        const auto now = Clock::now();
        if (now >= deadline)
            return false;
        const auto remaining = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now).count();
        if (!m_ResponseEvent.Wait(static_cast<uint32_t>(remaining + 1)))
        {
            std::lock_guard<std::mutex> lock(m_ResponseLock);
            if (!m_pIncoming)
                return false;
        }
    }
}

bool FirmwareUpload::_Exchange(KCSendTelegram* telegram_i)
{
    _SendTelegram(telegram_i);
    return _WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout));
}

bool FirmwareUpload::_SendTelegramAndWaitForResponse(KCSendTelegram* telegram_i, int32_t timeoutMs_i,
                                                     int32_t attempts_i)
{
    for (int32_t attempt = 0; attempt < attempts_i; ++attempt)
    {
        try
        {
            _SendTelegram(telegram_i);
        }
        catch (...)
        {
            _Log("ERROR: exception while sending telegram");
        }
        if (_WaitForResponse(static_cast<uint32_t>(timeoutMs_i)))
            return false;
        _Log(KMRString::Formatted("ERROR: telegram timeout %d", attempt));
    }
    return true;
}

bool FirmwareUpload::_SendTransferTelegram(KCSendTelegram* telegram_i, int32_t attempts_i)
{
    for (int32_t busyAnswers = 0;; ++busyAnswers)
    {
        if (_SendTelegramAndWaitForResponse(telegram_i, m_iResponseTimeout, attempts_i))
            return true;
        if ((m_pResponse->GetStatus1() & 0x80) == 0 || busyAnswers + 1 >= MAX_BUSY_ANSWERS)
            return false;
        _Log("FirmwareUpload::_SendTransferTelegram -> device is busy, resend the telegram");
    }
}

bool FirmwareUpload::_CheckResponse(const KCReceiveTelegram* response_i)
{
    if (response_i == nullptr)
        throw KMRExceptionBase(ON_RECEIVE, "response is a NACK telegram.");
    const uint8_t command = response_i->GetCmd();
    if (command == KCTelegram::CMD_ENABLEFIRMWAREUPDATE || command == KCTelegram::CMD_RESETCONTROLLER ||
        command == KCTelegram::CMD_RESETFWCONTROLLER)
    {
        _Log("exit check resoponse because of a special command");
        return true;
    }
    if (response_i->GetStatus1() & 0x80)
        throw KMRExceptionBase(ON_RECEIVE, "BUSY");
    if ((response_i->GetTagFlags() & 0x01) == 0)
    {
        _Log("EXCEPTION: FirmwareUpload::_CheckResponse, response is a NACK telegram ");
        if (command == KCTelegram::CMD_POLLFIRMWARE)
            throw KMRExceptionBase(ON_RECEIVE, "Controller not in Firmware Upload Mode");
        throw KMRExceptionBase(ON_RECEIVE, "response is a NACK telegram.");
    }
    struct Error2Bit
    {
        uint8_t bit;
        const char* log;
        const char* message;
    };
    static const Error2Bit ERROR2[] = {
        {0x01, "EXCEPTION: FirmwareUpload::_CheckResponse, out of range error", "out of range error."},
        {0x04, "EXCEPTION: FirmwareUpload::_CheckResponse, CID error", "CID error."},
        {0x08, "EXCEPTION: FirmwareUpload::_CheckResponse, Controller has an internal conflict",
         "Controller has an internal conflict"},
        {0x10, "EXCEPTION: FirmwareUpload::_CheckResponse, SEQUENCE error", "SEQUENCE error."},
        {0x20, "EXCEPTION: FirmwareUpload::_CheckResponse, data format error", "data format error."},
        {0x40, "EXCEPTION: FirmwareUpload::_CheckResponse, internal error", "internal error."},
        {0x80, "EXCEPTION: FirmwareUpload::_CheckResponse, subaddress not allowed error",
         "subaddress not allowed error."},
    };
    const uint8_t error2 = response_i->GetError2();
    for (const Error2Bit& entry : ERROR2)
        if (error2 & entry.bit)
        {
            _Log(entry.log);
            throw KMRExceptionBase(ON_RECEIVE, entry.message);
        }
    if (response_i->GetError1() & 0x80)
    {
        _Log("EXCEPTION: FirmwareUpload::_CheckResponse, CLIMATE ERROR");
        throw KMRExceptionBase(ON_RECEIVE, "CLIMATE ERROR!");
    }
    return true;
}

void FirmwareUpload::_RunMessageLoop()
{
    if (m_pPaintPump != nullptr)
        m_pPaintPump->PumpPaintMessages();
}

void FirmwareUpload::_Log(const KMRString& text_i)
{
    m_Logger.Info(text_i.GetString());
}

void FirmwareUpload::ResetProgressBar()
{
    if (m_pProgressBar != nullptr)
        m_pProgressBar->SetPos(0);
}

void FirmwareUpload::_InitializeProgressBar()
{
    if (m_pProgressBar != nullptr)
    {
        m_pProgressBar->SetRange(0, static_cast<int>(GetNumberOfFirmwareSequences()) + 2);
        m_pProgressBar->SetStep(1);
    }
}

void FirmwareUpload::_StepProgressBar()
{
    if (m_pProgressBar != nullptr)
        m_pProgressBar->StepIt();
}

// ---- polls and reachability ----

bool FirmwareUpload::_PollUserModeCommand(uint8_t command_i, int32_t count_i, uint32_t timeoutMs_i, bool keepData_i)
{
    int32_t attempt = 0;
    int32_t busyAnswers = 0;
    while (attempt < count_i)
    {
        auto request = _CreateRequest(command_i);
        _SendTelegram(request.get());
        const bool answered = _WaitForResponse(timeoutMs_i);
        request.reset();
        if (!answered)
        {
            ++attempt;
            continue;
        }
        try
        {
            _CheckResponse(m_pResponse.get());
            if (keepData_i)
            {
                const unsigned char* data = m_pResponse->GetData();
                const unsigned int size = m_pResponse->GetDataSize();
                m_AsyncData.assign(data, data != nullptr ? data + size : data);
            }
            return true;
        }
        catch (const KMRExceptionBase& e)
        {
            const KMRString& message = e.GetMessage();
            if (message == "BUSY")
            {
                _Log("FirmwareUpload::_PollControllerUSERMode -> device is busy, resend the poll");
                if (++busyAnswers >= MAX_BUSY_ANSWERS)
                {
                    _Log(KMRString::Formatted("ERROR: controller still busy after %d answers, poll failed",
                                              busyAnswers));
                    return false;
                }
                continue;
            }
            if (!keepData_i &&
                (message == "Controller not in Firmware Upload Mode" || message == "response is a NACK telegram."))
                return false;
            throw KMRExceptionBase("_PollControllerUSERMode", message);
        }
    }
    return false;
}

bool FirmwareUpload::_PollControllerUSERMode(int32_t count_i, uint32_t timeoutMs_i)
{
    return _PollUserModeCommand(KCTelegram::CMD_POLL, count_i, timeoutMs_i, false);
}

bool FirmwareUpload::_PollControllerGetAsyncData(int32_t count_i, uint32_t timeoutMs_i)
{
    return _PollUserModeCommand(KCTelegram::CMD_GETASYNCDATA, count_i, timeoutMs_i, true);
}

bool FirmwareUpload::_PollControllerFirmwareMode(int32_t count_i, uint32_t timeoutMs_i)
{
    for (int32_t attempt = 0; attempt < count_i; ++attempt)
    {
        auto request = _CreateRequest(KCTelegram::CMD_POLLFIRMWARE);
        _SendTelegram(request.get());
        if (_WaitForResponse(timeoutMs_i))
        {
            _CheckResponse(m_pResponse.get());
            return true;
        }
    }
    return false;
}

namespace
{
int32_t Passes(int32_t totalMs_i, int32_t timeoutMs_i)
{
    return (timeoutMs_i > 0 ? totalMs_i / timeoutMs_i : 0) + 1;
}
} // namespace

bool FirmwareUpload::CheckIfControllerIsReachable_UserMode(int32_t totalMs_i)
{
    const int32_t passes = Passes(totalMs_i, m_iResponseTimeout);
    for (int32_t pass = 0; pass < passes; ++pass)
        if (_PollControllerUSERMode(1, static_cast<uint32_t>(m_iResponseTimeout)))
            return true;
    return false;
}

bool FirmwareUpload::CheckIfControllerIsReachable_FirmwareMode(int32_t totalMs_i)
{
    const int32_t passes = Passes(totalMs_i, m_iResponseTimeout);
    for (int32_t pass = 0; pass < passes; ++pass)
    {
        try
        {
            if (_PollControllerFirmwareMode(1, static_cast<uint32_t>(m_iResponseTimeout)))
                return true;
        }
        catch (const KMRExceptionBase&)
        {
            // A NACK ("not in firmware mode") is a failed poll here: keep polling.
        }
    }
    return false;
}

bool FirmwareUpload::CheckIfControllerIsReachable(int32_t totalMs_i, bool* inFirmwareMode_o)
{
    if (inFirmwareMode_o != nullptr)
        *inFirmwareMode_o = false;
    const uint8_t address = m_ucAddress;
    const int32_t passes = Passes(totalMs_i, m_iResponseTimeout);
    for (int32_t pass = 0; pass < passes; ++pass)
    {
        if (_PollControllerUSERMode(1, static_cast<uint32_t>(m_iResponseTimeout)))
            return true;
        SetKelmarCom2Address(FIRMWARE_MODE_ADDRESS);
        if (_PollControllerFirmwareMode(1, static_cast<uint32_t>(m_iResponseTimeout)))
        {
            if (inFirmwareMode_o != nullptr)
                *inFirmwareMode_o = true;
            return true;
        }
        SetKelmarCom2Address(address);
    }
    return false;
}

// ---- firmware upload ----

unsigned int FirmwareUpload::GetNumberOfFirmwareSequences() const
{
    const size_t perSequence = KCSendTelegram::MAX_SEQUENCEDATALENFIRMWARE;
    return static_cast<unsigned int>((m_Image.size() + perSequence - 1) / perSequence);
}

void FirmwareUpload::EnableFirmwareUpload()
{
    _PollControllerUSERMode(1, static_cast<uint32_t>(m_iResponseTimeout));
    _SendEnableFirmwareUploadTelegram();
}

bool FirmwareUpload::_SendEnableFirmwareUploadTelegram()
{
    for (int attempt = 0; attempt < 3; ++attempt)
    {
        std::unique_ptr<KCSendTelegram> request;
        try
        {
            request = _CreateRequest(KCTelegram::CMD_ENABLEFIRMWAREUPDATE);
            _SendTelegram(request.get());
        }
        catch (...)
        {
            _Log("EXCEPTION FirmwareUpload::SendEnableFirmwareUploadTelegram");
            return false;
        }
        if (_WaitForResponse(static_cast<uint32_t>(m_iResponseTimeout)))
        {
            _CheckResponse(m_pResponse.get());
            _Log("Enable Firmware Upload done");
            return true;
        }
    }
    return false;
}

uint16_t FirmwareUpload::CalcFletcherChecksum(const uint8_t* data_i, size_t length_i)
{
    unsigned sum1 = 0;
    unsigned sum2 = 0;
    for (size_t i = 0; i < length_i; ++i)
    {
        sum1 = (sum1 + data_i[i]) % 255;
        sum2 = (sum2 + sum1) % 255;
    }
    const unsigned check0 = 255 - ((sum1 + sum2) % 255);
    const unsigned check1 = 255 - ((sum1 + check0) % 255);
    return static_cast<uint16_t>(check1 * 256 + check0);
}

uint16_t FirmwareUpload::_CalcFletcherChecksum() const
{
    return CalcFletcherChecksum(m_Image.data(), m_Image.size());
}

void FirmwareUpload::UploadFile()
{
    // Without bytes there is nothing to number; beyond 65536 sequences the counter wraps.
    if (m_Image.empty())
        throw KMRExceptionBase("FirmwareUpload::UploadFile", "The firmware image is empty.");
    if (GetNumberOfFirmwareSequences() > MAX_SEQUENCES)
        throw KMRExceptionBase("FirmwareUpload::UploadFile", "The firmware image is too large.");
    _InitializeProgressBar();
    _SendStartUploadTelegram();
    _SendSetContentTelegrams();
    _SendStopUpload();
}

void FirmwareUpload::_SendStartUploadTelegram()
{
    const unsigned int sequences = GetNumberOfFirmwareSequences();
    const unsigned int first = sequences - 1;
    const size_t last = m_Image.size() - static_cast<size_t>(first) * KCSendTelegram::MAX_SEQUENCEDATALENFIRMWARE;
    const uint16_t checksum = _CalcFletcherChecksum();
    const uint8_t block[12] = {static_cast<uint8_t>(first >> 8),
                               static_cast<uint8_t>(first),
                               static_cast<uint8_t>(last),
                               static_cast<uint8_t>(checksum >> 8),
                               static_cast<uint8_t>(checksum),
                               0x00, 0x02, 0x00, 0x00, 0x03, 0x01, 0x00};
    auto request = _CreateRequest(KCTelegram::CMD_STARTUPLOADFIRMWARE, block, sizeof(block));
    const bool timedOut = _SendTransferTelegram(request.get(), START_UPLOAD_ATTEMPTS);
    _Log("after sendig start upload");
    request.reset();
    _StepProgressBar();
    if (timedOut)
        throw KMRExceptionBase("FirmwareUpload::_SendStartUploadTelegram", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
    if (!_PollControllerFirmwareMode(FIRMWARE_POLL_ATTEMPTS, static_cast<uint32_t>(m_iResponseTimeout)))
        throw KMRExceptionBase("FirmwareUpload::_SendStartUploadTelegram", "Controller not reachable.");
}

void FirmwareUpload::_SendSetContentTelegrams()
{
    const unsigned int sequences = GetNumberOfFirmwareSequences();
    KMRKCSendTelegramFactory factory;
    for (unsigned int i = 0; i < sequences; ++i)
    {
        const uint8_t tag = KMRTagPool::GetNextTag(KMRTagPool::CreatePool());
        std::unique_ptr<KCSendTelegram> request(factory.CreateSetContentFirmwareTelegram(
            m_ucAddress, 0, tag, m_Image.data(), static_cast<uint32_t>(m_Image.size()),
            static_cast<unsigned short>(sequences - 1 - i)));
        if (!request)
            throw KMRExceptionBase("FirmwareUpload::_SendSetContentTelegrams", "Error while sending data.");
        const bool timedOut = _SendTransferTelegram(request.get(), SET_CONTENT_ATTEMPTS);
        request.reset();
        if (timedOut)
        {
            _Log("ERROR: send set content telegram timeout");
            throw KMRExceptionBase("FirmwareUpload::_SendSetContentTelegrams", "Error while sending data.");
        }
        _CheckResponse(m_pResponse.get());
        if (i < sequences - 1)
            _StepProgressBar();
        _RunMessageLoop();
    }
}

void FirmwareUpload::_SendStopUpload()
{
    auto request = _CreateRequest(KCTelegram::CMD_STOPUPLOADFIRMWARE);
    const bool timedOut = _SendTransferTelegram(request.get(), STOP_UPLOAD_ATTEMPTS);
    _Log("after stop upload");
    request.reset();
    if (timedOut)
        throw KMRExceptionBase("FirmwareUpload::_SendStopUpload", "Controller not reachable.");
    _CheckResponse(m_pResponse.get());
    KMRPause::Sleep(3000);
    if (!_PollControllerFirmwareMode(FIRMWARE_POLL_ATTEMPTS, static_cast<uint32_t>(m_iResponseTimeout)))
        throw KMRExceptionBase("FirmwareUpload::_SendStopUpload", "Controller not reachable.");
}

void FirmwareUpload::FormatFilesystem(uint8_t addressAfter_i)
{
    try
    {
        _SendFormatFileSystem();
        SetKelmarCom2Address(addressAfter_i);
    }
    catch (...)
    {
        _Log("format filesystem not possible");
    }
}

void FirmwareUpload::_SendFormatFileSystem()
{
    auto request = _CreateRequest(KCTelegram::CMD_FORMAT_FILESYSTEM);
    _SendTelegram(request.get());
    _Log("after format filesystem");
}
