// KMRTCPSocket: stream sockets with keep-alive.
#include <KMRComm/KMRTCPSocket.h>

#include "KMRSocketError.h"

#include <netinet/tcp.h>
#include <unistd.h>

#include <cerrno>

int KMRTCPSocket::CreateSocket()
{
    const int socket = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0)
        KMR_SOCKET_THROW("KMRTCPSocket::CreateSocket", "socket", errno);
    const int on = 1;
    const int idleSeconds = 20;
    const int intervalSeconds = 1;
    if (::setsockopt(socket, SOL_SOCKET, SO_KEEPALIVE, &on, sizeof(on)) != 0 ||
        ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof(idleSeconds)) != 0 ||
        ::setsockopt(socket, IPPROTO_TCP, TCP_KEEPINTVL, &intervalSeconds, sizeof(intervalSeconds)) != 0)
    {
        const int error = errno;
        ::close(socket);
        KMR_SOCKET_THROW("KMRTCPSocket::CreateSocket", "setsockopt", error);
    }
    return socket;
}

int KMRTCPSocket::Accept()
{
    for (;;)
    {
        const int socket = ::accept4(m_Socket, nullptr, nullptr, SOCK_CLOEXEC);
        if (socket >= 0)
            return socket;
        if (errno != EINTR)
            KMR_SOCKET_THROW("KMRTCPSocket::Accept", "accept", errno);
    }
}

void KMRTCPSocket::Send(const KMRString& bytes_i)
{
    const char* data = bytes_i.GetString();
    size_t left = static_cast<size_t>(bytes_i.GetLength());
    while (left > 0)
    {
        const ssize_t sent = ::send(m_Socket, data, left, MSG_NOSIGNAL);
        if (sent < 0)
        {
            if (errno == EINTR)
                continue;
            KMR_SOCKET_THROW("KMRTCPSocket::Send", "send", errno);
        }
        data += sent;
        left -= static_cast<size_t>(sent);
    }
}

int KMRTCPSocket::Receive(KMRString& bytes_o)
{
    char buffer[RECEIVE_BLOCK];
    for (;;)
    {
        const ssize_t received = ::recv(m_Socket, buffer, sizeof(buffer), 0);
        if (received >= 0)
        {
            bytes_o = KMRString(buffer, static_cast<int>(received));
            return static_cast<int>(received);
        }
        if (errno != EINTR)
            KMR_SOCKET_THROW("KMRTCPSocket::Receive", "recv", errno);
    }
}
