// KMRSimController: the behaviour of a simulated sign controller, free of any frame format.
#include "KMRSim/KMRSimController.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace
{
constexpr uint8_t CMD_POLL = 0x01;
constexpr uint8_t CMD_SETSLAVEADDRESS = 0x02;
constexpr uint8_t CMD_GETSLAVEADDRESS = 0x03;
constexpr uint8_t CMD_SETBRIGHTNESS = 0x06;
constexpr uint8_t CMD_SETDATETIME = 0x08;
constexpr uint8_t CMD_GETSOFTWAREVERSION = 0x0B;
constexpr uint8_t CMD_GETCATEGORYVALUES = 0x0D;
constexpr uint8_t CMD_RESETCONTROLLER = 0x12;
constexpr uint8_t CMD_DELETECONTENT = 0x13;
constexpr uint8_t CMD_STARTUPLOAD = 0x16;
constexpr uint8_t CMD_STOPUPLOAD = 0x17;
constexpr uint8_t CMD_STARTDOWNLOAD = 0x18;
constexpr uint8_t CMD_STOPDOWNLOAD = 0x19;
constexpr uint8_t CMD_SETCONTENT = 0x1A;
constexpr uint8_t CMD_GETCONTENT = 0x1B;
constexpr uint8_t CMD_ACTIVATECONTENT = 0x1C;
constexpr uint8_t CMD_GETLEDTESTTIMER = 0x25;
constexpr uint8_t CMD_SETLEDTESTTIMER = 0x26;
constexpr uint8_t CMD_SETPROTOCOLADDRESS = 0x2A;
constexpr uint8_t CMD_GETPROTOCOLADDRESS = 0x2B;
constexpr uint8_t CMD_GETASYNCDATA = 0x37;
constexpr uint8_t CMD_CIDAVAILABLE = 0x43;
constexpr uint8_t CMD_GETBUILDNUMBER = 0x46;
constexpr uint8_t CMD_POLLFIRMWARE = 0xF0;
constexpr uint8_t CMD_STARTUPLOADFIRMWARE = 0xF1;
constexpr uint8_t CMD_STOPUPLOADFIRMWARE = 0xF2;
constexpr uint8_t CMD_SETCONTENTFIRMWARE = 0xF3;
constexpr uint8_t CMD_ENABLEFIRMWAREUPDATE = 0xF4;
constexpr uint8_t CMD_RESETFWCONTROLLER = 0xF5;
constexpr uint8_t CMD_FORMAT_FILESYSTEM = 0xF6;
constexpr uint8_t CMD_TEST = 0xFD;

constexpr uint8_t CATEGORY_TEMPERATURE = 0x22;
constexpr unsigned int FIRMWARE_SEQUENCE = 128;
constexpr unsigned int CONTENT_SEQUENCE = 125;

uint16_t _BigEndian16(const uint8_t* p_i)
{
    return static_cast<uint16_t>((p_i[0] << 8) | p_i[1]);
}

void _AppendBigEndian16(std::vector<uint8_t>& out_io, uint16_t value_i)
{
    out_io.push_back(static_cast<uint8_t>(value_i >> 8));
    out_io.push_back(static_cast<uint8_t>(value_i & 0xFF));
}

std::string _Format(const char* format_i, auto... args_i)
{
    char text[256];
    std::snprintf(text, sizeof(text), format_i, args_i...);
    return text;
}
} // namespace

KMRSimController::KMRSimController(const KMRSimControllerSettings& settings_i)
    : m_settings(settings_i), m_ucUserAddress(settings_i.userAddress)
{
}

uint16_t KMRSimController::CalcFletcherChecksum(const uint8_t* data_i, std::size_t size_i)
{
    unsigned int sum1 = 0;
    unsigned int sum2 = 0;
    for (std::size_t i = 0; i < size_i; ++i)
    {
        sum1 = (sum1 + data_i[i]) % 255;
        sum2 = (sum2 + sum1) % 255;
    }
    const unsigned int check0 = 255 - ((sum1 + sum2) % 255);
    const unsigned int check1 = 255 - ((sum1 + check0) % 255);
    return static_cast<uint16_t>(((check1 & 0xFF) << 8) | (check0 & 0xFF));
}

