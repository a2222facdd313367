// KMRProtocolProcessor: an abstract processing step for a protocol layer.
#pragma once

#include <KMRComm/KMRCommExport.h>

class KMRAbstractTelegram;

// An interface for a component that processes telegrams of a protocol, for instance a
// simulated peer behind a virtual transmission. Nothing in the library implements or
// calls it.
class KMRComm_API KMRProtocolProcessor
{
public:
    KMRProtocolProcessor() = default;
    KMRProtocolProcessor(const KMRProtocolProcessor&) = default;
    KMRProtocolProcessor& operator=(const KMRProtocolProcessor&) = default;
    // Slot 0.
    virtual ~KMRProtocolProcessor();
    // Slot 1: processes one telegram (not owned); answers whether it was handled.
    virtual bool Process(KMRAbstractTelegram* pTelegram_i) = 0;
};
