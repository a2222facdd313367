// KCTelegram: command tables, checksums, address order and the bounded payload accessors.
#include <KMRComm/KCTelegram.h>

#include <KMRComm/KMRKCTelegramConfig.h>

#include <algorithm>
#include <array>
#include <cstring>

namespace
{
struct CmdKind
{
    unsigned char cmd;
    ETelegram request;
};

// Every command of the catalogue with its request kind; the response kind is one more.
constexpr CmdKind CATALOGUE[] = {
    {0x01, EPoll}, {0x02, ESetSlaveAddress}, {0x03, EGetSlaveAddress}, {0x04, ESetGroupAddress},
    {0x05, EGetGroupAddress}, {0x06, ESetBrightness}, {0x07, EGetBrightness}, {0x08, ESetDateTime},
    {0x09, EGetDateTime}, {0x0B, EGetSoftwareVersion}, {0x0C, ESetDigitalOutput}, {0x0D, EGetCategoryValues},
    {0x10, EGetWigWagParameters}, {0x11, EGetControllerID}, {0x12, EResetController}, {0x13, EDeleteContent},
    {0x14, EDeleteAllContent}, {0x15, EGetContentSize}, {0x16, EStartUpload}, {0x17, EStopUpload},
    {0x18, EStartDownload}, {0x19, EStopDownload}, {0x1A, ESetContent}, {0x1B, EGetContent},
    {0x1C, EActivateContent}, {0x1D, EPerformLEDTest}, {0x1E, ESetWigWagTime}, {0x1F, EGetContentDataSize},
    {0x20, ESetWigWagMode}, {0x21, ESyncWigWag}, {0x22, EGetFreeMemory}, {0x23, EActivateDormantContentID},
    {0x24, ESetDormantContentID}, {0x25, EGetLedTestTimer}, {0x26, ESetLedTestTimer}, {0x27, EEnableAutoDimming},
    {0x28, ESetAutoDimming}, {0x29, EGetAutoDimming}, {0x30, ESetConfiguration}, {0x31, EGetConfiguration},
    {0x32, EStartText}, {0x33, EAddText}, {0x34, EShowText}, {0x35, EGetTextLength}, {0x36, ESaveTextBmp},
    {0x37, EGetAsyncData}, {0x38, ESetComTimeout}, {0x39, EGetComTimeout}, {0x3B, EGetActiveContentID},
    {0xFE, EGetAliveTime}, {0xFF, EGetErrorCode}, {0xF1, EStartUploadFirmware}, {0xF6, EFormatFilesystem},
    {0xF0, EPollFirmware}, {0xF3, ESetContentFirmware}, {0xF2, EStopUploadFirmware}, {0xFD, ETest},
    {0x3C, ESetLedErrorFilter}, {0xF4, EEnableFirmwareUpdate}, {0xF5, EResetFWController}, {0x46, EGetBuildNumber},
    {0x43, ECIDAvailable}, {0x2A, ESetProtocolAddress}, {0x2B, EGetProtocolAddress}, {0x0A, EStartSequence},
    {0x0E, EStopSequence}, {0x3D, EGetLedErrorFilter}, {0x3E, ESetBlinkTime}, {0x3F, EGetBlinkTime},
    {0x40, EGetActiveSequence}, {0x41, EGetContentIDChecksum}, {0x42, ESyncSequence},
    {0x44, ESetComTimeoutContent}, {0x45, EGetComTimeoutContent}, {0xED, EGetManualControl},
    {0xEE, ESetManualControl}, {0xEF, EGetStatusEx}, {0x47, EGenerateDir},
};

// Commands that requests read from a byte stream leave without a kind.
constexpr unsigned char UNCLASSIFIED_STREAM_REQUESTS[] = {
    0x23, 0x24, 0x25, 0x26, 0x28, 0x29, 0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39,
    0x3B, 0x3C, 0xFD, 0xFE, 0xFF,
};

constexpr std::array<ETelegram, 256> MakeRequestTable(bool streamTable_i)
{
    std::array<ETelegram, 256> table{};
    for (auto& kind : table)
        kind = ENone;
    for (const CmdKind& entry : CATALOGUE)
        table[entry.cmd] = entry.request;
    if (streamTable_i)
        for (unsigned char cmd : UNCLASSIFIED_STREAM_REQUESTS)
            table[cmd] = ENone;
    return table;
}

constexpr std::array<ETelegram, 256> REQUEST_KINDS = MakeRequestTable(false);
constexpr std::array<ETelegram, 256> STREAM_REQUEST_KINDS = MakeRequestTable(true);

constexpr std::array<KCTelegram::ETelegramType, 256> MakeTypeTable()
{
    std::array<KCTelegram::ETelegramType, 256> table{};
    for (auto& type : table)
        type = KCTelegram::ETypeUnknown;
    auto basic = [&table](unsigned int first_i, unsigned int last_i) {
        for (unsigned int cmd = first_i; cmd <= last_i; ++cmd)
            table[cmd] = KCTelegram::ETypeBasic;
    };
    basic(0x01, 0x0E);
    basic(0x10, 0x19);
    basic(0x1C, 0x2B);
    basic(0x30, 0x39);
    for (unsigned int cmd : {0x3B, 0x3C, 0x3E, 0x3F, 0x40, 0x42, 0x43, 0x46, 0x47})
        basic(cmd, cmd);
    basic(0xED, 0xF6);
    basic(0xFD, 0xFF);
    table[0x1A] = KCTelegram::ETypeExtended;
    table[0x1B] = KCTelegram::ETypeExtended;
    return table;
}

constexpr std::array<KCTelegram::ETelegramType, 256> COMMAND_TYPES = MakeTypeTable();
} // namespace

