// KMRCriticalSection over a recursive timed mutex.
#include <KMRBase/KMRCriticalSection.h>

void KMRCriticalSection::Enter()
{
    m_Mutex.lock();
    m_bEntered.store(true, std::memory_order_relaxed);
}

void KMRCriticalSection::Leave()
{
    m_bEntered.store(false, std::memory_order_relaxed);
    m_Mutex.unlock();
}

bool KMRCriticalSection::TryEnter()
{
    if (!m_Mutex.try_lock())
        return false;
    m_bEntered.store(true, std::memory_order_relaxed);
    return true;
}

bool KMRCriticalSection::TryEnterFor(std::chrono::milliseconds timeout_i)
{
    if (!m_Mutex.try_lock_for(timeout_i))
        return false;
    m_bEntered.store(true, std::memory_order_relaxed);
    return true;
}
