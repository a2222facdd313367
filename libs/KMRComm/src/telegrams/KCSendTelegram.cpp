// KCSendTelegram: building, copying, validating and modifying KelmarCom2 request frames.
#include <KMRComm/KCSendTelegram.h>

#include <KMRComm/KCReceiveTelegram.h>

#include <KMRBase/KMRException.h>

#include <cstring>

KCSendTelegram::KCSendTelegram() = default;

KCSendTelegram::KCSendTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                               unsigned char cmd_i, const unsigned char* data_i, unsigned int len_i)
{
    InitializeTelegram(addr_i, subAddr_i, tag_i, cmd_i, data_i, len_i);
}

KCSendTelegram::KCSendTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    InitializeTelegram(pTelegram_i, iTelegramLen_i);
    m_eTelegram = DetermineSendTelegramTypeFromCmd();
}

KCSendTelegram::KCSendTelegram(const KCSendTelegram& other_i) = default;
KCSendTelegram& KCSendTelegram::operator=(const KCSendTelegram& other_i) = default;
KCSendTelegram::~KCSendTelegram() = default;

void KCSendTelegram::InitializeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                        unsigned char cmd_i, const unsigned char* data_i, unsigned int len_i)
{
    // The count byte holds len + 1: more data would wrap it and give a corrupt frame.
    if (len_i > MAX_BASIC_DATALEN)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KCSendTelegram::InitializeTelegram", "Too many data bytes for one frame");
    unsigned char* p = _AllocateFrame(len_i + BASIC_PLAIN_TELEGRAMLEN);
    p[0] = SYNC1;
    p[1] = SYNC2;
    _WriteAddress(p, addr_i, subAddr_i);
    p[4] = static_cast<unsigned char>(len_i + 1);
    p[5] = tag_i;
    p[6] = CalcChecksum(p, 6u);
    p[7] = cmd_i;
    if (len_i > 0 && data_i != nullptr)
        std::memcpy(p + 8, data_i, len_i);
    p[len_i + 8] = CalcChecksum(p, len_i + 8);
    m_eTelegram = DetermineTelegramFromCmd(cmd_i);
}

void KCSendTelegram::InitializeExtendedTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                                unsigned char cmd_i, unsigned short seq_i,
                                                const unsigned char* data_i, unsigned int len_i)
{
    if (len_i > MAX_EXTENDED_DATALEN)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KCSendTelegram::InitializeExtendedTelegram",
                  "Too many data bytes for one frame");
    unsigned char* p = _AllocateFrame(len_i + EXTENDED_PLAIN_TELEGRAMLEN);
    p[0] = SYNC1;
    p[1] = SYNC2;
    _WriteAddress(p, addr_i, subAddr_i);
    p[4] = static_cast<unsigned char>(len_i + 3);
    p[5] = tag_i;
    p[6] = CalcChecksum(p, 6u);
    p[7] = cmd_i;
    p[8] = static_cast<unsigned char>(seq_i >> 8);
    p[9] = static_cast<unsigned char>(seq_i & 0xFF);
    if (len_i > 0 && data_i != nullptr)
        std::memcpy(p + 10, data_i, len_i);
    p[len_i + 10] = CalcChecksum(p, len_i + 10);
    m_eTelegram = DetermineTelegramFromCmd(cmd_i);
}

void KCSendTelegram::InitializeTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    if (!IsTelegramValid(pTelegram_i, iTelegramLen_i))
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KCSendTelegram::InitializeTelegram",
                  "IsTelegramValid (pTelegram_i, iTelegramLen_i)");
    if (m_pTelegram)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KCSendTelegram::InitializeTelegram", "m_pTelegram == NULL");
    _AssignFrame(pTelegram_i, iTelegramLen_i);
    m_eTelegram = DetermineTelegramFromCmd(GetCmd());
}

bool KCSendTelegram::CreateExtendedTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tag_i,
                                            unsigned char cmd_i, unsigned short seq_i, const unsigned char* data_i,
                                            unsigned int len_i)
{
    if (m_pTelegram)
        return false;
    InitializeExtendedTelegram(addr_i, subAddr_i, tag_i, cmd_i, seq_i, data_i, len_i);
    return true;
}

void KCSendTelegram::SetTelegramStream(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    _AssignFrame(pTelegram_i, iTelegramLen_i);
}

KCReceiveTelegram* KCSendTelegram::CreateSRTResponse(bool accepted_i)
{
    if (!IsTelegramValid(m_pTelegram.get(), m_iTelegramLen))
        return nullptr;
    const auto tagFlags = static_cast<unsigned char>(accepted_i ? (GetTag() | 0x01) : GetTag());
    return new KCReceiveTelegram(GetAddr(), GetSubAddr(), tagFlags, 0, 0, 0, GetCmd(), nullptr, 0);
}

