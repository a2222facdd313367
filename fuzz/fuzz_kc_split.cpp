// Fuzzes the KelmarCom2 response stream splitter: cut an arbitrary stream until it is used up;
// every complete frame must construct through the response factory and be valid.
#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KMRKCReceiveTelegramFactory.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
// Opens the protected validity check.
class CheckedReceiveTelegram : public KCReceiveTelegram
{
public:
    using KCReceiveTelegram::IsTelegramValid;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KMRKCReceiveTelegramFactory factory;
    CheckedReceiveTelegram splitter;
    const auto len = static_cast<unsigned int>(size);
    unsigned int offset = 0;
    while (offset < len)
    {
        const unsigned int rest = len - offset;
        unsigned int consumed = 0xDEADBEEF;
        const ETelegramState state = splitter.SplitTelegram(data + offset, rest, consumed);
        if (state == ETelegramIncomplete)
        {
            if (consumed != 0xDEADBEEF)
                abort(); // an incomplete answer must not consume
            break;
        }
        if (consumed == 0 || consumed > rest)
            abort(); // the caller would loop forever or run past its buffer
        if (state == ETelegramComplete)
        {
            if (!splitter.IsTelegramValid(data + offset, consumed))
                abort();
            KMRTelegramPtr telegram(factory.CreateTelegram(data + offset, static_cast<int>(consumed)));
            if (telegram->GetSize() != consumed || telegram->GetDataSize() > consumed)
                abort();
        }
        offset += consumed;
    }
    return 0;
}
