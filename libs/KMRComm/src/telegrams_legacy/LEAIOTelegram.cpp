// LEAIOTelegram: frame storage, checksum and command classification of LEAIO frames.
#include <KMRComm/LEAIOTelegram.h>

#include <cstring>

LEAIOTelegram::LEAIOTelegram(ETelegram eTelegram_i) : KMRAbstractTelegram(eTelegram_i) {}

LEAIOTelegram::LEAIOTelegram(const LEAIOTelegram& other_i) : KMRAbstractTelegram(other_i)
{
    _AssignFrame(other_i.m_pTelegram.get(), other_i.m_iTelegramLen);
}

LEAIOTelegram& LEAIOTelegram::operator=(const LEAIOTelegram& other_i)
{
    if (this != &other_i)
    {
        KMRAbstractTelegram::operator=(other_i);
        _AssignFrame(other_i.m_pTelegram.get(), other_i.m_iTelegramLen);
    }
    return *this;
}

LEAIOTelegram::~LEAIOTelegram() = default;

bool LEAIOTelegram::IsChecksumCorrect(unsigned char /*chk_i*/, const unsigned char* p_i, unsigned int n_i) const
{
    if (p_i == nullptr || n_i < 1)
        return false;
    const unsigned short chk = CalcChecksum(p_i, n_i - 1);
    return p_i[n_i - 1] == (chk >> 8) && p_i[n_i] == (chk & 0xFF);
}

bool LEAIOTelegram::IsTelegramValid(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/)
{
    return false;
}

unsigned short LEAIOTelegram::CalcChecksum(const unsigned char* p_i, unsigned int len_i)
{
    unsigned short sum = 0;
    for (unsigned int i = 0; p_i != nullptr && i < len_i; ++i)
        sum = static_cast<unsigned short>(sum + p_i[i]);
    const unsigned int high = 0x40u | ((sum >> 8) & 0x3Fu);
    const unsigned int low = 0x40u | (sum & 0x3Fu);
    return static_cast<unsigned short>((high << 8) | low);
}

bool LEAIOTelegram::_IsCategoryCommand(unsigned char cmd_i)
{
    switch (cmd_i)
    {
    case CMD_READTEMP:
    case CMD_READ_AD:
    case CMD_SWITCH_AD_ON_OFF:
    case CMD_READ_AD_ON_OFF_STATUS:
    case CMD_READLUM:
    case CMD_WRITE_DO:
    case CMD_READ_DI_INDEXED:
    case CMD_WRITE_DO_INDEXED:
        return true;
    default:
        return false;
    }
}

ETelegram LEAIOTelegram::DetermineSendTelegramTypeFromCmd() const
{
    return _IsCategoryCommand(GetCmd()) ? EGetCategoryValues : ENone;
}

void LEAIOTelegram::_AssignFrame(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
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
