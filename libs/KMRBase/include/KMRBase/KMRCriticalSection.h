// KMRCriticalSection: the recursive lock of all libraries, with its scope guards.
#pragma once

#include <KMRBase/KMRBaseExport.h>

#include <atomic>
#include <chrono>
#include <mutex>

// A recursive lock: the owning thread may enter again and must leave as often.
// The "entered" flag is informational (set by Enter, cleared by Leave), not a count.
// Thread safety: all operations may be called from any thread.
class KMRBase_API KMRCriticalSection
{
public:
    KMRCriticalSection() = default;
    ~KMRCriticalSection() = default;
    KMRCriticalSection(const KMRCriticalSection&) = delete;
    KMRCriticalSection& operator=(const KMRCriticalSection&) = delete;

    void Enter();
    void Leave();
    bool TryEnter();
    // Bounded wait: true when entered within the time-out.
    bool TryEnterFor(std::chrono::milliseconds timeout_i);
    bool IsEntered() const { return m_bEntered.load(std::memory_order_relaxed); }

    // Enters on construction, leaves on destruction.
    class KMRBase_API Owner
    {
    public:
        explicit Owner(KMRCriticalSection& section_i) : m_rSection(section_i) { m_rSection.Enter(); }
        ~Owner() { m_rSection.Leave(); }
        Owner(const Owner&) = delete;
        Owner& operator=(const Owner&) = delete;

    private:
        KMRCriticalSection& m_rSection;
    };

    // Tries to enter on construction; leaves on destruction only when it entered.
    class KMRBase_API OwnerTry
    {
    public:
        explicit OwnerTry(KMRCriticalSection& section_i) : m_rSection(section_i), m_bOwned(section_i.TryEnter()) {}
        ~OwnerTry()
        {
            if (m_bOwned)
                m_rSection.Leave();
            m_bOwned = false;
        }
        OwnerTry(const OwnerTry&) = delete;
        OwnerTry& operator=(const OwnerTry&) = delete;
        bool IsOwned() const { return m_bOwned; }

    private:
        KMRCriticalSection& m_rSection;
        bool m_bOwned;
    };

private:
    std::recursive_timed_mutex m_Mutex;
    std::atomic<bool> m_bEntered{false};
};
