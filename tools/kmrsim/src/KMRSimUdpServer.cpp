// KMRSimUdpServer: serves the simulated controller on a UDP socket, one telegram per datagram.
#include "KMRSim/KMRSimUdpServer.h"

#include <KMRBase/KMRException.h>

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

KMRSimUdpServer::KMRSimUdpServer(KMRSimProtocol& protocol_i) : KMRSimTransportServer(protocol_i) {}

KMRSimUdpServer::~KMRSimUdpServer()
{
    Stop();
}

void KMRSimUdpServer::Start(const std::string& ip_i, uint16_t port_i)
{
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port_i);
    if (::inet_pton(AF_INET, ip_i.c_str(), &address.sin_addr) != 1)
    {
        KMR_THROW(KMR_EXC_ARGUMENT, "KMRSimUdpServer::Start", ("not an IPv4 address: " + ip_i).c_str());
    }
    m_fdSocket.Reset(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!m_fdSocket.IsOpen())
    {
        throw KMRException(__FILE__, __LINE__, "KMRSimUdpServer::Start", KMRException::GetWinStatusDetails("socket"),
                           KMRException::GetUserTextFromType(KMR_EXC_OPERATING_SYSTEM_CALL),
                           KMRException::GetTitleFromType(KMR_EXC_OPERATING_SYSTEM_CALL));
    }
    if (::bind(m_fdSocket.Get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0)
    {
        throw KMRException(__FILE__, __LINE__, "KMRSimUdpServer::Start",
                           KMRException::GetWinStatusDetails(("bind " + ip_i + ":" + std::to_string(port_i)).c_str()),
                           KMRException::GetUserTextFromType(KMR_EXC_OPERATING_SYSTEM_CALL),
                           KMRException::GetTitleFromType(KMR_EXC_OPERATING_SYSTEM_CALL));
    }
    socklen_t length = sizeof(address);
    ::getsockname(m_fdSocket.Get(), reinterpret_cast<sockaddr*>(&address), &length);
    m_usPort = ntohs(address.sin_port);
    _StartThread();
}

void KMRSimUdpServer::_Run()
{
    // Room for the largest request (263 bytes) and more, so an oversized datagram is seen
    // as truncated rather than cut into a valid-looking frame.
    uint8_t buffer[1024];
    while (_Wait(m_fdSocket.Get(), POLLIN))
    {
        sockaddr_in sender{};
        iovec vector{buffer, sizeof(buffer)};
        msghdr message{};
        message.msg_name = &sender;
        message.msg_namelen = sizeof(sender);
        message.msg_iov = &vector;
        message.msg_iovlen = 1;
        const ssize_t received = ::recvmsg(m_fdSocket.Get(), &message, MSG_TRUNC);
        if (received < 0)
        {
            if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
            {
                // ICMP errors of earlier answers (ECONNREFUSED) land here: nothing to do.
                _Log(std::string("udp receive: ") + std::strerror(errno));
            }
            continue;
        }
        if ((message.msg_flags & MSG_TRUNC) != 0)
        {
            _Log("udp: oversized datagram of " + std::to_string(received) + " bytes dropped");
            continue;
        }
        const auto answer = m_protocol.Process(buffer, static_cast<std::size_t>(received));
        if (!answer)
        {
            continue;
        }
        if (!_Pause(m_protocol.GetDelayMs()))
        {
            return;
        }
        if (::sendto(m_fdSocket.Get(), answer->data(), answer->size(), MSG_NOSIGNAL,
                     reinterpret_cast<const sockaddr*>(&sender), message.msg_namelen) < 0)
        {
            _Log(std::string("udp send: ") + std::strerror(errno));
        }
    }
}
