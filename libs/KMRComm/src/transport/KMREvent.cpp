// KMREvent on eventfd: auto-reset events are consumed by the one waiter that reads them.
#include <KMRComm/KMREvent.h>

#include <KMRBase/KMRException.h>
#include <KMRBase/KMRWin32Exception.h>

#include <KMRPlatform/KMRPlatform.h>

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <map>
#include <mutex>
#include <vector>

namespace
{
// Named events of this process: the first descriptor per name, duplicated for every
// further object that opens the name.
struct NamedEvent
{
    int fd;
    bool manualReset;
};

std::mutex& NamedEventLock()
{
    static std::mutex lock;
    return lock;
}

std::map<std::string, NamedEvent>& NamedEvents()
{
    static auto* events = new std::map<std::string, NamedEvent>();
    return *events;
}

bool LookUpNamedKind(const char* name_i, bool bDefault_i)
{
    if (name_i == nullptr)
        return bDefault_i;
    std::lock_guard<std::mutex> guard(NamedEventLock());
    auto it = NamedEvents().find(name_i);
    return it == NamedEvents().end() ? bDefault_i : it->second.manualReset;
}

// Waits for one of the descriptors; answers its index, -1 on time-out, or throws.
int WaitForAnyDescriptor(const std::vector<int>& fds_i, const std::vector<bool>& manual_i, uint32_t ulTimeout_i,
                         const char* where_i)
{
    using Clock = std::chrono::steady_clock;
    const bool infinite = ulTimeout_i == KMREvent::INFINITE_WAIT;
    const auto deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : ulTimeout_i);
    std::vector<pollfd> items(fds_i.size());
    for (;;)
    {
        for (size_t i = 0; i < fds_i.size(); ++i)
            items[i] = pollfd{fds_i[i], POLLIN, 0};
        uint32_t left = kmr::platform::WAIT_INFINITE;
        if (!infinite)
        {
            const auto ms = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            left = ms > 0 ? static_cast<uint32_t>(ms) : 0;
        }
        const int ready = kmr::platform::PollFor(items.data(), items.size(), left);
        if (ready < 0)
            throw KMRWin32Exception(where_i, static_cast<uint32_t>(errno));
        if (ready == 0)
            return -1;
        for (size_t i = 0; i < items.size(); ++i)
        {
            if ((items[i].revents & (POLLERR | POLLNVAL)) != 0)
                throw KMRWin32Exception(where_i, EBADF);
            if ((items[i].revents & POLLIN) == 0)
                continue;
            // Another waiter may have consumed an auto-reset event first: wait again.
            if (manual_i[i] || kmr::platform::EventConsume(fds_i[i]))
                return static_cast<int>(i);
        }
    }
}
} // namespace

int KMREvent::CreateEvent(KMRSecurityAttributes*, bool bManualReset_i, bool bInitialState_i, const char* name_i)
{
    if (name_i == nullptr)
        return kmr::platform::EventCreate(bInitialState_i);
    std::lock_guard<std::mutex> guard(NamedEventLock());
    auto it = NamedEvents().find(name_i);
    if (it != NamedEvents().end())
        return ::fcntl(it->second.fd, F_DUPFD_CLOEXEC, 0);
    const int fd = kmr::platform::EventCreate(bInitialState_i);
    if (fd < 0)
        return fd;
    const int kept = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (kept < 0)
    {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    NamedEvents().emplace(name_i, NamedEvent{kept, bManualReset_i});
    return fd;
}

KMREvent::KMREvent(KMRSecurityAttributes* attributes_i, bool bManualReset_i, bool bInitialState_i)
    : m_hEvent(CreateEvent(attributes_i, bManualReset_i, bInitialState_i, nullptr)), m_bManualReset(bManualReset_i)
{
    if (m_hEvent < 0)
        throw KMRWin32Exception("CEvent::Create()", static_cast<uint32_t>(errno));
}

KMREvent::KMREvent(KMRSecurityAttributes* attributes_i, bool bManualReset_i, bool bInitialState_i,
                   const std::string& name_i)
    : m_hEvent(-1), m_bManualReset(LookUpNamedKind(name_i.c_str(), bManualReset_i))
{
    m_hEvent = CreateEvent(attributes_i, bManualReset_i, bInitialState_i, name_i.c_str());
    if (m_hEvent < 0)
        throw KMRWin32Exception("CEvent::Create()", static_cast<uint32_t>(errno));
}

KMREvent::~KMREvent()
{
    if (m_hEvent >= 0)
        ::close(m_hEvent);
}

void KMREvent::Set()
{
    if (const int error = kmr::platform::EventSignal(m_hEvent); error != 0)
        throw KMRWin32Exception("KMREvent::Set()", static_cast<uint32_t>(error));
}

void KMREvent::Reset()
{
    if (::fcntl(m_hEvent, F_GETFD) < 0)
        throw KMRWin32Exception("KMREvent::Reset()", static_cast<uint32_t>(errno));
    kmr::platform::EventConsume(m_hEvent);
}

void KMREvent::Pulse()
{
    if (::fcntl(m_hEvent, F_GETFD) < 0)
        throw KMRWin32Exception("KMREvent::Pulse()", static_cast<uint32_t>(errno));
    // Waiters already inside poll() are woken by the signal; an auto-reset event is
    // consumed by the first of them. Whatever is left is taken back right away.
    if (const int error = kmr::platform::EventSignal(m_hEvent); error != 0)
        throw KMRWin32Exception("KMREvent::Pulse()", static_cast<uint32_t>(error));
    ::sched_yield();
    kmr::platform::EventConsume(m_hEvent);
}

bool KMREvent::Wait(uint32_t ulTimeout_i)
{
    return WaitForAnyDescriptor({m_hEvent}, {m_bManualReset}, ulTimeout_i, "KMREvent::Wait() - WaitForSingleObject") ==
           0;
}

void KMREvent::Wait()
{
    if (!Wait(INFINITE_WAIT))
        throw KMRException("KMREvent::Wait()", "Unexpected timeout on infinite wait");
}

int KMREvent::WaitForAny(std::initializer_list<KMREvent*> events_i, uint32_t ulTimeout_i)
{
    std::vector<int> fds;
    std::vector<bool> manual;
    for (KMREvent* event : events_i)
    {
        fds.push_back(event->m_hEvent);
        manual.push_back(event->m_bManualReset);
    }
    return WaitForAnyDescriptor(fds, manual, ulTimeout_i, "KMREvent::WaitForAny() - WaitForMultipleObjects");
}

KMRAutoResetEvent::KMRAutoResetEvent(bool bInitialState_i) : KMREvent(nullptr, false, bInitialState_i) {}

KMRAutoResetEvent::KMRAutoResetEvent(const std::string& name_i, bool bInitialState_i)
    : KMREvent(nullptr, false, bInitialState_i, name_i)
{
}

KMRManualResetEvent::KMRManualResetEvent(bool bInitialState_i) : KMREvent(nullptr, true, bInitialState_i) {}

KMRManualResetEvent::KMRManualResetEvent(const std::string& name_i, bool bInitialState_i)
    : KMREvent(nullptr, true, bInitialState_i, name_i)
{
}
