// IKMRTelegramFactory: the interface through which transmissions create telegrams of one family.
#pragma once

#include <KMRComm/KMRCommExport.h>

class KMRAbstractTelegram;

// A telegram factory. Every telegram it returns is new and owned by the caller
// (free it with Release()). Thread safety: implementations hold no state, so one
// factory may be used from several threads at once.
class KMRComm_API IKMRTelegramFactory
{
public:
    // Slot 0: a new empty telegram of the factory's family; transmissions use it as the
    // prototype whose SplitTelegram cuts received byte streams.
    virtual KMRAbstractTelegram* CreateTelegram() = 0;
    // Slot 1: a new telegram parsed from size_i bytes at data_i. Throws KMRException when
    // the bytes are not a valid telegram of the family (a negative size is invalid).
    virtual KMRAbstractTelegram* CreateTelegram(const unsigned char* data_i, int size_i) = 0;
    // Slot 2.
    virtual ~IKMRTelegramFactory() = default;
};
