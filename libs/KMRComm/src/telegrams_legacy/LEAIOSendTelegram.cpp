// LEAIOSendTelegram: building LEAIO request frames.
#include <KMRComm/LEAIOSendTelegram.h>

#include <KMRBase/KMRException.h>

#include <climits>
#include <cstring>

LEAIOSendTelegram::LEAIOSendTelegram() = default;

LEAIOSendTelegram::LEAIOSendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i);
}

LEAIOSendTelegram::LEAIOSendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                     const unsigned char* data_i, unsigned int len_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, data_i, len_i);
}

LEAIOSendTelegram::LEAIOSendTelegram(const LEAIOSendTelegram& other_i) = default;
LEAIOSendTelegram& LEAIOSendTelegram::operator=(const LEAIOSendTelegram& other_i) = default;
LEAIOSendTelegram::~LEAIOSendTelegram() = default;

void LEAIOSendTelegram::InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, nullptr, 0);
}

void LEAIOSendTelegram::InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                           const unsigned char* data_i, unsigned int len_i)
{
    const unsigned int n = cmd_i == CMD_READLUM ? 0 : len_i;
    if (n > UINT_MAX - 6)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "LEAIOSendTelegram::InitializeTelegram", "Too many data bytes for one frame");
    const unsigned int frameLen = n + 6;
    std::unique_ptr<unsigned char[]> frame(new unsigned char[frameLen]());
    unsigned char* p = frame.get();
    p[0] = static_cast<unsigned char>(addr_i - 0x50);
    p[1] = tag_i;
    p[2] = cmd_i;
    if (n > 0 && data_i != nullptr)
        std::memcpy(p + 3, data_i, n);
    const unsigned short chk = CalcChecksum(p, n + 3);
    p[n + 3] = static_cast<unsigned char>(chk >> 8);
    p[n + 4] = static_cast<unsigned char>(chk & 0xFF);
    p[n + 5] = TERMINATOR;
    m_pTelegram = std::move(frame);
    m_iTelegramLen = frameLen;
    m_eTelegram = DetermineTelegramFromCmd(cmd_i);
}

unsigned short LEAIOSendTelegram::GetCount() const
{
    return m_iTelegramLen >= 5 ? static_cast<unsigned short>(m_iTelegramLen - 4) : 0x00FF;
}

unsigned int LEAIOSendTelegram::GetDataSize() const
{
    // The count fallback of a short frame is no size: nothing to read there.
    return m_iTelegramLen >= 5 ? GetCount() : 0;
}

const unsigned char* LEAIOSendTelegram::GetData() const
{
    return GetDataSize() > 0 ? m_pTelegram.get() + 1 : nullptr;
}

ETelegramState LEAIOSendTelegram::SplitTelegram(const unsigned char* /*pTelegram_i*/, unsigned int iTelegramLen_i,
                                                unsigned int& consumed_o)
{
    consumed_o = iTelegramLen_i;
    return ETelegramInvalid;
}

ETelegram LEAIOSendTelegram::DetermineTelegramFromCmd(unsigned char cmd_i) const
{
    return cmd_i != CMD_READTEMP && _IsCategoryCommand(cmd_i) ? EGetCategoryValues : ENone;
}
