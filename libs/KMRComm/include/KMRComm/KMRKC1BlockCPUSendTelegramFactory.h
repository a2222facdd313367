// KMRKC1BlockCPUSendTelegramFactory: the telegram factory of KC1 block-CPU requests.
#pragma once

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRCommExport.h>

// Creates empty KC1 block-CPU requests; requests are never parsed from received bytes. Every result
// is new and owned by the caller. Thread safety: stateless; usable from any thread.
class KMRComm_API KMRKC1BlockCPUSendTelegramFactory : public IKMRTelegramFactory
{
public:
    KMRKC1BlockCPUSendTelegramFactory() = default;

    // A new empty KC1BlockCPUSendTelegram.
    KMRAbstractTelegram* CreateTelegram() override;
    // A new empty KC1BlockCPUSendTelegram whatever the bytes.
    KMRAbstractTelegram* CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i) override;
    ~KMRKC1BlockCPUSendTelegramFactory() override;
};
