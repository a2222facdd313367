// KMREvent, KMRAutoResetEvent, KMRManualResetEvent: waitable signal objects.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <cstdint>
#include <initializer_list>
#include <string>

// Stands for the security attributes of the original interface; every caller passes
// null and the value has no meaning on this platform.
struct KMRSecurityAttributes;

// A waitable signal object wrapping one event descriptor. An auto-reset event releases
// exactly one waiter per Set and falls back to unsignalled by itself; a manual-reset
// event stays signalled until Reset. GetEvent() is a descriptor that is readable while
// the event is set, so it can be waited on together with sockets and serial ports.
// Failures of the system throw KMRWin32Exception (Part of KMRBase).
// Thread safety: Set, Reset, Pulse and Wait may be called from any thread.
class KMRComm_API KMREvent
{
public:
    static constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFFu;

    // Creates the event descriptor and answers it. A non-null name creates or opens an
    // event shared by every object of this process with that name (the first creator
    // decides its kind and state); events are not shared between processes here.
    static int CreateEvent(KMRSecurityAttributes* attributes_i, bool bManualReset_i, bool bInitialState_i,
                           const char* name_i);

    KMREvent(KMRSecurityAttributes* attributes_i, bool bManualReset_i, bool bInitialState_i);
    KMREvent(KMRSecurityAttributes* attributes_i, bool bManualReset_i, bool bInitialState_i,
             const std::string& name_i);
    virtual ~KMREvent();
    KMREvent(const KMREvent&) = delete;
    KMREvent& operator=(const KMREvent&) = delete;

    // The descriptor; readable while the event is set.
    int GetEvent() const { return m_hEvent; }
    bool IsManualReset() const { return m_bManualReset; }

    void Set();
    void Reset();
    // Leaves the event unsignalled after releasing what can be released right now:
    // one waiter of an auto-reset event when a thread is waiting, else nobody.
    // Best effort: a waiter that is not yet inside its wait may miss the pulse.
    void Pulse();

    // True when the event was signalled within the time-out (INFINITE_WAIT: none).
    bool Wait(uint32_t ulTimeout_i);
    // Waits without time-out.
    void Wait();

    // Waits until one of the events is signalled and answers its index in the list,
    // or -1 on time-out. An auto-reset event that wakes the caller is consumed.
    // Throws KMRWin32Exception when the wait fails.
    static int WaitForAny(std::initializer_list<KMREvent*> events_i, uint32_t ulTimeout_i);

private:
    int m_hEvent;
    bool m_bManualReset;
};

// An event that releases one waiter per Set.
class KMRComm_API KMRAutoResetEvent : public KMREvent
{
public:
    explicit KMRAutoResetEvent(bool bInitialState_i = false);
    KMRAutoResetEvent(const std::string& name_i, bool bInitialState_i = false);
    // Keeps a string literal from choosing the bool constructor.
    KMRAutoResetEvent(const char* name_i, bool bInitialState_i = false) : KMRAutoResetEvent(std::string(name_i), bInitialState_i) {}
};

// An event that stays signalled until Reset.
class KMRComm_API KMRManualResetEvent : public KMREvent
{
public:
    explicit KMRManualResetEvent(bool bInitialState_i = false);
    KMRManualResetEvent(const std::string& name_i, bool bInitialState_i = false);
    // Keeps a string literal from choosing the bool constructor.
    KMRManualResetEvent(const char* name_i, bool bInitialState_i = false) : KMRManualResetEvent(std::string(name_i), bInitialState_i) {}
};
