// KMRKCTelegramConfig: the process-wide KelmarCom2 setting of the address byte order.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <KMRBase/KMRCriticalSection.h>

#include <atomic>
#include <cstdint>
#include <map>

// One instance per process (GetKCTelegramConfig). The use-sub-address flag decides the
// order of the two address bytes in every KelmarCom2 frame that is built or read: true
// puts the address first, false the sub-address. The per-key table stores a flag per key
// for callers that keep settings per line; the frame classes do not consult it.
// Thread safety: every operation may be called from any thread; the flag is atomic and
// the table is locked.
class KMRComm_API KMRKCTelegramConfig
{
public:
    // The process's instance, created on the first call (flag true, empty table); it lives
    // until the process ends.
    static KMRKCTelegramConfig* GetKCTelegramConfig();
    // Does nothing: the instance is never deleted, since frames may be built during exit.
    static void Destroy();

    KMRKCTelegramConfig();
    KMRKCTelegramConfig(const KMRKCTelegramConfig& other_i);
    KMRKCTelegramConfig& operator=(const KMRKCTelegramConfig& other_i);
    virtual ~KMRKCTelegramConfig();

    bool GetUseSubAddress() const { return m_bUseSubAddress.load(std::memory_order_relaxed); }
    void SetUseSubAddress(bool useSubAddress_i) { m_bUseSubAddress.store(useSubAddress_i, std::memory_order_relaxed); }

    // The stored flag of key_i; an absent key is entered with false and reads false.
    bool GetUseSubAddress(unsigned int key_i);
    void SetUseSubAddress(unsigned int key_i, bool useSubAddress_i);
    // True when key_i has an entry in the table.
    bool HasUseSubAddressKey(unsigned int key_i) const;

private:
    static KMRKCTelegramConfig* m_pKMRKCTelegramConfigInstance;

    mutable KMRCriticalSection m_csTable;
    std::map<uint32_t, bool> m_mapUseSubAddress;
    std::atomic<bool> m_bUseSubAddress{true};
};
