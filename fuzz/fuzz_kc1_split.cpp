// Fuzzes the KC1 and KC1 block-CPU response stream splitters: cut an arbitrary stream until it is
// used up; every complete frame must be valid, construct through the response factory and keep
// its payload inside the frame.
#include <KMRComm/KC1BlockCPUReceiveTelegram.h>
#include <KMRComm/KC1ReceiveTelegram.h>
#include <KMRComm/KMRKC1BlockCPUReceiveTelegramFactory.h>
#include <KMRComm/KMRKC1ReceiveTelegramFactory.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace
{
template <class Telegram> void CutStream(const uint8_t* data_i, size_t size_i, IKMRTelegramFactory& factory_i)
{
    Telegram splitter;
    const auto len = static_cast<unsigned int>(size_i);
    unsigned int offset = 0;
    while (offset < len)
    {
        const unsigned int rest = len - offset;
        unsigned int consumed = 0xDEADBEEF;
        const ETelegramState state = splitter.SplitTelegram(data_i + offset, rest, consumed);
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
            if (!splitter.IsTelegramValid(data_i + offset, consumed))
                abort();
            KMRTelegramPtr telegram(factory_i.CreateTelegram(data_i + offset, static_cast<int>(consumed)));
            const unsigned char* payload = telegram->GetData();
            const unsigned char* frame = telegram->GetTelegramStream();
            if (telegram->GetSize() != consumed)
                abort();
            if (payload != nullptr && payload + telegram->GetDataSize() > frame + consumed)
                abort();
        }
        offset += consumed;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KMRKC1ReceiveTelegramFactory kc1;
    KMRKC1BlockCPUReceiveTelegramFactory blockCPU;
    CutStream<KC1ReceiveTelegram>(data, size, kc1);
    CutStream<KC1BlockCPUReceiveTelegram>(data, size, blockCPU);
    return 0;
}
