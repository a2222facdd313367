// LEAReceiveTelegram: building LEA responses and decoding their return text into status bytes.
#include <KMRComm/LEAReceiveTelegram.h>

#include <cctype>
#include <cstring>

namespace
{
bool StartsWithNoCase(const KMRString& text_i, const char* prefix_i)
{
    const int length = static_cast<int>(std::strlen(prefix_i));
    return text_i.GetLength() >= length && text_i.Left(length).CompareNoCase(prefix_i) == 0;
}

// "0100" to "0124": the error codes of a failed device operation.
bool IsDeviceErrorCode(const KMRString& code_i)
{
    if (code_i.GetLength() != 4 || code_i.Left(2).Compare("01") != 0)
        return false;
    const char tens = code_i.GetAt(2);
    const char ones = code_i.GetAt(3);
    if (std::isdigit(static_cast<unsigned char>(tens)) == 0 || std::isdigit(static_cast<unsigned char>(ones)) == 0)
        return false;
    return (tens - '0') * 10 + (ones - '0') <= 24;
}
} // namespace

LEAReceiveTelegram::LEAReceiveTelegram()
{
    InitializeTelegram(0, 0, 0, KMRString(), 0);
}

LEAReceiveTelegram::LEAReceiveTelegram(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/)
    : LEAReceiveTelegram()
{
}

LEAReceiveTelegram::LEAReceiveTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                       const unsigned char* data_i, unsigned int len_i, unsigned int statusReturn_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, data_i, len_i, statusReturn_i);
}

LEAReceiveTelegram::LEAReceiveTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i, KMRString text_i,
                                       unsigned int statusReturn_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, std::move(text_i), statusReturn_i);
}

LEAReceiveTelegram::LEAReceiveTelegram(const LEAReceiveTelegram& other_i) = default;
LEAReceiveTelegram& LEAReceiveTelegram::operator=(const LEAReceiveTelegram& other_i) = default;
LEAReceiveTelegram::~LEAReceiveTelegram() = default;

void LEAReceiveTelegram::InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                            const unsigned char* data_i, unsigned int len_i,
                                            unsigned int statusReturn_i)
{
    if (data_i == nullptr)
        len_i = 0;
    const auto* text = reinterpret_cast<const char*>(data_i);
    const void* nul = len_i > 0 ? std::memchr(data_i, 0, len_i) : nullptr;
    const unsigned int textLen =
        nul != nullptr ? static_cast<unsigned int>(static_cast<const char*>(nul) - text) : len_i;
    InitializeTelegram(addr_i, tag_i, cmd_i, textLen > 0 ? KMRString(text, static_cast<int>(textLen)) : KMRString(),
                       statusReturn_i);
    if (len_i > 0)
        m_Data.assign(data_i, data_i + len_i);
}

void LEAReceiveTelegram::InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                            KMRString text_i, unsigned int statusReturn_i)
{
    m_ucAddr = addr_i;
    m_ucTag = tag_i;
    m_ucCmd = cmd_i;
    m_Data.clear();
    m_strReturn = std::move(text_i);
    m_strInformation.Empty();
    m_uiStatusReturn = statusReturn_i;
    m_ucStatus1 = 0;
    m_ucError1 = 0;
    m_ucError2 = 0;
    MapErrors();
}

void LEAReceiveTelegram::MapErrors()
{
    const KMRString& text = m_strReturn;
    if (StartsWithNoCase(text, "O"))
    {
        const char second = static_cast<char>(std::toupper(static_cast<unsigned char>(text.GetAt(1))));
        if (second == 'T')
        {
            m_strInformation = text.Mid(2);
            m_ucError2 = static_cast<unsigned char>(m_ucError2 & ~0x80);
        }
        else if (second == 'M')
        {
            m_strInformation = text.Mid(2);
            m_ucError2 = static_cast<unsigned char>(m_ucError2 | 0x80);
        }
        else
        {
            m_strInformation = text.Mid(1);
        }
    }
    else if (StartsWithNoCase(text, "ET"))
    {
        // A text too short for its four code characters has no known code.
        const KMRString code = text.GetLength() >= 6 ? text.Mid(2, 4) : KMRString();
        if (code.Compare("0110") == 0)
            m_ucError1 = 0x44;
        else if (IsDeviceErrorCode(code))
            m_ucError1 = 0x04;
        else
            m_ucStatus1 = 0x10;
        m_strInformation = text.Mid(7);
    }
    else if (StartsWithNoCase(text, "ER"))
    {
        m_strInformation = text.Mid(7);
        m_ucError1 = 0x10;
    }
    else if (m_uiStatusReturn == 0 || (m_uiStatusReturn == 8 && m_ucCmd == CMD_STARTUPLOAD))
    {
        m_ucError1 = 0;
    }
    else
    {
        m_ucError1 = 0x04;
    }
}

ETelegramState LEAReceiveTelegram::SplitTelegram(const unsigned char* /*pTelegram_i*/, unsigned int iTelegramLen_i,
                                                 unsigned int& consumed_o)
{
    consumed_o = iTelegramLen_i;
    return ETelegramComplete;
}

void LEAReceiveTelegram::ToString(KMRString& text_o) const
{
    text_o.Format("Command: %02x,SubAddress: %02x, Return: %s", m_ucCmd, m_ucAddr, m_strReturn.GetString());
}

void LEAReceiveTelegram::ToString(char* buffer_o, unsigned long size_i) const
{
    KMRString text;
    ToString(text);
    _CopyText(text, buffer_o, size_i);
}

ETelegram LEAReceiveTelegram::DetermineTelegramFromCmd(unsigned char /*cmd_i*/) const
{
    return EActivateContent;
}

bool LEAReceiveTelegram::FindTelegramStart(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/,
                                           unsigned int /*start_i*/, unsigned int& /*pos_o*/)
{
    return false;
}
