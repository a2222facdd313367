// KCReceiveTelegram: building, copying, validating and splitting KelmarCom2 response frames.
#include <KMRComm/KCReceiveTelegram.h>

#include <KMRBase/KMRException.h>

#include <cstring>

namespace
{
constexpr unsigned int HEADER_LEN = 10;         // sync, addresses, count, tag/flags, status bytes, Chk1
constexpr unsigned int BASIC_PLAIN_LEN = 12;    // header, command, Chk2
} // namespace

KCReceiveTelegram::KCReceiveTelegram() = default;

KCReceiveTelegram::KCReceiveTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    InitializeTelegram(pTelegram_i, iTelegramLen_i);
}

KCReceiveTelegram::KCReceiveTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tagFlags_i,
                                     unsigned char status1_i, unsigned char error1_i, unsigned char error2_i,
                                     unsigned char cmd_i, const unsigned char* data_i, unsigned int len_i)
{
    InitializeTelegram(addr_i, subAddr_i, tagFlags_i, status1_i, error1_i, error2_i, cmd_i, data_i, len_i);
}

KCReceiveTelegram::KCReceiveTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tagFlags_i,
                                     unsigned char status1_i, unsigned char error1_i, unsigned char error2_i,
                                     unsigned char cmd_i, unsigned short seq_i, const unsigned char* data_i,
                                     unsigned int len_i)
{
    if (len_i > MAX_EXTENDED_DATALEN)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KCReceiveTelegram::KCReceiveTelegram", "Too many data bytes for one frame");
    // The sequence number travels as the first two payload bytes of the basic layout.
    unsigned char payload[2 + MAX_EXTENDED_DATALEN];
    payload[0] = static_cast<unsigned char>(seq_i >> 8);
    payload[1] = static_cast<unsigned char>(seq_i & 0xFF);
    if (len_i > 0 && data_i != nullptr)
        std::memcpy(payload + 2, data_i, len_i);
    else if (len_i > 0)
        std::memset(payload + 2, 0, len_i);
    InitializeTelegram(addr_i, subAddr_i, tagFlags_i, status1_i, error1_i, error2_i, cmd_i, payload, len_i + 2);
}

KCReceiveTelegram::KCReceiveTelegram(const KCReceiveTelegram& other_i) = default;
KCReceiveTelegram& KCReceiveTelegram::operator=(const KCReceiveTelegram& other_i) = default;
KCReceiveTelegram::~KCReceiveTelegram() = default;

void KCReceiveTelegram::InitializeTelegram(unsigned char addr_i, unsigned char subAddr_i, unsigned char tagFlags_i,
                                           unsigned char status1_i, unsigned char error1_i, unsigned char error2_i,
                                           unsigned char cmd_i, const unsigned char* data_i, unsigned int len_i)
{
    // The count byte holds len + 1: more data would wrap it and give a corrupt frame.
    if (len_i > MAX_BASIC_DATALEN)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KCReceiveTelegram::InitializeTelegram", "Too many data bytes for one frame");
    unsigned char* p = _AllocateFrame(len_i + BASIC_PLAIN_LEN);
    p[0] = SYNC1;
    p[1] = SYNC2;
    _WriteAddress(p, addr_i, subAddr_i);
    p[4] = static_cast<unsigned char>(len_i + 1);
    p[5] = tagFlags_i;
    p[6] = status1_i;
    p[7] = error1_i;
    p[8] = error2_i;
    p[9] = CalcChecksum(p, 9u);
    p[10] = cmd_i;
    if (len_i > 0 && data_i != nullptr)
        std::memcpy(p + 11, data_i, len_i);
    p[len_i + 11] = CalcChecksum(p, len_i + 11);
    m_eTelegram = DetermineTelegramFromCmd(cmd_i);
}

void KCReceiveTelegram::InitializeTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    if (!IsTelegramValid(pTelegram_i, iTelegramLen_i))
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KCReceiveTelegram::InitializeTelegram",
                  "IsTelegramValid (pTelegram_i, iTelegramLen_i)");
    if (m_pTelegram)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KCReceiveTelegram::InitializeTelegram", "m_pTelegram == NULL");
    _AssignFrame(pTelegram_i, iTelegramLen_i);
    m_eTelegram = DetermineTelegramFromCmd(GetCmd());
}

void KCReceiveTelegram::SetError2(unsigned char error2_i)
{
    if (m_iTelegramLen < 9)
        return;
    m_pTelegram[8] = error2_i;
    if (m_iTelegramLen >= HEADER_LEN)
        RecalcChecksum1();
}

void KCReceiveTelegram::RecalcChecksum1()
{
    if (m_iTelegramLen >= HEADER_LEN)
        m_pTelegram[9] = CalcChecksum(m_pTelegram.get(), 9u);
}

unsigned int KCReceiveTelegram::GetSequenceCnt() const
{
    if (!IsExtendedTelegram() || m_iTelegramLen < 13)
        KMR_COMM_THROW(KMR_COMM_EXC_TELEGRAM, "KCReceiveTelegram::GetSequenceCnt",
                       "To determine the sequence count the telegram must be an extended telegram!");
    return (static_cast<unsigned int>(m_pTelegram[11]) << 8) | m_pTelegram[12];
}

