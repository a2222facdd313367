// KMRLEASendTelegramFactory: the telegram factory of LEA requests.
#pragma once

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRCommExport.h>

// Creates empty LEA requests. Thread safety: stateless; usable from any thread.
class KMRComm_API KMRLEASendTelegramFactory : public IKMRTelegramFactory
{
public:
    KMRLEASendTelegramFactory() = default;

    // A new default LEASendTelegram, owned by the caller.
    KMRAbstractTelegram* CreateTelegram() override;
    // Null: LEA requests are never built from bytes.
    KMRAbstractTelegram* CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i) override;
    ~KMRLEASendTelegramFactory() override;
};