uint8_t KMRSimController::CalcContentChecksum(const uint8_t* data_i, std::size_t size_i)
{
    uint8_t sum = 0;
    for (std::size_t i = 0; i < size_i; ++i)
    {
        sum = static_cast<uint8_t>(sum + data_i[i]);
    }
    return static_cast<uint8_t>(0 - sum);
}

void KMRSimController::SetEvents(KMRSimControllerEvents events_i)
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    m_events = std::move(events_i);
}

bool KMRSimController::IsAddressed(uint8_t addr_i, uint8_t cmd_i) const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    const uint8_t own = m_eMode == EMode::Firmware ? FIRMWARE_ADDRESS : m_ucUserAddress;
    return addr_i == own || (addr_i == BROADCAST_ADDRESS && cmd_i == CMD_GETSLAVEADDRESS);
}

std::optional<KMRSimAnswer> KMRSimController::Handle(const KMRSimRequest& request_i)
{
    if (!IsAddressed(request_i.addr, request_i.cmd))
    {
        return std::nullopt;
    }
    Deferred deferred;
    KMRSimAnswer answer;
    answer.cmd = request_i.cmd;
    {
        std::lock_guard<std::mutex> lock(m_mtxState);
        if (request_i.subAddr != 0)
        {
            // Only the controller itself (sub-address 0) is served here.
            answer.error2 = ERROR2_SUBADDRESS;
        }
        else if (m_eMode == EMode::Firmware)
        {
            answer = _HandleFirmware(request_i, std::move(answer), deferred);
        }
        else
        {
            answer = _HandleUser(request_i, std::move(answer), deferred);
        }
    }
    for (auto& notify : deferred)
    {
        notify();
    }
    return answer;
}