KCTelegram::KCTelegram(ETelegram eTelegram_i) : KMRAbstractTelegram(eTelegram_i) {}

KCTelegram::KCTelegram(const KCTelegram& other_i) : KMRAbstractTelegram(other_i)
{
    _AssignFrame(other_i.m_pTelegram.get(), other_i.m_iTelegramLen);
}

KCTelegram& KCTelegram::operator=(const KCTelegram& other_i)
{
    if (this != &other_i)
    {
        KMRAbstractTelegram::operator=(other_i);
        _AssignFrame(other_i.m_pTelegram.get(), other_i.m_iTelegramLen);
    }
    return *this;
}

KCTelegram::~KCTelegram() = default;

unsigned char KCTelegram::GetAddr() const
{
    const bool addrFirst = KMRKCTelegramConfig::GetKCTelegramConfig()->GetUseSubAddress();
    return _ByteAt(addrFirst ? 2 : 3, 0xFF);
}

unsigned char KCTelegram::GetSubAddr() const
{
    // Needs the whole address pair, whichever of the two bytes it is.
    if (m_iTelegramLen < 4)
        return 0xFF;
    const bool addrFirst = KMRKCTelegramConfig::GetKCTelegramConfig()->GetUseSubAddress();
    return m_pTelegram[addrFirst ? 3 : 2];
}

bool KCTelegram::IsExtendedTelegram() const
{
    return GetTelegramTypeFromCmd(GetCmd()) == ETypeExtended;
}

bool KCTelegram::IsBasicTelegram() const
{
    return GetTelegramTypeFromCmd(GetCmd()) == ETypeBasic;
}

bool KCTelegram::IsChecksumCorrect(unsigned char chk_i, const unsigned char* p_i, unsigned int n_i) const
{
    return CalcChecksum(p_i, n_i) == chk_i;
}

bool KCTelegram::IsTelegramValid(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/)
{
    return false;
}

unsigned char KCTelegram::CalcChecksum(const unsigned char* p_i, unsigned int n_i)
{
    if (p_i == nullptr)
        return 0;
    // Only the low byte of the sum matters, so an 8-bit accumulator is exact; it lets the
    // compiler add sixteen or more bytes per vector instruction.
    unsigned char sum = 0;
    for (unsigned int i = 0; i < n_i; ++i)
        sum = static_cast<unsigned char>(sum + p_i[i]);
    return static_cast<unsigned char>(0u - sum);
}

unsigned char KCTelegram::CalcChecksum(const unsigned char* p_i, unsigned long n_i)
{
    // Frames are far below 4 GiB; chunking keeps the sum exact for any length.
    unsigned char chk = 0;
    while (n_i > 0)
    {
        const auto chunk = static_cast<unsigned int>(std::min<unsigned long>(n_i, 0x40000000ul));
        chk = static_cast<unsigned char>(chk + CalcChecksum(p_i, chunk));
        p_i += chunk;
        n_i -= chunk;
    }
    return chk;
}

KCTelegram::ETelegramType KCTelegram::GetTelegramTypeFromCmd(unsigned char cmd_i)
{
    return COMMAND_TYPES[cmd_i];
}

ETelegram KCTelegram::GetRequestTelegramFromCmd(unsigned char cmd_i)
{
    return REQUEST_KINDS[cmd_i];
}

ETelegram KCTelegram::DetermineSendTelegramTypeFromCmd() const
{
    return STREAM_REQUEST_KINDS[GetCmd()];
}

void KCTelegram::_AssignFrame(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    if (pTelegram_i == nullptr || iTelegramLen_i == 0)
    {
        m_pTelegram.reset();
        m_iTelegramLen = 0;
        return;
    }
    std::unique_ptr<unsigned char[]> frame(new unsigned char[iTelegramLen_i]);
    std::memcpy(frame.get(), pTelegram_i, iTelegramLen_i);
    m_pTelegram = std::move(frame);
    m_iTelegramLen = iTelegramLen_i;
}

unsigned char* KCTelegram::_AllocateFrame(unsigned int iTelegramLen_i)
{
    m_pTelegram.reset(new unsigned char[iTelegramLen_i]());
    m_iTelegramLen = iTelegramLen_i;
    return m_pTelegram.get();
}

void KCTelegram::_WriteAddress(unsigned char* p_io, unsigned char addr_i, unsigned char subAddr_i)
{
    const bool addrFirst = KMRKCTelegramConfig::GetKCTelegramConfig()->GetUseSubAddress();
    p_io[2] = addrFirst ? addr_i : subAddr_i;
    p_io[3] = addrFirst ? subAddr_i : addr_i;
}

unsigned int KCTelegram::_DataSize(unsigned int cmdOffset_i) const
{
    if (m_iTelegramLen < 5)
        return 0;
    const unsigned int count = m_pTelegram[4];
    const unsigned int overhead = IsExtendedTelegram() ? 3 : 1;
    if (count < overhead)
        return 0;
    // The count byte may claim more than the frame holds (a frame set unchecked): the
    // payload never reaches beyond the frame's last byte.
    const unsigned int dataOffset = cmdOffset_i + overhead;
    const unsigned int available = m_iTelegramLen > dataOffset ? m_iTelegramLen - dataOffset : 0;
    return std::min(count - overhead, available);
}

const unsigned char* KCTelegram::_Data(unsigned int cmdOffset_i) const
{
    if (_DataSize(cmdOffset_i) == 0)
        return nullptr;
    return m_pTelegram.get() + cmdOffset_i + (IsExtendedTelegram() ? 3 : 1);
}
