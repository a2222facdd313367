// KMRTCPSocketServer: listen, accept one client, receive, listen again; poll keeps it stoppable.
#include <KMRComm/KMRTCPSocketServer.h>

#include <KMRComm/KMRCommException.h>

#include <KMRPlatform/KMRPlatform.h>

#include <arpa/inet.h>
#include <fcntl.h>

#include <cerrno>
#include <cstdio>

KMRTCPSocketServer::KMRTCPSocketServer(uint16_t usPort_i)
    : KMRThread("TCPSocketServer"), m_StopEvent(false), m_usPort(usPort_i), m_usBoundPort(usPort_i)
{
    m_Logger.SetLogger("org.kelmar.controller.tcpsocketserver");
}

KMRTCPSocketServer::~KMRTCPSocketServer()
{
    Stop();
}

void KMRTCPSocketServer::Stop()
{
    m_StopEvent.Set();
    if (GetHandle() >= 0)
        Wait();
}

void KMRTCPSocketServer::Listen()
{
    if (m_ListenSocket.IsValid())
        return;
    KMRTCPSocket socket(KMRTCPSocket::CreateSocket());
    const int on = 1;
    socket.SetSockOpt(SOL_SOCKET, SO_REUSEADDR, &on, sizeof(on));
    socket.Bind(KMRSocket::KMRInternetAddress(m_usBoundPort.load()));
    socket.Listen(0);
    // Accepting follows a poll: a client that went away meanwhile must not block it.
    socket.EventSelect(-1, 1);
    KMRSocket::KMRInternetAddress bound;
    socket.GetSocketAddress(bound);
    m_usBoundPort = bound.GetPort();
    m_ListenSocket.Attach(socket.Detach());
}

uint16_t KMRTCPSocketServer::GetListeningPort() const
{
    return m_usBoundPort.load();
}

void KMRTCPSocketServer::SetPort(uint16_t usPort_i)
{
    Close();
    m_usPort = usPort_i;
    m_usBoundPort = usPort_i;
}

void KMRTCPSocketServer::Send(const KMRString& bytes_i)
{
    KMRCriticalSection::Owner guard(m_SendLock);
    m_Connection.Send(bytes_i);
}

void KMRTCPSocketServer::_CloseConnection(bool bAbortive_i)
{
    {
        KMRCriticalSection::Owner guard(m_SendLock);
        try
        {
            if (bAbortive_i)
                m_Connection.AbortiveClose();
            else
                m_Connection.Close();
        }
        catch (const KMRException&)
        {
        }
    }
    m_WakeEvent.Set();
}

void KMRTCPSocketServer::Close()
{
    _CloseConnection(false);
}

void KMRTCPSocketServer::AbortiveClose()
{
    _CloseConnection(true);
}

bool KMRTCPSocketServer::_Accept()
{
    for (;;)
    {
        pollfd items[2] = {{m_StopEvent.GetEvent(), POLLIN, 0}, {m_ListenSocket.GetSocket(), POLLIN, 0}};
        if (kmr::platform::PollFor(items, 2, kmr::platform::WAIT_INFINITE) < 0)
            continue;
        if ((items[0].revents & POLLIN) != 0)
            return false;
        int socket = -1;
        try
        {
            socket = m_ListenSocket.Accept();
        }
        catch (const KMRCommException& e)
        {
            // A client that went away between the wait and the accept.
            if (e.GetErrorCode() == 10035 || e.GetErrorCode() == 10053)
                continue;
            throw;
        }
        // While a client is connected the port does not listen: other clients are refused.
        m_ListenSocket.Close();
        // The accepted socket inherits nothing from the listener here; receiving is
        // preceded by a poll, so it stays blocking.
        {
            KMRCriticalSection::Owner guard(m_SendLock);
            m_Connection.Attach(socket);
        }
        m_WakeEvent.Reset();
        return true;
    }
}

void KMRTCPSocketServer::_ServeConnection()
{
    KMRSocket::KMRInternetAddress peer;
    int socket = -1;
    {
        KMRCriticalSection::Owner guard(m_SendLock);
        socket = m_Connection.GetSocket();
        try
        {
            m_Connection.GetPeerAddress(peer);
        }
        catch (const KMRCommException&)
        {
        }
    }
    OnConnectionAccept(m_Connection);
    char text[160];
    std::snprintf(text, sizeof(text), "KMRTCPSocketServer connection has been established with: %x:%d",
                  peer.sin_addr.s_addr, peer.GetPort());
    m_Logger.Info(text);
    try
    {
        for (;;)
        {
            pollfd items[3] = {{m_StopEvent.GetEvent(), POLLIN, 0}, {m_WakeEvent.GetEvent(), POLLIN, 0}, {socket, POLLIN, 0}};
            if (kmr::platform::PollFor(items, 3, kmr::platform::WAIT_INFINITE) < 0)
                continue;
            if ((items[0].revents & POLLIN) != 0)
                break;
            KMRString block;
            int received = 0;
            {
                KMRCriticalSection::Owner guard(m_SendLock);
                // The owner closed the connection (Close, AbortiveClose, SetPort).
                if (m_Connection.GetSocket() != socket)
                    break;
                if ((items[2].revents & (POLLIN | POLLHUP | POLLERR)) == 0)
                    continue;
                received = m_Connection.Receive(block);
            }
            if (received == 0)
            {
                m_Logger.Info("KMRTCPSocketServer connection has been gracefully closed");
                break;
            }
            OnReceive(block);
        }
    }
    catch (const KMRCommException& e)
    {
        char error[96];
        std::snprintf(error, sizeof(error), "KMRCommException in KMRTCPSocketServer. Error:%d",
                      static_cast<int>(e.GetErrorCode()));
        m_Logger.Error(error);
        OnCloseConnection();
        KMRCriticalSection::Owner guard(m_SendLock);
        if (m_Connection.GetSocket() == socket)
        {
            try
            {
                m_Connection.AbortiveClose();
            }
            catch (const KMRException&)
            {
            }
        }
    }
    KMRCriticalSection::Owner guard(m_SendLock);
    if (m_Connection.GetSocket() == socket)
    {
        try
        {
            m_Connection.Close();
        }
        catch (const KMRException&)
        {
        }
    }
}

int32_t KMRTCPSocketServer::Run()
{
    OnServerStart();
    while (!m_StopEvent.Wait(0))
    {
        try
        {
            Listen();
        }
        catch (const KMRCommException& e)
        {
            // The port was taken while a client was served: nothing more can be served.
            char text[KMRException::MAX_DETAILS + 64];
            std::snprintf(text, sizeof(text), "KMRTCPSocketServer cannot listen any more: %s", e.GetDetails());
            m_Logger.Error(text);
            break;
        }
        m_Logger.Info("Listen for incomming connection in KMRTCPSocketServer");
        if (!_Accept())
            break;
        _ServeConnection();
    }
    try
    {
        m_ListenSocket.Close();
    }
    catch (const KMRException&)
    {
    }
    return 1;
}