KMRSimAnswer KMRSimController::_HandleUser(const KMRSimRequest& request_i, KMRSimAnswer answer_i,
                                           Deferred& deferred_io)
{
    const std::vector<uint8_t>& data = request_i.payload;
    auto needSize = [&](std::size_t size_i) {
        if (data.size() != size_i)
        {
            answer_i.error2 |= ERROR2_DATA_FORMAT;
            return false;
        }
        return true;
    };
    switch (request_i.cmd)
    {
    case CMD_POLL:
        break;
    case CMD_SETSLAVEADDRESS:
        if (needSize(1))
        {
            if (data[0] == 0 || data[0] == BROADCAST_ADDRESS)
            {
                answer_i.error2 |= ERROR2_OUT_OF_RANGE;
            }
            else
            {
                // The answer still goes out under the old address (it echoes the request).
                _Log(deferred_io, _Format("slave address changed from %u to %u", m_ucUserAddress, data[0]));
                m_ucUserAddress = data[0];
            }
        }
        break;
    case CMD_GETSLAVEADDRESS:
        answer_i.data.push_back(m_ucUserAddress);
        break;
    case CMD_SETBRIGHTNESS:
        if (needSize(1))
        {
            m_ucBrightness = data[0];
        }
        break;
    case CMD_SETDATETIME:
        if (needSize(6))
        {
            const bool valid = data[1] >= 1 && data[1] <= 12 && data[2] >= 1 && data[2] <= 31 && data[3] <= 23 &&
                               data[4] <= 59 && data[5] <= 59;
            if (!valid)
            {
                answer_i.error2 |= ERROR2_OUT_OF_RANGE;
                _Log(deferred_io, _Format("date/time refused: %02u-%02u-%02u %02u:%02u:%02u", data[0], data[1],
                                          data[2], data[3], data[4], data[5]));
            }
            else
            {
                std::array<uint8_t, 6> dateTime{};
                std::copy(data.begin(), data.end(), dateTime.begin());
                m_dateTime = dateTime;
            }
        }
        break;
    case CMD_GETSOFTWAREVERSION:
        if (needSize(1))
        {
            answer_i.data.assign(m_settings.softwareVersion.begin(), m_settings.softwareVersion.end());
        }
        break;
    case CMD_GETBUILDNUMBER:
        if (needSize(1))
        {
            answer_i.data.assign(m_settings.buildNumber.begin(), m_settings.buildNumber.end());
        }
        break;
    case CMD_GETCATEGORYVALUES:
        if (needSize(1))
        {
            if (data[0] != CATEGORY_TEMPERATURE)
            {
                answer_i.error2 |= ERROR2_OUT_OF_RANGE;
            }
            else
            {
                _AppendBigEndian16(answer_i.data, static_cast<uint16_t>(m_settings.temperatureHundredths));
            }
        }
        break;
    case CMD_RESETCONTROLLER:
        _ResetTransfers();
        m_bTestRunning = false;
        if (m_bFirmwareUpdateEnabled)
        {
            m_bFirmwareUpdateEnabled = false;
            m_eMode = EMode::Firmware;
            _Log(deferred_io, "reset: loader started, firmware mode at address 254");
        }
        else
        {
            _Log(deferred_io, _Format("reset: user mode at address %u", m_ucUserAddress));
        }
        break;
    case CMD_ENABLEFIRMWAREUPDATE:
        m_bFirmwareUpdateEnabled = true;
        break;
    case CMD_FORMAT_FILESYSTEM:
        m_mapContents.clear();
        m_activeContent.reset();
        ++m_uiFormatCount;
        _Log(deferred_io, "file system formatted");
        break;
    case CMD_TEST:
        m_bTestRunning = true;
        break;
    case CMD_GETLEDTESTTIMER:
        _AppendBigEndian16(answer_i.data, m_usLedTestTimer);
        break;
    case CMD_SETLEDTESTTIMER:
        if (needSize(2))
        {
            m_usLedTestTimer = _BigEndian16(data.data());
        }
        break;
    case CMD_SETPROTOCOLADDRESS:
        if (needSize(13))
        {
            std::array<uint8_t, 12> address{};
            std::copy(data.begin() + 1, data.end(), address.begin());
            m_mapProtocolAddresses[data[0]] = address;
        }
        break;
    case CMD_GETPROTOCOLADDRESS:
        if (needSize(1))
        {
            const auto found = m_mapProtocolAddresses.find(data[0]);
            const std::array<uint8_t, 12> address =
                found == m_mapProtocolAddresses.end() ? std::array<uint8_t, 12>{} : found->second;
            answer_i.data.assign(address.begin(), address.end());
        }
        break;
    case CMD_STARTUPLOAD:
        _StartContentUpload(data, answer_i, deferred_io);
        break;
    case CMD_SETCONTENT:
        _ContentSequence(data, answer_i, deferred_io);
        break;
    case CMD_STOPUPLOAD:
        _StopContentUpload(answer_i, deferred_io);
        break;
    case CMD_STARTDOWNLOAD:
        _StartDownload(data, answer_i);
        break;
    case CMD_GETCONTENT:
        _GetContent(data, answer_i);
        break;
    case CMD_STOPDOWNLOAD:
        m_bDownloadActive = false;
        m_vecDownload.clear();
        m_vecAsyncData.clear();
        break;
    case CMD_GETASYNCDATA:
        answer_i.data = m_vecAsyncData;
        break;
    case CMD_CIDAVAILABLE:
        if (needSize(2))
        {
            answer_i.data.push_back(m_mapContents.contains(_BigEndian16(data.data())) ? 0xFF : 0x00);
        }
        break;
    case CMD_DELETECONTENT:
        if (needSize(2))
        {
            const uint16_t cid = _BigEndian16(data.data());
            if (m_mapContents.erase(cid) == 0)
            {
                answer_i.error2 |= ERROR2_CID;
            }
            else
            {
                if (m_activeContent == cid)
                {
                    m_activeContent.reset();
                }
                _Log(deferred_io, _Format("content 0x%04X deleted", cid));
            }
        }
        break;
    case CMD_ACTIVATECONTENT:
        // Two bytes of content ID, optionally followed by one more value byte.
        if (data.size() != 2 && data.size() != 3)
        {
            answer_i.error2 |= ERROR2_DATA_FORMAT;
        }
        else if (!m_mapContents.contains(_BigEndian16(data.data())))
        {
            answer_i.error2 |= ERROR2_CID;
        }
        else
        {
            m_activeContent = _BigEndian16(data.data());
        }
        break;
    default:
        // Unknown here, or a loader command while the application runs.
        answer_i.accepted = false;
        break;
    }
    return answer_i;
}

