// KMRKC1SendTelegramFactory: the telegram factory of KC1 requests.
#pragma once

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRCommExport.h>

// Creates empty KC1 requests; requests are never parsed from received bytes. Every result
// is new and owned by the caller. Thread safety: stateless; usable from any thread.
class KMRComm_API KMRKC1SendTelegramFactory : public IKMRTelegramFactory
{
public:
    KMRKC1SendTelegramFactory() = default;

    // A new empty KC1SendTelegram.
    KMRAbstractTelegram* CreateTelegram() override;
    // A new empty KC1SendTelegram whatever the bytes.
    KMRAbstractTelegram* CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i) override;
    ~KMRKC1SendTelegramFactory() override;
};
