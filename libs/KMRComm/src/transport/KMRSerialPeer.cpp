// KMRSerialPeer: the listener thread as a poll loop over the port and a wake-up descriptor.
#include <KMRComm/KMRSerialPeer.h>

#include <KMRPlatform/KMRPlatform.h>

#include <unistd.h>

#include <cerrno>

KMRSerialPeer::KMRSerialPeer() : m_bStopping(false), m_hListenerEvent(-1) {}

KMRSerialPeer::~KMRSerialPeer()
{
    KMRSerialPeer::Close();
}

int32_t KMRSerialPeer::Open(const char* device_i, uint32_t dwInQueue_i, uint32_t dwOutQueue_i, bool bStartListener_i)
{
    if (const int32_t error = KMRSerial::Open(device_i, dwInQueue_i, dwOutQueue_i, true); error != 0)
        return error;
    m_hListenerEvent = kmr::platform::EventCreate(false);
    if (m_hListenerEvent < 0)
    {
        const int error = errno;
        KMRSerial::Close();
        return _SetError(error);
    }
    if (bStartListener_i)
        return StartListener();
    return 0;
}

int32_t KMRSerialPeer::Close()
{
    if (const int32_t error = StopListener(INFINITE_WAIT); error != 0)
        return error;
    if (m_hListenerEvent >= 0)
    {
        ::close(m_hListenerEvent);
        m_hListenerEvent = -1;
    }
    return KMRSerial::Close();
}

int32_t KMRSerialPeer::StartListener()
{
    if (m_Thread.joinable())
        return 0;
    if (!IsOpen() || m_hListenerEvent < 0)
        return _SetError(ERROR_INVALID_HANDLE);
    kmr::platform::EventConsume(m_hListenerEvent);
    m_bStopping = false;
    try
    {
        m_Thread = std::thread(&KMRSerialPeer::_ListenerLoop, this);
    }
    catch (const std::system_error& e)
    {
        return _SetError(e.code().value());
    }
    return 0;
}

int32_t KMRSerialPeer::StopListener(uint32_t dwTimeout_i)
{
    if (!m_Thread.joinable())
        return 0;
    if (m_Thread.get_id() == std::this_thread::get_id())
        return _SetError(ERROR_INVALID_FUNCTION);
    m_bStopping = true;
    // Setting the mask again completes the listener's pending wait.
    SetMask(GetEventMask());
    pollfd item{m_hListenerEvent, POLLIN, 0};
    if (kmr::platform::PollFor(&item, 1, dwTimeout_i) <= 0)
        return _SetError(ERROR_TIMEOUT);
    m_Thread.join();
    m_bStopping = false;
    return 0;
}

void KMRSerialPeer::_ListenerLoop()
{
    OnServerStart();
    while (!m_bStopping)
    {
        if (WaitEvent(nullptr, INFINITE_WAIT) != 0)
            break;
        if (m_bStopping)
            break;
        const ESerialEvent events = GetEventType();
        if (events != EEventNone)
        {
            const ESerialError errors = GetError();
            OnEvent(events, errors);
        }
    }
    kmr::platform::EventSignal(m_hListenerEvent);
}