unsigned char KCReceiveTelegram::GetCount() const
{
    if (m_iTelegramLen < 5)
        KMR_COMM_THROW(KMR_COMM_EXC_TELEGRAM, "KCReceiveTelegram::GetCount", "Unable to retrieve count byte");
    return m_pTelegram[4];
}

const unsigned char* KCReceiveTelegram::GetData() const
{
    return _Data(10);
}

unsigned int KCReceiveTelegram::GetDataSize() const
{
    return _DataSize(10);
}

ETelegram KCReceiveTelegram::DetermineTelegramFromCmd(unsigned char cmd_i) const
{
    const ETelegram request = GetRequestTelegramFromCmd(cmd_i);
    return request == ENone ? ENone : static_cast<ETelegram>(request + 1);
}

bool KCReceiveTelegram::IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    return FindTelegramDefect(pTelegram_i, iTelegramLen_i) == nullptr;
}

const char* KCReceiveTelegram::FindTelegramDefect(const unsigned char* p_i, unsigned int len_i,
                                                  KMRCommExceptionType* type_o)
{
    if (type_o != nullptr)
        *type_o = KMR_COMM_EXC_TELEGRAM;
    if (p_i == nullptr || len_i < 2)
        return "Receive Telegram invalid";
    if (p_i[0] != SYNC1 || p_i[1] != SYNC2)
        return "Sync bytes must be 0x5AA5";
    if (len_i < 3)
        return "Addr byte missing.";
    if (len_i < 4)
        return "SubAddr byte missing.";
    if (len_i < 5)
        return "Count bytes missing.";
    const unsigned int count = p_i[4];
    if (count < 1)
        return "Count must not be smaller than one.";
    if (len_i < 6)
        return "Tag/Flags byte missing.";
    if (len_i < 9)
        return "Status and Error bytes missing.";
    if (len_i < 10)
        return "Chk1 byte missing.";
    if (CalcChecksum(p_i, 9u) != p_i[9])
        return "Chk1 not correct.";
    if (len_i < 11)
        return "CMD byte missing.";
    // Every command that is not known as basic carries a sequence number.
    const bool sequenced = GetTelegramTypeFromCmd(p_i[10]) != ETypeBasic;
    if (sequenced && count < 3)
        return "As the telegram is an extended telegram the count byte must be at least three.";
    if (sequenced && len_i < 13)
        return "Sequence count bytes missing.";
    if (len_i < count + 9)
        return "Corrupt data part.";
    if (len_i < count + 11)
        return "Checksum 2 incorrect.";
    if (CalcChecksum(p_i, count + 10) != p_i[count + 10])
        return "Cheksum 2 not correkt.";
    return nullptr;
}

ETelegramState KCReceiveTelegram::SplitTelegram(const unsigned char* p_i, unsigned int len_i,
                                                unsigned int& consumed_o)
{
    if (p_i == nullptr || len_i == 0)
        return ETelegramIncomplete;
    auto invalid = [&]() {
        unsigned int pos = 0;
        consumed_o = FindTelegramStart(p_i, len_i, 0, pos) ? pos : len_i;
        return ETelegramInvalid;
    };
    if (p_i[0] != SYNC1)
        return invalid(); // First SYNC byte must be 0x5A
    if (len_i < 2)
        return ETelegramIncomplete;
    if (p_i[1] != SYNC2)
        return invalid(); // Second SYNC byte must be 0xA5
    if (len_i < 5)
        return ETelegramIncomplete;
    const unsigned int count = p_i[4];
    if (count < 1)
        return invalid(); // Count must not be smaller than one.
    if (len_i < HEADER_LEN)
        return ETelegramIncomplete;
    if (CalcChecksum(p_i, 9u) != p_i[9])
        return invalid(); // Chk1 not correct.
    if (len_i < 11)
        return ETelegramIncomplete;
    if (GetTelegramTypeFromCmd(p_i[10]) != ETypeBasic)
    {
        if (count < 3)
            return invalid(); // a sequenced frame needs count >= 3
        if (len_i < 13)
            return ETelegramIncomplete;
    }
    if (len_i < count + 11)
        return ETelegramIncomplete;
    if (CalcChecksum(p_i, count + 10) != p_i[count + 10])
        return invalid(); // Cheksum 2 not correkt.
    consumed_o = count + 11;
    return ETelegramComplete;
}

bool KCReceiveTelegram::FindTelegramStart(const unsigned char* p_i, unsigned int len_i, unsigned int start_i,
                                          unsigned int& pos_o)
{
    if (p_i == nullptr)
        return false;
    // Position 0 holds the frame just rejected; a start needs both sync bytes in the input.
    for (unsigned int i = start_i == 0 ? 1 : start_i; i + 1 < len_i; ++i)
    {
        const void* hit = std::memchr(p_i + i, SYNC1, len_i - 1 - i);
        if (hit == nullptr)
            return false;
        i = static_cast<unsigned int>(static_cast<const unsigned char*>(hit) - p_i);
        if (p_i[i + 1] == SYNC2)
        {
            pos_o = i;
            return true;
        }
    }
    return false;
}

unsigned short KCReceiveTelegram::CalcNrOfSequences(uint32_t size_i)
{
    return static_cast<unsigned short>((size_i + MAX_SEQUENCEDATALEN - 1ull) / MAX_SEQUENCEDATALEN);
}
