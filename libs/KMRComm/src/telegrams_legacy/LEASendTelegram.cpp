// LEASendTelegram: the fields, kind and text form of an LEA request.
#include <KMRComm/LEASendTelegram.h>

LEASendTelegram::LEASendTelegram()
{
    InitializeTelegram(0, 0, 0, KMRString(), KMRString(), 0);
}

LEASendTelegram::LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, KMRString(), KMRString(), 0);
}

LEASendTelegram::LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                 const KMRString& parameter1_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, parameter1_i, KMRString(), 0);
}

LEASendTelegram::LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                 const KMRString& parameter1_i, const KMRString& parameter2_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, parameter1_i, parameter2_i, 0);
}

LEASendTelegram::LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                 const KMRString& parameter1_i, int intParameter_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, parameter1_i, KMRString(), static_cast<unsigned int>(intParameter_i));
}

LEASendTelegram::LEASendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, int intParameter_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, KMRString(), KMRString(), static_cast<unsigned int>(intParameter_i));
}

LEASendTelegram::LEASendTelegram(const LEASendTelegram& other_i) = default;
LEASendTelegram& LEASendTelegram::operator=(const LEASendTelegram& other_i) = default;
LEASendTelegram::~LEASendTelegram() = default;

void LEASendTelegram::InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                         KMRString parameter1_i, KMRString parameter2_i, unsigned int intParameter_i)
{
    m_ucAddr = addr_i;
    m_ucTag = tag_i;
    m_ucCmd = cmd_i;
    m_strParameter1 = std::move(parameter1_i);
    m_strParameter2 = std::move(parameter2_i);
    m_iIntParameter = static_cast<int32_t>(intParameter_i);
    m_eTelegram = DetermineTelegramFromCmd(cmd_i);
}

ETelegramState LEASendTelegram::SplitTelegram(const unsigned char* /*pTelegram_i*/, unsigned int iTelegramLen_i,
                                              unsigned int& consumed_o)
{
    consumed_o = iTelegramLen_i;
    return ETelegramInvalid;
}

void LEASendTelegram::ToString(KMRString& text_o) const
{
    text_o.Format("Command: %02x,SubAddress: %02x,Paramter1: %s, Parameter2: %s, INTParameter %d", m_ucCmd, m_ucAddr,
                  m_strParameter1.GetString(), m_strParameter2.GetString(), m_iIntParameter);
}

void LEASendTelegram::ToString(char* buffer_o, unsigned long size_i) const
{
    KMRString text;
    ToString(text);
    _CopyText(text, buffer_o, size_i);
}

ETelegram LEASendTelegram::DetermineTelegramFromCmd(unsigned char cmd_i) const
{
    return GetRequestTelegramFromCmd(cmd_i);
}