KMRSimAnswer KMRSimController::_HandleFirmware(const KMRSimRequest& request_i, KMRSimAnswer answer_i,
                                               Deferred& deferred_io)
{
    switch (request_i.cmd)
    {
    case CMD_POLLFIRMWARE:
        break;
    case CMD_GETSLAVEADDRESS:
        answer_i.data.push_back(FIRMWARE_ADDRESS);
        break;
    case CMD_STARTUPLOADFIRMWARE:
        _StartFirmwareUpload(request_i.payload, answer_i, deferred_io);
        break;
    case CMD_SETCONTENTFIRMWARE:
        _FirmwareSequence(request_i.payload, answer_i, deferred_io);
        break;
    case CMD_STOPUPLOADFIRMWARE:
        _StopFirmwareUpload(answer_i, deferred_io);
        break;
    case CMD_RESETFWCONTROLLER:
        if (m_firmwareUpload.active)
        {
            _Log(deferred_io, "firmware upload abandoned by a reset");
        }
        _ResetTransfers();
        m_eMode = EMode::User;
        m_ucUserAddress = FIRMWARE_ADDRESS;
        _Log(deferred_io, "reset firmware controller: user mode at address 254");
        break;
    case CMD_FORMAT_FILESYSTEM:
        m_mapContents.clear();
        m_activeContent.reset();
        ++m_uiFormatCount;
        _Log(deferred_io, "file system formatted");
        break;
    default:
        // The loader knows nothing else, the application's reset included.
        answer_i.accepted = false;
        break;
    }
    return answer_i;
}

void KMRSimController::_StartFirmwareUpload(const std::vector<uint8_t>& data_i, KMRSimAnswer& answer_io,
                                            Deferred& deferred_io)
{
    if (data_i.size() != 12 || data_i[2] == 0 || data_i[2] > FIRMWARE_SEQUENCE)
    {
        _Fail(m_firmwareUpload, "firmware upload", ERROR2_DATA_FORMAT,
              _Format("start block of %zu bytes refused", data_i.size()), answer_io, deferred_io);
        return;
    }
    Upload upload;
    upload.active = true;
    upload.firstCounter = _BigEndian16(data_i.data());
    upload.nextCounter = upload.firstCounter;
    upload.lastLength = data_i[2];
    upload.checksum = _BigEndian16(data_i.data() + 3);
    upload.bytes.reserve(std::size_t(upload.firstCounter) * FIRMWARE_SEQUENCE + upload.lastLength);
    m_firmwareUpload = std::move(upload);
    _Log(deferred_io, _Format("firmware upload started: %u sequences, %zu bytes, checksum 0x%04X",
                              m_firmwareUpload.firstCounter + 1u,
                              std::size_t(m_firmwareUpload.firstCounter) * FIRMWARE_SEQUENCE +
                                  m_firmwareUpload.lastLength,
                              m_firmwareUpload.checksum));
}

void KMRSimController::_FirmwareSequence(const std::vector<uint8_t>& payload_i, KMRSimAnswer& answer_io,
                                         Deferred& deferred_io)
{
    _AcceptSequence(m_firmwareUpload, "firmware upload", FIRMWARE_SEQUENCE, payload_i, answer_io, deferred_io);
}

