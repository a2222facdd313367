// KMRSocketPeer: the receiving thread as one poll over its control events and the socket.
#include <KMRComm/KMRSocketPeer.h>

#include <KMRComm/KMRCommException.h>

#include <KMRBase/KMRWin32Exception.h>
#include <KMRLogging/KMRLogger.h>

#include <KMRPlatform/KMRPlatform.h>

#include <cxxabi.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

using KMRInternetAddress = KMRSocket::KMRInternetAddress;

namespace
{
void EnableOption(KMRSocket& socket_i, int option_i)
{
    const int on = 1;
    socket_i.SetSockOpt(SOL_SOCKET, option_i, &on, sizeof(on));
}
} // namespace

KMRSocketPeer::KMRSocketPeer() : KMRSocketPeer(0u, 0) {}

KMRSocketPeer::KMRSocketPeer(uint32_t ulAddress_i, uint16_t usPort_i)
    : KMRThread("SocketPeer"), m_ListenAddress(ulAddress_i, usPort_i), m_ulListenAddress(ulAddress_i),
      m_usListenPort(usPort_i), m_ulDestAddress(0), m_usDestPort(0), m_ulSendAddress(0), m_usSendPort(0)
{
    m_PeerLogger.SetLogger("org.kelmar.comm.SOCKETPEER");
}

KMRSocketPeer::KMRSocketPeer(const char* szAddress_i, uint16_t usPort_i)
    : KMRSocketPeer(KMRInternetAddress::ConvertIPAddress(szAddress_i), usPort_i)
{
}

KMRSocketPeer::KMRSocketPeer(const KMRInternetAddress& address_i)
    : KMRSocketPeer(address_i.GetIPAddr(), address_i.GetPort())
{
}

KMRSocketPeer::~KMRSocketPeer() = default;

int KMRSocketPeer::CreateUDPSocket()
{
    const int socket = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        throw KMRWin32Exception("KMRSocket::CreateUDPSocket()", static_cast<uint32_t>(errno));
    return socket;
}

int KMRSocketPeer::CreateListeningUDPSocket(const KMRInternetAddress& address_i)
{
    KMRSocket socket(CreateUDPSocket());
    EnableOption(socket, SO_REUSEADDR);
    EnableOption(socket, SO_BROADCAST);
    socket.Bind(address_i);
    return socket.Detach();
}

int KMRSocketPeer::CreateListeningUDPSocket(uint32_t, uint16_t)
{
    KMRSocket socket(CreateUDPSocket());
    socket.Bind(m_ListenAddress);
    return socket.Detach();
}

int KMRSocketPeer::CreateSendingUDPSocket(uint32_t ulAddress_i, uint16_t usPort_i)
{
    KMRSocket socket(CreateUDPSocket());
    EnableOption(socket, SO_REUSEADDR);
    socket.Bind(KMRInternetAddress(ulAddress_i, usPort_i));
    return socket.Detach();
}

void KMRSocketPeer::StartAcceptingConnections(const KMRInternetAddress& address_i)
{
    m_ListenAddress = address_i;
    StartAcceptingConnections();
}

void KMRSocketPeer::StartAcceptingConnections(uint32_t ulAddress_i, uint16_t usPort_i)
{
    m_ulListenAddress = ulAddress_i;
    m_usListenPort = usPort_i;
    m_ListenAddress = KMRInternetAddress(ulAddress_i, usPort_i);
    StartAcceptingConnections();
}

void KMRSocketPeer::StartAcceptingConnections()
{
    {
        std::lock_guard<std::mutex> guard(m_SocketLock);
        if (m_ListenSocket.IsValid())
            return;
    }
    OnStartAcceptingConnections();
    KMRSocket socket(CreateListeningUDPSocket(m_ListenAddress));
    socket.EventSelect(m_ReadEvent.GetEvent(), 1);
    {
        std::lock_guard<std::mutex> guard(m_SocketLock);
        m_ListenSocket.Attach(socket.Detach());
    }
    m_AcceptEvent.Set();
    m_StopAcceptEvent.Reset();
}

void KMRSocketPeer::StopAcceptingConnections()
{
    std::lock_guard<std::mutex> guard(m_SocketLock);
    if (!m_ListenSocket.IsValid())
        return;
    m_AcceptEvent.Reset();
    m_StopAcceptEvent.Set();
    try
    {
        m_ListenSocket.Close();
    }
    catch (const KMRException&)
    {
        // The descriptor is gone either way.
    }
    OnStopAcceptingConnections();
}

void KMRSocketPeer::StartSending(uint32_t ulLocalAddress_i, uint16_t usLocalPort_i, uint32_t ulDestAddress_i,
                                 uint16_t usDestPort_i)
{
    {
        std::lock_guard<std::mutex> guard(m_SocketLock);
        if (m_SendSocket.IsValid())
            return;
    }
    OnStartSending();
    m_ulSendAddress = ulLocalAddress_i;
    m_usSendPort = usLocalPort_i;
    m_ulDestAddress = ulDestAddress_i;
    m_usDestPort = usDestPort_i;
    const int socket = CreateSendingUDPSocket(ulLocalAddress_i, usLocalPort_i);
    std::lock_guard<std::mutex> guard(m_SocketLock);
    m_SendSocket.Attach(socket);
}

void KMRSocketPeer::StartSending(uint32_t ulDestAddress_i, uint16_t usDestPort_i)
{
    m_ulDestAddress = ulDestAddress_i;
    m_usDestPort = usDestPort_i;
}

void KMRSocketPeer::StopSending()
{
    std::lock_guard<std::mutex> guard(m_SocketLock);
    if (!m_SendSocket.IsValid())
        return;
    try
    {
        m_SendSocket.Close();
    }
    catch (const KMRException&)
    {
    }
    OnStopSending();
}

