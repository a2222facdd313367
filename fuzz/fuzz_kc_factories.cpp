// Fuzzes CreateTelegram(bytes) of the request, response and unknown telegram factories.
#include <KMRComm/KMRKCReceiveTelegramFactory.h>
#include <KMRComm/KMRKCSendTelegramFactory.h>
#include <KMRComm/KMRUnknownTelegramFactory.h>

#include <KMRBase/KMRException.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    KMRKCSendTelegramFactory requests;
    KMRKCReceiveTelegramFactory responses;
    KMRUnknownTelegramFactory unknown;
    IKMRTelegramFactory* factories[] = {&requests, &responses, &unknown};
    const int len = static_cast<int>(size);
    for (IKMRTelegramFactory* factory : factories)
    {
        try
        {
            KMRTelegramPtr telegram(factory->CreateTelegram(data, len));
            // A telegram built from bytes holds exactly those bytes.
            if (telegram->GetSize() != size)
                abort();
            for (size_t i = 0; i < size; ++i)
                if (telegram->GetTelegramStream()[i] != data[i])
                    abort();
            char text[64];
            telegram->ToString(text, sizeof(text));
            if (telegram->GetDataSize() > size)
                abort();
        }
        catch (const KMRException&)
        {
        }
    }
    return 0;
}
