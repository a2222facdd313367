// KMRKC1SendTelegramFactory: empty KC1 requests for transmissions.
#include <KMRComm/KMRKC1SendTelegramFactory.h>

#include <KMRComm/KC1SendTelegram.h>

KMRKC1SendTelegramFactory::~KMRKC1SendTelegramFactory() = default;

KMRAbstractTelegram* KMRKC1SendTelegramFactory::CreateTelegram()
{
    return new KC1SendTelegram();
}

KMRAbstractTelegram* KMRKC1SendTelegramFactory::CreateTelegram(const unsigned char* /*pTelegram_i*/,
                                                               int /*iTelegramLen_i*/)
{
    return new KC1SendTelegram();
}
