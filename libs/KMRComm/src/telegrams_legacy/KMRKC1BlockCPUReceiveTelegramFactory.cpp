// KMRKC1BlockCPUReceiveTelegramFactory: KC1 block-CPU responses from received frames.
#include <KMRComm/KMRKC1BlockCPUReceiveTelegramFactory.h>

#include <KMRComm/KC1BlockCPUReceiveTelegram.h>

#include <KMRBase/KMRException.h>

KMRKC1BlockCPUReceiveTelegramFactory::~KMRKC1BlockCPUReceiveTelegramFactory() = default;

KMRAbstractTelegram* KMRKC1BlockCPUReceiveTelegramFactory::CreateTelegram()
{
    return new KC1BlockCPUReceiveTelegram();
}

KMRAbstractTelegram* KMRKC1BlockCPUReceiveTelegramFactory::CreateTelegram(const unsigned char* pTelegram_i,
                                                                          int iTelegramLen_i)
{
    if (iTelegramLen_i < 0)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KMRKC1BlockCPUReceiveTelegramFactory::CreateTelegram",
                  "Negative telegram length");
    return new KC1BlockCPUReceiveTelegram(pTelegram_i, static_cast<unsigned int>(iTelegramLen_i));
}
