// KMRThread: an abstract worker thread whose subclass supplies the body.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <cstddef>
#include <cstdint>
#include <pthread.h>

class KMRException;

// A worker thread. An exception that escapes Run() is logged at fatal level on the
// logger "org.kelmar.comm.thread" and ends the whole process with exit code 1.
// The destructor neither stops nor waits for the thread: the owner stops the body
// (by whatever signal the subclass offers) and waits for it before destroying it.
// Thread safety: Start, Wait and Terminate are called from the owning thread only.
class KMRComm_API KMRThread
{
public:
    static constexpr uint32_t INFINITE_WAIT = 0xFFFFFFFFu;
    static constexpr size_t MAX_NAME = 256;

    // Copies the name, cut to its first 255 characters; no thread yet.
    explicit KMRThread(const char* name_i);
    virtual ~KMRThread();
    KMRThread(const KMRThread&) = delete;
    KMRThread& operator=(const KMRThread&) = delete;

    // The thread body, run on the new thread; its result is not used.
    virtual int32_t Run() = 0;

    // Starts the thread. Throws KMRException when it was started before (and not
    // terminated), KMRWin32Exception when the system refuses a thread.
    void Start();
    // True when the thread has ended within the time-out (INFINITE_WAIT: none).
    bool Wait(uint32_t ulTimeout_i);
    // Waits for the end without time-out.
    void Wait();
    // Cancels the thread and waits until it has unwound; it ends at its next wait or
    // other cancellation point. On success the object is back in the not-started state.
    void Terminate(uint32_t ulExitCode_i);

    // A descriptor that becomes readable when the thread has ended (it can be waited on
    // together with events); -1 while no thread was started.
    int GetHandle() const { return m_hThread; }
    const char* GetThreadName() const { return m_szName; }

protected:
    // Writes "KMRException occurred in thread <id> Line Number: <line>[ Reason: <details>]
    // [ File: <file>]" into buffer_o, cut to size_i - 1 characters and NUL-terminated.
    static void FormatExceptionMessage(const KMRException& exception_i, char* buffer_o, size_t size_i);

private:
    static void* ThreadFunction(void* start_i);
    void _Join();

    char m_szName[MAX_NAME];
    int m_hThread;
    pthread_t m_Thread;
    bool m_bJoined;
};
