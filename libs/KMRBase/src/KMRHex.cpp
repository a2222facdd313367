// Hexadecimal conversions.
#include <KMRBase/KMRHex.h>

namespace
{
int DigitValue(char ch_i)
{
    if (ch_i >= '0' && ch_i <= '9')
        return ch_i - '0';
    if (ch_i >= 'A' && ch_i <= 'F')
        return ch_i - 'A' + 10;
    if (ch_i >= 'a' && ch_i <= 'f')
        return ch_i - 'a' + 10;
    return -1;
}
} // namespace

std::string HexToString(const unsigned char* data_i, unsigned int length_i, const char* separator_i)
{
    static const char DIGITS[] = "0123456789ABCDEF";
    std::string result;
    if (data_i == nullptr || length_i == 0)
        return result;
    const bool separate = separator_i != nullptr && *separator_i != '\0';
    result.reserve(length_i * 3);
    for (unsigned int i = 0; i < length_i; ++i)
    {
        if (i > 0 && separate)
            result += separator_i[0];
        result += DIGITS[data_i[i] >> 4];
        result += DIGITS[data_i[i] & 0x0F];
    }
    return result;
}

unsigned int StringToHex(const std::string& text_i, unsigned char* out_o, unsigned int count_i)
{
    unsigned int filled = 0;
    for (; filled < count_i && 2 * filled + 1 < text_i.size(); ++filled)
    {
        const int high = DigitValue(text_i[2 * filled]);
        const int low = DigitValue(text_i[2 * filled + 1]);
        if (high < 0 || low < 0)
            break;
        out_o[filled] = static_cast<unsigned char>(high * 16 + low);
    }
    return filled;
}