void KMRSimController::_StopFirmwareUpload(KMRSimAnswer& answer_io, Deferred& deferred_io)
{
    Upload& upload = m_firmwareUpload;
    if (!upload.active || !upload.complete)
    {
        _Fail(upload, "firmware upload", ERROR2_SEQUENCE,
              upload.active ? _Format("stopped before the last sequence, %u still due", upload.nextCounter + 1u)
                            : std::string("stop without an upload"),
              answer_io, deferred_io);
        return;
    }
    const uint16_t checksum = CalcFletcherChecksum(upload.bytes.data(), upload.bytes.size());
    if (checksum != upload.checksum)
    {
        _Fail(upload, "firmware upload", ERROR2_DATA_FORMAT,
              _Format("checksum 0x%04X, announced 0x%04X", checksum, upload.checksum), answer_io, deferred_io);
        return;
    }
    m_vecFirmwareImages.push_back(std::move(upload.bytes));
    upload = Upload{};
    const std::size_t index = m_vecFirmwareImages.size();
    const std::vector<uint8_t> image = m_vecFirmwareImages.back();
    _Log(deferred_io, _Format("firmware image %zu received: %zu bytes, checksum 0x%04X", index, image.size(),
                              checksum));
    if (m_events.onFirmwareImage)
    {
        deferred_io.push_back([notify = m_events.onFirmwareImage, index, image]() { notify(index, image); });
    }
}

void KMRSimController::_StartContentUpload(const std::vector<uint8_t>& data_i, KMRSimAnswer& answer_io,
                                           Deferred& deferred_io)
{
    if (data_i.size() != 7 || data_i[4] == 0 || data_i[4] > CONTENT_SEQUENCE)
    {
        _Fail(m_contentUpload, "content upload", ERROR2_DATA_FORMAT,
              _Format("start block of %zu bytes refused", data_i.size()), answer_io, deferred_io);
        return;
    }
    Upload upload;
    upload.active = true;
    upload.firstCounter = _BigEndian16(data_i.data());
    upload.nextCounter = upload.firstCounter;
    upload.cid = _BigEndian16(data_i.data() + 2);
    upload.lastLength = data_i[4];
    upload.checksum = data_i[5];
    upload.type = data_i[6];
    m_contentUpload = std::move(upload);
    _Log(deferred_io,
         _Format("content upload started: ID 0x%04X, type %u, %u sequences", m_contentUpload.cid,
                 m_contentUpload.type, m_contentUpload.firstCounter + 1u));
}

void KMRSimController::_ContentSequence(const std::vector<uint8_t>& payload_i, KMRSimAnswer& answer_io,
                                        Deferred& deferred_io)
{
    answer_io.extended = true;
    answer_io.seq = payload_i.size() >= 2 ? _BigEndian16(payload_i.data()) : 0;
    if (_AcceptSequence(m_contentUpload, "content upload", CONTENT_SEQUENCE, payload_i, answer_io, deferred_io))
    {
        // The running checksum over everything received so far lets the sender verify each step.
        answer_io.data.push_back(CalcContentChecksum(m_contentUpload.bytes.data(), m_contentUpload.bytes.size()));
    }
}

void KMRSimController::_StopContentUpload(KMRSimAnswer& answer_io, Deferred& deferred_io)
{
    Upload& upload = m_contentUpload;
    if (!upload.active || !upload.complete)
    {
        _Fail(upload, "content upload", ERROR2_SEQUENCE,
              upload.active ? _Format("stopped before the last sequence, %u still due", upload.nextCounter + 1u)
                            : std::string("stop without an upload"),
              answer_io, deferred_io);
        return;
    }
    const uint8_t checksum = CalcContentChecksum(upload.bytes.data(), upload.bytes.size());
    if (checksum != upload.checksum)
    {
        _Fail(upload, "content upload", ERROR2_DATA_FORMAT,
              _Format("checksum 0x%02X, announced 0x%02X", checksum, upload.checksum), answer_io, deferred_io);
        return;
    }
    const uint16_t cid = upload.cid;
    const uint8_t type = upload.type;
    const std::vector<uint8_t> content = upload.bytes;
    m_mapContents[cid] = Content{type, std::move(upload.bytes)};
    upload = Upload{};
    _Log(deferred_io, _Format("content 0x%04X received: type %u, %zu bytes", cid, type, content.size()));
    if (m_events.onContent)
    {
        deferred_io.push_back([notify = m_events.onContent, cid, type, content]() { notify(cid, type, content); });
    }
}

