// KMRKCTelegramConfig: the process-wide instance and the per-key table.
#include <KMRComm/KMRKCTelegramConfig.h>

KMRKCTelegramConfig* KMRKCTelegramConfig::m_pKMRKCTelegramConfigInstance = nullptr;

KMRKCTelegramConfig* KMRKCTelegramConfig::GetKCTelegramConfig()
{
    // A function-local static is created exactly once even when the first calls race;
    // it is deliberately never destroyed (frames may still be built while statics die).
    static KMRKCTelegramConfig* const instance = [] {
        m_pKMRKCTelegramConfigInstance = new KMRKCTelegramConfig();
        return m_pKMRKCTelegramConfigInstance;
    }();
    return instance;
}

void KMRKCTelegramConfig::Destroy() {}

KMRKCTelegramConfig::KMRKCTelegramConfig() = default;

KMRKCTelegramConfig::KMRKCTelegramConfig(const KMRKCTelegramConfig& other_i)
    : m_bUseSubAddress(other_i.GetUseSubAddress())
{
    KMRCriticalSection::Owner lock(other_i.m_csTable);
    m_mapUseSubAddress = other_i.m_mapUseSubAddress;
}

KMRKCTelegramConfig& KMRKCTelegramConfig::operator=(const KMRKCTelegramConfig& other_i)
{
    if (this == &other_i)
        return *this;
    std::map<uint32_t, bool> table;
    {
        KMRCriticalSection::Owner lock(other_i.m_csTable);
        table = other_i.m_mapUseSubAddress;
    }
    {
        KMRCriticalSection::Owner lock(m_csTable);
        m_mapUseSubAddress.swap(table);
    }
    SetUseSubAddress(other_i.GetUseSubAddress());
    return *this;
}

KMRKCTelegramConfig::~KMRKCTelegramConfig() = default;

bool KMRKCTelegramConfig::GetUseSubAddress(unsigned int key_i)
{
    KMRCriticalSection::Owner lock(m_csTable);
    return m_mapUseSubAddress[key_i];
}

void KMRKCTelegramConfig::SetUseSubAddress(unsigned int key_i, bool useSubAddress_i)
{
    KMRCriticalSection::Owner lock(m_csTable);
    m_mapUseSubAddress[key_i] = useSubAddress_i;
}

bool KMRKCTelegramConfig::HasUseSubAddressKey(unsigned int key_i) const
{
    KMRCriticalSection::Owner lock(m_csTable);
    return m_mapUseSubAddress.count(key_i) != 0;
}
