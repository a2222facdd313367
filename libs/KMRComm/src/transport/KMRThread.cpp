// KMRThread on pthreads, with the fatal policy for exceptions that escape a body.
#include <KMRComm/KMRThread.h>

#include <KMRComm/KMRSETranslator.h>

#include <KMRBase/KMRException.h>
#include <KMRBase/KMRWin32Exception.h>
#include <KMRLogging/KMRLogger.h>

#include <KMRPlatform/KMRPlatform.h>

#include <cxxabi.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <typeinfo>

namespace
{
// What the new thread needs. It owns its own duplicate of the end descriptor, so it
// never touches the thread object after Run() has returned.
struct StartRecord
{
    KMRThread* thread;
    int endEvent;
};

// Signals the end descriptor when the thread body is left in any way, cancellation
// included.
class EndSignal
{
public:
    explicit EndSignal(int fd_i) : m_iFd(fd_i) {}
    ~EndSignal()
    {
        kmr::platform::EventSignal(m_iFd);
        ::close(m_iFd);
    }
    EndSignal(const EndSignal&) = delete;
    EndSignal& operator=(const EndSignal&) = delete;

private:
    int m_iFd;
};

[[noreturn]] void StopProcess()
{
    KMRLogger::Shutdown();
    std::_Exit(1);
}
} // namespace

KMRThread::KMRThread(const char* name_i) : m_szName{}, m_hThread(-1), m_Thread{}, m_bJoined(true)
{
    if (name_i != nullptr)
        std::strncpy(m_szName, name_i, MAX_NAME - 1);
    m_szName[MAX_NAME - 1] = '\0';
}

KMRThread::~KMRThread()
{
    if (m_hThread < 0)
        return;
    if (!m_bJoined)
    {
        if (kmr::platform::EventIsSet(m_hThread))
            ::pthread_join(m_Thread, nullptr);
        else
            ::pthread_detach(m_Thread);
    }
    ::close(m_hThread);
}

void KMRThread::Start()
{
    if (m_hThread >= 0)
        KMR_THROW(KMR_EXC_SOFTWARE, "KMRThread::Start()", "Thread already running. It's not possible to call Start twice!");
    const int endEvent = kmr::platform::EventCreate(false);
    if (endEvent < 0)
        throw KMRWin32Exception("KMRThread::Start()", static_cast<uint32_t>(errno));
    const int threadEnd = ::fcntl(endEvent, F_DUPFD_CLOEXEC, 0);
    if (threadEnd < 0)
    {
        const int error = errno;
        ::close(endEvent);
        throw KMRWin32Exception("KMRThread::Start()", static_cast<uint32_t>(error));
    }
    auto record = std::make_unique<StartRecord>(StartRecord{this, threadEnd});
    const int error = ::pthread_create(&m_Thread, nullptr, &KMRThread::ThreadFunction, record.get());
    if (error != 0)
    {
        ::close(threadEnd);
        ::close(endEvent);
        throw KMRWin32Exception("KMRThread::Start()", static_cast<uint32_t>(error));
    }
    record.release();
    m_hThread = endEvent;
    m_bJoined = false;
}

bool KMRThread::Wait(uint32_t ulTimeout_i)
{
    if (m_hThread < 0)
        throw KMRWin32Exception("KMRThread::Wait() - WaitForSingleObject", EBADF);
    pollfd item{m_hThread, POLLIN, 0};
    const int ready = kmr::platform::PollFor(&item, 1, ulTimeout_i);
    if (ready < 0)
        throw KMRWin32Exception("KMRThread::Wait() - WaitForSingleObject", static_cast<uint32_t>(errno));
    if (ready == 0)
        return false;
    _Join();
    return true;
}

void KMRThread::Wait()
{
    if (!Wait(INFINITE_WAIT))
        throw KMRException("KMRThread::Wait()", "Unexpected timeout on infinite wait!");
}

void KMRThread::Terminate(uint32_t)
{
    if (m_hThread < 0)
        throw KMRWin32Exception("KMRThread::Terminate()", EBADF);
    if (!m_bJoined)
    {
        const int error = ::pthread_cancel(m_Thread);
        if (error != 0 && error != ESRCH)
            throw KMRWin32Exception("KMRThread::Terminate()", static_cast<uint32_t>(error));
        _Join();
    }
    ::close(m_hThread);
    m_hThread = -1;
}

void KMRThread::_Join()
{
    if (!m_bJoined)
    {
        ::pthread_join(m_Thread, nullptr);
        m_bJoined = true;
    }
}

void KMRThread::FormatExceptionMessage(const KMRException& exception_i, char* buffer_o, size_t size_i)
{
    if (buffer_o == nullptr || size_i == 0)
        return;
    std::string text = "KMRException occurred in thread " + std::to_string(static_cast<long>(::syscall(SYS_gettid))) +
                       " Line Number: " + std::to_string(exception_i.GetLineNumber());
    const char* details = exception_i.GetDetails();
    if (details != nullptr && *details != '\0')
        text += std::string(" Reason: ") + details;
    const char* file = exception_i.GetSourceFile();
    if (file != nullptr && *file != '\0')
        text += std::string(" File: ") + file;
    const size_t length = std::min(text.size(), size_i - 1);
    std::memcpy(buffer_o, text.data(), length);
    buffer_o[length] = '\0';
}

// UBSan reports catching the cancellation unwind by reference as a binding to null: the
// runtime's forced-unwind object has no storage of its own. The catch is the documented
// way to let a cancellation pass, so the check is switched off for this function only.
__attribute__((no_sanitize("undefined"))) void* KMRThread::ThreadFunction(void* start_i)
{
    std::unique_ptr<StartRecord> record(static_cast<StartRecord*>(start_i));
    EndSignal endSignal(record->endEvent);
    KMRThread* self = record->thread;
    // The system keeps at most 15 characters of a thread name.
    char shortName[16] = {};
    std::memcpy(shortName, self->m_szName, std::min(sizeof(shortName) - 1, std::strlen(self->m_szName)));
    ::pthread_setname_np(::pthread_self(), shortName);

    KMRLogger logger;
    logger.SetLogger("org.kelmar.comm.thread");
    const std::string name = self->m_szName;
    try
    {
        logger.Debug(("Starting thread named " + name).c_str());
        self->Run();
    }
    catch (abi::__forced_unwind&)
    {
        // Terminate(): the cancellation must unwind the thread to its end.
        throw;
    }
    catch (const KMRSETranslator::exception&)
    {
        StopProcess();
    }
    catch (const KMRException& e)
    {
        char message[KMRException::MAX_DETAILS + 512];
        FormatExceptionMessage(e, message, sizeof(message));
        logger.Fatal(message);
        StopProcess();
    }
    catch (const std::bad_typeid& e)
    {
        std::string text = "Non-RTTI-Object exception. ";
        if (e.what() != nullptr && *e.what() != '\0')
            text += std::string("Error message: ") + e.what() + ". -> Stopping process";
        logger.Fatal(text.c_str());
        StopProcess();
    }
    catch (...)
    {
        logger.Fatal(("Unknown exception occurred in thread named " + name + ". -> Stopping process").c_str());
        StopProcess();
    }
    return nullptr;
}