void KMRSimController::_StartDownload(const std::vector<uint8_t>& data_i, KMRSimAnswer& answer_io)
{
    if (data_i.size() != 3)
    {
        answer_io.error2 |= ERROR2_DATA_FORMAT;
        return;
    }
    const auto found = m_mapContents.find(_BigEndian16(data_i.data()));
    if (found == m_mapContents.end())
    {
        answer_io.error2 |= ERROR2_CID;
        return;
    }
    // An empty content still takes one (empty) sequence, so the reader always asks once.
    const std::size_t size = found->second.bytes.size();
    const std::size_t sequences = std::max<std::size_t>(1, (size + CONTENT_SEQUENCE - 1) / CONTENT_SEQUENCE);
    if (sequences > 0x10000)
    {
        answer_io.error2 |= ERROR2_OUT_OF_RANGE;
        return;
    }
    m_bDownloadActive = true;
    m_vecDownload = found->second.bytes;
    m_usDownloadLastCounter = static_cast<uint16_t>(sequences - 1);
    m_vecAsyncData.clear();
    _AppendBigEndian16(m_vecAsyncData, m_usDownloadLastCounter);
    answer_io.data = m_vecAsyncData;
}

void KMRSimController::_GetContent(const std::vector<uint8_t>& payload_i, KMRSimAnswer& answer_io)
{
    answer_io.extended = true;
    if (payload_i.size() != 2)
    {
        answer_io.error2 |= ERROR2_DATA_FORMAT;
        return;
    }
    const uint16_t counter = _BigEndian16(payload_i.data());
    answer_io.seq = counter;
    if (!m_bDownloadActive)
    {
        answer_io.error2 |= ERROR2_SEQUENCE;
        return;
    }
    if (counter > m_usDownloadLastCounter)
    {
        answer_io.error2 |= ERROR2_OUT_OF_RANGE;
        return;
    }
    const std::size_t start = std::size_t(m_usDownloadLastCounter - counter) * CONTENT_SEQUENCE;
    const std::size_t end = counter == 0 ? m_vecDownload.size() : start + CONTENT_SEQUENCE;
    answer_io.data.assign(m_vecDownload.begin() + static_cast<std::ptrdiff_t>(start),
                          m_vecDownload.begin() + static_cast<std::ptrdiff_t>(end));
}

bool KMRSimController::_AcceptSequence(Upload& upload_io, const char* what_i, unsigned int sequenceSize_i,
                                       const std::vector<uint8_t>& payload_i, KMRSimAnswer& answer_io,
                                       Deferred& deferred_io)
{
    if (!upload_io.active)
    {
        answer_io.error2 |= ERROR2_SEQUENCE;
        return false;
    }
    if (payload_i.size() < 2)
    {
        _Fail(upload_io, what_i, ERROR2_DATA_FORMAT, "sequence without counter", answer_io, deferred_io);
        return false;
    }
    const uint16_t counter = _BigEndian16(payload_i.data());
    const std::vector<uint8_t> data(payload_i.begin() + 2, payload_i.end());
    if (upload_io.lastCounter == counter && data == upload_io.lastSequence)
    {
        // The sender repeats a sequence whose answer it did not get: already stored once.
        return true;
    }
    if (upload_io.complete || counter != upload_io.nextCounter)
    {
        _Fail(upload_io, what_i, ERROR2_SEQUENCE,
              upload_io.complete ? _Format("sequence %u after the last one", counter)
                                 : _Format("sequence %u where %u was due", counter, upload_io.nextCounter),
              answer_io, deferred_io);
        return false;
    }
    const unsigned int expected = counter == 0 ? upload_io.lastLength : sequenceSize_i;
    if (data.size() != expected)
    {
        _Fail(upload_io, what_i, ERROR2_DATA_FORMAT,
              _Format("sequence %u carries %zu bytes, %u expected", counter, data.size(), expected), answer_io,
              deferred_io);
        return false;
    }
    upload_io.bytes.insert(upload_io.bytes.end(), data.begin(), data.end());
    upload_io.lastCounter = counter;
    upload_io.lastSequence = data;
    if (counter == 0)
    {
        upload_io.complete = true;
    }
    else
    {
        upload_io.nextCounter = static_cast<uint16_t>(counter - 1);
    }
    return true;
}

