// KMRTagPool: one rolling tag counter for all engines of the process.
#include "KMRTagPool.h"

#include <atomic>
#include <mutex>

namespace
{
std::atomic<uint8_t> g_ucLastTag{0};
}

KMRTagPool* KMRTagPool::m_pTagPool = nullptr;

KMRTagPool* KMRTagPool::CreatePool()
{
    static std::once_flag once;
    std::call_once(once, [] { m_pTagPool = new KMRTagPool(); });
    return m_pTagPool;
}

uint8_t KMRTagPool::GetNextTag(KMRTagPool* pool_i)
{
    return (pool_i != nullptr ? pool_i : CreatePool())->_Next();
}

uint8_t KMRTagPool::_Next()
{
    uint8_t last = g_ucLastTag.load();
    uint8_t next;
    do
    {
        next = static_cast<uint8_t>((last & 0xF0) + 16);
        if (next == 0)
            next = 16;
    } while (!g_ucLastTag.compare_exchange_weak(last, next));
    return next;
}

void KMRTagPool::Reset()
{
    g_ucLastTag.store(0);
}
