// KMRKC1ReceiveTelegramFactory: KC1 responses from received frames.
#include <KMRComm/KMRKC1ReceiveTelegramFactory.h>

#include <KMRComm/KC1ReceiveTelegram.h>

#include <KMRBase/KMRException.h>

KMRKC1ReceiveTelegramFactory::~KMRKC1ReceiveTelegramFactory() = default;

KMRAbstractTelegram* KMRKC1ReceiveTelegramFactory::CreateTelegram()
{
    return new KC1ReceiveTelegram();
}

KMRAbstractTelegram* KMRKC1ReceiveTelegramFactory::CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i)
{
    if (iTelegramLen_i < 0)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KMRKC1ReceiveTelegramFactory::CreateTelegram", "Negative telegram length");
    return new KC1ReceiveTelegram(pTelegram_i, static_cast<unsigned int>(iTelegramLen_i));
}