void KMRSimController::_Fail(Upload& upload_io, const char* what_i, uint8_t error2_i, const std::string& why_i,
                             KMRSimAnswer& answer_io, Deferred& deferred_io)
{
    // A broken transfer is over: nothing of it is kept and the sender must start again.
    upload_io = Upload{};
    answer_io.error2 |= error2_i;
    _Log(deferred_io, std::string(what_i) + " failed: " + why_i);
}

void KMRSimController::_Log(Deferred& deferred_io, std::string line_i)
{
    if (m_events.onLog)
    {
        deferred_io.push_back([notify = m_events.onLog, line = std::move(line_i)]() { notify(line); });
    }
}

void KMRSimController::_ResetTransfers()
{
    m_firmwareUpload = Upload{};
    m_contentUpload = Upload{};
    m_bDownloadActive = false;
    m_vecDownload.clear();
    m_vecAsyncData.clear();
}

KMRSimController::EMode KMRSimController::GetMode() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    return m_eMode;
}

uint8_t KMRSimController::GetAddress() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    return m_eMode == EMode::Firmware ? FIRMWARE_ADDRESS : m_ucUserAddress;
}

std::vector<std::vector<uint8_t>> KMRSimController::GetFirmwareImages() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    return m_vecFirmwareImages;
}

std::optional<std::vector<uint8_t>> KMRSimController::GetContent(uint16_t cid_i) const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    const auto found = m_mapContents.find(cid_i);
    if (found == m_mapContents.end())
    {
        return std::nullopt;
    }
    return found->second.bytes;
}

std::optional<uint8_t> KMRSimController::GetContentType(uint16_t cid_i) const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    const auto found = m_mapContents.find(cid_i);
    if (found == m_mapContents.end())
    {
        return std::nullopt;
    }
    return found->second.type;
}

std::vector<uint16_t> KMRSimController::GetContentIds() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    std::vector<uint16_t> ids;
    for (const auto& entry : m_mapContents)
    {
        ids.push_back(entry.first);
    }
    return ids;
}

std::optional<uint16_t> KMRSimController::GetActiveContent() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    return m_activeContent;
}

std::optional<std::array<uint8_t, 6>> KMRSimController::GetDateTime() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    return m_dateTime;
}

uint8_t KMRSimController::GetBrightness() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    return m_ucBrightness;
}

uint16_t KMRSimController::GetLedTestTimer() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    return m_usLedTestTimer;
}

std::array<uint8_t, 12> KMRSimController::GetProtocolAddress(uint8_t type_i) const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    const auto found = m_mapProtocolAddresses.find(type_i);
    return found == m_mapProtocolAddresses.end() ? std::array<uint8_t, 12>{} : found->second;
}

bool KMRSimController::IsTestRunning() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    return m_bTestRunning;
}

unsigned int KMRSimController::GetFormatCount() const
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    return m_uiFormatCount;
}

void KMRSimController::SetTemperature(int16_t hundredths_i)
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    m_settings.temperatureHundredths = hundredths_i;
}

void KMRSimController::PutContent(uint16_t cid_i, uint8_t type_i, std::vector<uint8_t> content_i)
{
    std::lock_guard<std::mutex> lock(m_mtxState);
    m_mapContents[cid_i] = Content{type_i, std::move(content_i)};
}
