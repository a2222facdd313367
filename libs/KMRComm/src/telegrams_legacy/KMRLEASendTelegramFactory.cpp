// KMRLEASendTelegramFactory: empty LEA requests.
#include <KMRComm/KMRLEASendTelegramFactory.h>

#include <KMRComm/LEASendTelegram.h>

KMRLEASendTelegramFactory::~KMRLEASendTelegramFactory() = default;

KMRAbstractTelegram* KMRLEASendTelegramFactory::CreateTelegram()
{
    return new LEASendTelegram();
}

KMRAbstractTelegram* KMRLEASendTelegramFactory::CreateTelegram(const unsigned char* /*pTelegram_i*/,
                                                               int /*iTelegramLen_i*/)
{
    return nullptr;
}
