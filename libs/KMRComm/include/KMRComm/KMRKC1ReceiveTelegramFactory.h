// KMRKC1ReceiveTelegramFactory: the telegram factory of KC1 responses.
#pragma once

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRCommExport.h>

// Creates KC1 responses for transmissions. Every result is new and owned by the caller.
// Thread safety: stateless; usable from any thread.
class KMRComm_API KMRKC1ReceiveTelegramFactory : public IKMRTelegramFactory
{
public:
    KMRKC1ReceiveTelegramFactory() = default;

    // A new empty KC1ReceiveTelegram: the prototype whose SplitTelegram cuts received streams.
    KMRAbstractTelegram* CreateTelegram() override;
    // A response copied from one cut frame; throws KMRException (plausibility) for an
    // invalid frame or a negative size.
    KMRAbstractTelegram* CreateTelegram(const unsigned char* pTelegram_i, int iTelegramLen_i) override;
    ~KMRKC1ReceiveTelegramFactory() override;
};
