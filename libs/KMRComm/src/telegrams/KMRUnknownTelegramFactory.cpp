// KMRUnknownTelegramFactory: creates unknown telegrams.
#include <KMRComm/KMRUnknownTelegramFactory.h>

#include <KMRComm/KMRUnknownTelegram.h>

#include <KMRBase/KMRException.h>

KMRUnknownTelegramFactory::~KMRUnknownTelegramFactory() = default;

KMRAbstractTelegram* KMRUnknownTelegramFactory::CreateTelegram()
{
    return new KMRUnknownTelegram();
}

KMRAbstractTelegram* KMRUnknownTelegramFactory::CreateTelegram(const unsigned char* data_i, int size_i)
{
    if (size_i < 0)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KMRUnknownTelegramFactory::CreateTelegram", "Negative telegram length");
    return new KMRUnknownTelegram(data_i, static_cast<unsigned int>(size_i));
}
