// IKMRReceiver: the user side of a transmission, called with every received telegram.
#pragma once

#include <KMRComm/KMRCommExport.h>

class KMRAbstractTelegram;

// Receives the telegrams of a transmission. OnReceive runs on the transmission's
// delivery thread only, one telegram at a time in arrival order. The telegram belongs
// to the transmission and is released after OnReceive returns: copy what you need.
class KMRComm_API IKMRReceiver
{
public:
    // Slot 0.
    virtual void OnReceive(KMRAbstractTelegram* pTelegram_i) = 0;
    // Slot 1.
    virtual ~IKMRReceiver() = default;
};