int KMRSocketPeer::SendTo(const KMRInternetAddress& address_i, const void* pData_i, size_t iSize_i)
{
    std::lock_guard<std::mutex> guard(m_SocketLock);
    if (m_SendSocket.IsValid())
        return m_SendSocket.SendTo(address_i, pData_i, iSize_i);
    if (m_ListenSocket.IsValid())
        return m_ListenSocket.SendTo(address_i, pData_i, iSize_i);
    KMR_THROW(KMR_EXC_OPERATING_SYSTEM, "KMRSocketPeer::SendTo", "No socket initialized");
}

void KMRSocketPeer::SignalReadEvent()
{
    m_ReadEvent.Set();
}

void KMRSocketPeer::InitiateShutdown()
{
    StopAcceptingConnections();
    m_ShutdownEvent.Set();
    OnShutdownInitiated();
}

void KMRSocketPeer::WaitForShutdownToComplete()
{
    InitiateShutdown();
    if (GetHandle() >= 0)
        Wait();
}

KMRInternetAddress KMRSocketPeer::GetListeningAddress() const
{
    KMRInternetAddress address;
    std::lock_guard<std::mutex> guard(m_SocketLock);
    if (m_ListenSocket.IsValid())
        m_ListenSocket.GetSocketAddress(address);
    return address;
}

KMRInternetAddress KMRSocketPeer::GetSenderAddress() const
{
    std::lock_guard<std::mutex> guard(m_SenderLock);
    return m_SenderAddress;
}

KMRInternetAddress KMRSocketPeer::TakeSenderAddress()
{
    std::lock_guard<std::mutex> guard(m_SenderLock);
    KMRInternetAddress sender = m_SenderAddress;
    m_SenderAddress.Clear();
    return sender;
}

bool KMRSocketPeer::_ReceiveOnce()
{
    KMRLogger& logger = m_PeerLogger;
    int socket = -1;
    {
        std::lock_guard<std::mutex> guard(m_SocketLock);
        socket = m_ListenSocket.GetSocket();
    }
    pollfd items[4] = {{m_ShutdownEvent.GetEvent(), POLLIN, 0},
                       {m_StopAcceptEvent.GetEvent(), POLLIN, 0},
                       {m_ReadEvent.GetEvent(), POLLIN, 0},
                       {socket, POLLIN, 0}};
    const int ready = kmr::platform::PollFor(items, socket >= 0 ? 4 : 3, KMREvent::INFINITE_WAIT);
    logger.Debug("AFTER WaitForMultipleObjects in KMRSocketPeer (2)");
    if (ready < 0)
    {
        OnError((std::string("KMRSocketPeer::Run() - WaitForMultipleObjects: ") + std::strerror(errno)).c_str());
        return false;
    }
    if ((items[0].revents & POLLIN) != 0 || (items[1].revents & POLLIN) != 0)
        return false;
    // Data on the socket, or SignalReadEvent: a signal without data only wakes the loop.
    if (socket < 0 || (items[3].revents & (POLLIN | POLLERR)) == 0)
    {
        m_ReadEvent.Reset();
        return true;
    }
    unsigned char buffer[MAX_DATAGRAM];
    int length = 0;
    try
    {
        std::lock_guard<std::mutex> guard(m_SocketLock);
        // Accepting may have stopped (and the descriptor gone) since the wait.
        if (m_ListenSocket.GetSocket() != socket || m_StopAcceptEvent.Wait(0))
            return false;
        KMRInternetAddress sender;
        length = m_ListenSocket.ReceiveFrom(buffer, sizeof(buffer), sender);
        std::lock_guard<std::mutex> senderGuard(m_SenderLock);
        m_SenderAddress = sender;
    }
    catch (const KMRCommException& e)
    {
        char text[KMRException::MAX_DETAILS + 64];
        std::snprintf(text, sizeof(text), "KMRCommException occurred in KMRSocketPeer. Details: %s", e.GetDetails());
        logger.Error(text);
        m_ReadEvent.Reset();
        return true;
    }
    m_ReadEvent.Reset();
    logger.Debug("KMRSocketPeer::Run() BEFORE OnReceiveData");
    OnReceiveData(buffer, length);
    logger.Debug("KMRSocketPeer::Run() AFTER OnReceiveData");
    return true;
}

int32_t KMRSocketPeer::Run()
{
    KMRLogger& logger = m_PeerLogger;
    try
    {
        for (;;)
        {
            if (m_ShutdownEvent.Wait(0))
                break;
            const int woken = KMREvent::WaitForAny({&m_ShutdownEvent, &m_AcceptEvent}, KMREvent::INFINITE_WAIT);
            logger.Debug("AFTER WaitForMultipleObjects in KMRSocketPeer (1)");
            if (woken == 0)
                break;
            try
            {
                while (_ReceiveOnce())
                {
                }
            }
            catch (abi::__forced_unwind&)
            {
                throw;
            }
            catch (const KMRException& e)
            {
                char text[KMRException::MAX_DETAILS + 512];
                std::snprintf(text, sizeof(text), "Exception occurred in thread KMRSocketPeer. File: %s, Line: %d, Reason: %s",
                              e.GetSourceFile() != nullptr ? e.GetSourceFile() : "", e.GetLineNumber(), e.GetDetails());
                logger.Error(text);
                m_ReadEvent.Reset();
            }
            catch (...)
            {
                logger.Error("Unknown exception occurred in thread KMRSocketPeer.");
                m_ReadEvent.Reset();
            }
        }
    }
    catch (abi::__forced_unwind&)
    {
        throw;
    }
    catch (...)
    {
    }
    OnShutdownComplete();
    return 0;
}
