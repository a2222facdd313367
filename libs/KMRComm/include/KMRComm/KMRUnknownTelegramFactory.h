// KMRUnknownTelegramFactory: the telegram factory that passes received bytes on uninterpreted.
#pragma once

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRCommExport.h>

// Creates KMRUnknownTelegram objects. Thread safety: stateless; usable from any thread.
class KMRComm_API KMRUnknownTelegramFactory : public IKMRTelegramFactory
{
public:
    KMRUnknownTelegramFactory() = default;
    // A new empty unknown telegram.
    KMRAbstractTelegram* CreateTelegram() override;
    // A copy of the bytes; throws KMRException (plausibility) for a negative size.
    KMRAbstractTelegram* CreateTelegram(const unsigned char* data_i, int size_i) override;
    ~KMRUnknownTelegramFactory() override;
};
