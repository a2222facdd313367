// KMRKC1BlockCPUSendTelegramFactory: empty KC1 block-CPU requests for transmissions.
#include <KMRComm/KMRKC1BlockCPUSendTelegramFactory.h>

#include <KMRComm/KC1BlockCPUSendTelegram.h>

KMRKC1BlockCPUSendTelegramFactory::~KMRKC1BlockCPUSendTelegramFactory() = default;

KMRAbstractTelegram* KMRKC1BlockCPUSendTelegramFactory::CreateTelegram()
{
    return new KC1BlockCPUSendTelegram();
}

KMRAbstractTelegram* KMRKC1BlockCPUSendTelegramFactory::CreateTelegram(const unsigned char* /*pTelegram_i*/,
                                                                       int /*iTelegramLen_i*/)
{
    return new KC1BlockCPUSendTelegram();
}
