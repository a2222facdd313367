// IKMRSender: sending and the communication-line-in-use signal of a transmission.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <cstdint>

class KMRAbstractTelegram;

// The sending half of a transmission (the first four operations of KMRTransmission).
class KMRComm_API IKMRSender
{
public:
    // Slot 0: sends one telegram; the telegram stays the caller's.
    virtual void Send(KMRAbstractTelegram* pTelegram_i) = 0;
    // Slot 1: marks the line as in use.
    virtual void SetCommunicationLineInUse() = 0;
    // Slot 2: marks the line as free.
    virtual void ResetCommunicationLineInUse() = 0;
    // Slot 3: true when the line is (or becomes) free within the time-out.
    virtual bool WaitWhileCommunicationLineInUse(uint32_t ulTimeout_i) = 0;
    // Slot 4.
    virtual ~IKMRSender() = default;
};