void KCSendTelegram::ChangeBusyTag(unsigned char tag_i)
{
    if (m_iTelegramLen < 6)
        return;
    m_pTelegram[5] = tag_i;
    // Chk1 zeroes the header sum, so Chk2 over the whole frame stays valid.
    if (m_iTelegramLen >= 7)
        m_pTelegram[6] = CalcChecksum(m_pTelegram.get(), 6u);
}

unsigned int KCSendTelegram::GetSequenceCnt() const
{
    if (m_iTelegramLen < 10)
        return 0xFFFF;
    return (static_cast<unsigned int>(m_pTelegram[8]) << 8) | m_pTelegram[9];
}

const unsigned char* KCSendTelegram::GetData() const
{
    return _Data(7);
}

unsigned int KCSendTelegram::GetDataSize() const
{
    return _DataSize(7);
}

ETelegramState KCSendTelegram::SplitTelegram(const unsigned char* /*pTelegram_i*/, unsigned int iTelegramLen_i,
                                             unsigned int& consumed_o)
{
    consumed_o = iTelegramLen_i;
    return ETelegramInvalid;
}

bool KCSendTelegram::IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    return FindTelegramDefect(pTelegram_i, iTelegramLen_i) == nullptr;
}

ETelegram KCSendTelegram::DetermineTelegramFromCmd(unsigned char cmd_i) const
{
    return GetRequestTelegramFromCmd(cmd_i);
}

const char* KCSendTelegram::FindTelegramDefect(const unsigned char* p_i, unsigned int len_i,
                                               KMRCommExceptionType* type_o)
{
    auto defect = [type_o](const char* text_i, KMRCommExceptionType type_i) {
        if (type_o != nullptr)
            *type_o = type_i;
        return text_i;
    };
    const KMRCommExceptionType frame = KMR_COMM_EXC_SENDTELEGRAM;
    const KMRCommExceptionType data = KMR_COMM_EXC_TELEGRAM;
    if (p_i == nullptr || len_i < 2)
        return defect("Receive Telegram invalid", frame);
    if (p_i[0] != SYNC1 || p_i[1] != SYNC2)
        return defect("Sync bytes must be 0x5AA5", frame);
    if (len_i < 3)
        return defect("Addr byte missing.", frame);
    if (len_i < 4)
        return defect("SubAddr byte missing.", frame);
    if (len_i < 5)
        return defect("Count byte missing.", frame);
    if (len_i < 6)
        return defect("Tag byte missing.", frame);
    if (len_i < 7)
        return defect("Chk1 byte missing.", frame);
    if (CalcChecksum(p_i, 6u) != p_i[6])
        return defect("Chk1 not correct.", frame);
    const unsigned int count = p_i[4];
    if (count == 0)
        return nullptr; // a header-only frame
    if (len_i < 8)
        return defect("Cmd byte missing.", frame);
    if (GetTelegramTypeFromCmd(p_i[7]) == ETypeExtended && len_i < 10)
        return defect("SeqCnt byte missing.", frame);
    if (len_i < count + 6)
        return defect("Corrupt Data part.", data);
    if (len_i < count + 8)
        return defect("Chk2 byte missing.", data);
    if (CalcChecksum(p_i, count + 7) != p_i[count + 7])
        return defect("Cheksum 2 not correkt.", data);
    return nullptr;
}

unsigned short KCSendTelegram::CalcNumberOfSequences(uint32_t size_i)
{
    return static_cast<unsigned short>((size_i + MAX_SEQUENCEDATALEN - 1ull) / MAX_SEQUENCEDATALEN);
}

unsigned short KCSendTelegram::CalcNumberOfSequencesFirmware(uint32_t size_i)
{
    return static_cast<unsigned short>((size_i + MAX_SEQUENCEDATALENFIRMWARE - 1ull) / MAX_SEQUENCEDATALENFIRMWARE);
}

unsigned char KCSendTelegram::CalcLastSequenceSize(uint32_t size_i)
{
    const uint32_t rest = size_i % MAX_SEQUENCEDATALEN;
    return static_cast<unsigned char>(rest == 0 ? MAX_SEQUENCEDATALEN : rest);
}

unsigned char KCSendTelegram::CalcLastSequenceSizeFirmware(uint32_t size_i)
{
    const uint32_t rest = size_i % MAX_SEQUENCEDATALENFIRMWARE;
    return static_cast<unsigned char>(rest == 0 ? MAX_SEQUENCEDATALENFIRMWARE : rest);
}
