// Fuzzes the FDL request builder: every frame it accepts must be self-consistent (start and end
// delimiters, LE repeated and matching the frame, frame check sequence), and every accessor
// stays inside the frame.
#include <KMRComm/FDLSendTelegram.h>

#include <KMRBase/KMRException.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
volatile unsigned int g_iSink;

void Check(const FDLSendTelegram& telegram_i)
{
    const unsigned char* p = telegram_i.GetTelegramStream();
    const unsigned int n = telegram_i.GetSize();
    if (n < 6 || p[n - 1] != FDLTelegram::ED)
        abort();
    if (p[0] == FDLTelegram::SD2)
    {
        if (p[1] != p[2] || p[3] != FDLTelegram::SD2 || p[1] > FDLTelegram::MAX_LE || p[1] + 6u != n)
            abort();
        if (FDLTelegram::CalcChecksum(p + 4, p[1]) != p[n - 2])
            abort();
    }
    else if (p[0] != FDLTelegram::SD1 || n != 6 || FDLTelegram::CalcChecksum(p + 1, 3) != p[4])
    {
        abort();
    }
    const unsigned char* data = telegram_i.GetData();
    if (data != nullptr && (data < p || data + telegram_i.GetDataSize() > p + n))
        abort();
    unsigned int sum = telegram_i.GetAddr() + telegram_i.GetSubAddr() + telegram_i.GetCmd() + telegram_i.GetCount();
    for (unsigned int i = 0; data != nullptr && i < telegram_i.GetDataSize(); ++i)
        sum += data[i];
    char text[32];
    telegram_i.ToString(text, sizeof(text));
    g_iSink = sum + static_cast<unsigned char>(text[0]);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 7)
        return 0;
    const auto type = static_cast<FDLTelegram::EFDLType>(static_cast<int8_t>(data[2]));
    const uint8_t* payload = data + 7;
    const auto len = static_cast<unsigned int>(size - 7);
    Check(FDLSendTelegram(data[0], data[1], type));
    try
    {
        FDLSendTelegram plain(data[0], data[1], type, data[3], data[4], payload, len);
        if (len > FDLTelegram::MAX_DATALEN)
            abort();
        // A destination with the extension bit reads as a frame with SAPs.
        if ((data[0] & FDLTelegram::ADDRESS_EXTENSION) == 0 && plain.GetDataSize() != len)
            abort();
        Check(plain);
        FDLSendTelegram copy(plain);
        Check(copy);
    }
    catch (const KMRException&)
    {
        if (len <= FDLTelegram::MAX_DATALEN)
            abort();
    }
    try
    {
        FDLSendTelegram withSaps(data[0], data[1], type, data[3], data[4], data[5], data[6], payload, len);
        if (len > FDLTelegram::MAX_SAP_DATALEN || withSaps.GetDataSize() != len)
            abort();
        Check(withSaps);
    }
    catch (const KMRException&)
    {
        if (len <= FDLTelegram::MAX_SAP_DATALEN)
            abort();
    }
    return 0;
}
