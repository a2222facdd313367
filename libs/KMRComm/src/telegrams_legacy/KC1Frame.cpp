// KC1Frame: building KC1 requests, cutting KC1 responses and bounded field reads.
#include <KMRComm/KC1Frame.h>

#include <KMRComm/KCTelegram.h>

#include <KMRBase/KMRException.h>

#include <algorithm>
#include <cstring>

KC1Frame::KC1Frame(const KC1Frame& other_i)
{
    Assign(other_i.m_pTelegram.get(), other_i.m_iTelegramLen);
}

KC1Frame& KC1Frame::operator=(const KC1Frame& other_i)
{
    if (this != &other_i)
        Assign(other_i.m_pTelegram.get(), other_i.m_iTelegramLen);
    return *this;
}

void KC1Frame::Assign(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
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

void KC1Frame::BuildRequest(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, bool bPoll_i,
                            const unsigned char* data1_i, unsigned int len1_i, const unsigned char* data2_i,
                            unsigned int len2_i, const char* where_i)
{
    // A poll has no room for data: sizing its frame by the data would send bytes nobody wrote.
    const unsigned long long n = bPoll_i ? 0ull : static_cast<unsigned long long>(len1_i) + len2_i;
    if (n > MAX_REQUEST_DATALEN)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, where_i, "Too many data bytes for one frame");
    const auto dataLen = static_cast<unsigned int>(n);
    const unsigned int frameLen = bPoll_i ? REQUEST_HEADER_LEN : dataLen + REQUEST_HEADER_LEN + 2;
    std::unique_ptr<unsigned char[]> frame(new unsigned char[frameLen]());
    unsigned char* p = frame.get();
    const unsigned int count = bPoll_i ? 0 : dataLen + 1;
    p[0] = SYNC1;
    p[1] = SYNC2;
    p[2] = addr_i;
    p[3] = static_cast<unsigned char>(count >> 8);
    p[4] = static_cast<unsigned char>(count & 0xFF);
    p[5] = tag_i;
    p[6] = KCTelegram::CalcChecksum(p, 6u);
    if (!bPoll_i)
    {
        p[7] = cmd_i;
        if (len1_i > 0 && data1_i != nullptr)
            std::memcpy(p + 8, data1_i, len1_i);
        if (len2_i > 0 && data2_i != nullptr)
            std::memcpy(p + 8 + len1_i, data2_i, len2_i);
        p[frameLen - 1] = KCTelegram::CalcChecksum(p, frameLen - 1);
    }
    m_pTelegram = std::move(frame);
    m_iTelegramLen = frameLen;
}

unsigned short KC1Frame::Count(unsigned short fallback_i) const
{
    if (m_iTelegramLen < 5)
        return fallback_i;
    return static_cast<unsigned short>((m_pTelegram[3] << 8) | m_pTelegram[4]);
}

unsigned int KC1Frame::_Bounded(unsigned int offset_i, unsigned int size_i) const
{
    // The count may claim more than the frame holds: the payload never passes its last byte.
    const unsigned int available = m_iTelegramLen > offset_i ? m_iTelegramLen - offset_i : 0;
    return std::min(size_i, available);
}

unsigned int KC1Frame::RequestDataSize() const
{
    const unsigned int count = Count(0);
    return count == 0 ? 0 : _Bounded(8, count - 1);
}

const unsigned char* KC1Frame::RequestData() const
{
    return RequestDataSize() == 0 ? nullptr : m_pTelegram.get() + 8;
}

unsigned int KC1Frame::ResponseDataSize() const
{
    return _Bounded(RESPONSE_HEADER_LEN, Count(0));
}

const unsigned char* KC1Frame::ResponseData() const
{
    return ResponseDataSize() == 0 ? nullptr : m_pTelegram.get() + RESPONSE_HEADER_LEN;
}

const char* KC1Frame::FindResponseDefect(const unsigned char* p_i, unsigned int len_i)
{
    if (p_i == nullptr || len_i == 0)
        return "Receive Telegram invalid";
    if (p_i[0] != SYNC1)
        return "First SYNC byte must be 0x5A";
    if (len_i >= 2 && p_i[1] != SYNC2)
        return "Second SYNC byte must be 0xA5";
    if (len_i < RESPONSE_HEADER_LEN)
        return "Telegram incomplete";
    if (KCTelegram::CalcChecksum(p_i, 8u) != p_i[8])
        return "Chk1 not correct.";
    const unsigned int count = (static_cast<unsigned int>(p_i[3]) << 8) | p_i[4];
    const unsigned int frameLen = count == 0 ? RESPONSE_HEADER_LEN : count + RESPONSE_HEADER_LEN + 1;
    if (len_i < frameLen)
        return "Telegram incomplete";
    if (count > 0 && KCTelegram::CalcChecksum(p_i, count + 9) != p_i[count + 9])
        return "Cheksum 2 not correkt.";
    if (len_i > frameLen)
        return "Bytes after the end of the telegram";
    return nullptr;
}

ETelegramState KC1Frame::SplitResponse(const unsigned char* p_i, unsigned int len_i, unsigned int& consumed_o)
{
    if (p_i == nullptr || len_i == 0)
        return ETelegramIncomplete;
    auto invalid = [&]()
    {
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
    if (len_i < RESPONSE_HEADER_LEN)
        return ETelegramIncomplete;
    if (KCTelegram::CalcChecksum(p_i, 8u) != p_i[8])
        return invalid(); // Chk1 not correct.
    const unsigned int count = (static_cast<unsigned int>(p_i[3]) << 8) | p_i[4];
    if (count == 0)
    {
        consumed_o = RESPONSE_HEADER_LEN;
        return ETelegramComplete;
    }
    if (len_i < count + RESPONSE_HEADER_LEN + 1)
        return ETelegramIncomplete;
    if (KCTelegram::CalcChecksum(p_i, count + 9) != p_i[count + 9])
        return invalid(); // Cheksum 2 not correkt.
    consumed_o = count + RESPONSE_HEADER_LEN + 1;
    return ETelegramComplete;
}

bool KC1Frame::FindTelegramStart(const unsigned char* p_i, unsigned int len_i, unsigned int start_i,
                                 unsigned int& pos_o)
{
    if (p_i == nullptr)
        return false;
    // Position 0 holds the frame just rejected; a start needs both sync bytes in the input.
    for (unsigned int i = start_i == 0 ? 1 : start_i; i + 1 < len_i; ++i)
    {
        if (p_i[i] == SYNC1 && p_i[i + 1] == SYNC2)
        {
            pos_o = i;
            return true;
        }
    }
    return false;
}
