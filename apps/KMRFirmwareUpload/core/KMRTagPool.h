// KMRTagPool: the process-wide counter of KelmarCom2 request tags.
#pragma once

#include <cstdint>

// Hands out the tags 16, 32, ..., 240, 16, ...: the low four bits of a request tag
// are always 0 (the controller puts its flags there), and 0 is never used.
// Thread safety: the counter is atomic, so engines on different threads may share it.
class KMRTagPool
{
public:
    // The single pool, created on first use and never destroyed.
    static KMRTagPool* CreatePool();
    static uint8_t GetNextTag(KMRTagPool* pool_i);

    // Starts the sequence again at 16 (tests).
    void Reset();

private:
    KMRTagPool() = default;
    uint8_t _Next();

    static KMRTagPool* m_pTagPool;
};
