// KMRSocket on BSD sockets; KMRInternetAddress over sockaddr_in.
#include <KMRComm/KMRSocket.h>

#include "KMRSocketError.h"

#include <KMRBase/KMRException.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <sys/uio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

using KMRInternetAddress = KMRSocket::KMRInternetAddress;

KMRInternetAddress::KMRInternetAddress()
{
    Clear();
}

KMRInternetAddress::KMRInternetAddress(uint16_t usPort_i) : KMRInternetAddress(INADDR_ANY, usPort_i) {}

KMRInternetAddress::KMRInternetAddress(uint32_t ulAddress_i, uint16_t usPort_i)
{
    Clear();
    sin_family = AF_INET;
    sin_port = htons(usPort_i);
    sin_addr.s_addr = htonl(ulAddress_i);
}

KMRInternetAddress::KMRInternetAddress(const char* szAddress_i, uint16_t usPort_i)
    : KMRInternetAddress(ConvertIPAddress(szAddress_i), usPort_i)
{
}

void KMRInternetAddress::Clear()
{
    std::memset(static_cast<sockaddr_in*>(this), 0, sizeof(sockaddr_in));
}

uint16_t KMRInternetAddress::GetPort() const
{
    return ntohs(sin_port);
}

uint32_t KMRInternetAddress::GetIPAddr() const
{
    return ntohl(sin_addr.s_addr);
}

uint32_t KMRInternetAddress::ConvertIPAddress(const char* szAddress_i)
{
    in_addr address{};
    // Strict dotted decimal; the broadcast address is the old conversion's failure mark.
    if (szAddress_i == nullptr || ::inet_pton(AF_INET, szAddress_i, &address) != 1 ||
        address.s_addr == INADDR_NONE)
        KMR_THROW(KMR_EXC_ARGUMENT, "KMRSocket::KMRInternetAddress::GetIPAddress() - inet_addr",
                  "Cannot convert IP Address");
    return ntohl(address.s_addr);
}

void KMRInternetAddress::ObtainHostIPAddress(uint32_t& ulAddress_o)
{
    char host[256] = {};
    if (::gethostname(host, sizeof(host)) != 0)
        KMR_SOCKET_THROW("KMRSocket::KMRInternetAddress::ObtainHostIPAddress", "gethostname(localhost, sizeof(localhost))",
                         errno);
    addrinfo hints{};
    hints.ai_family = AF_INET;
    addrinfo* found = nullptr;
    if (::getaddrinfo(host, nullptr, &hints, &found) != 0 || found == nullptr ||
        found->ai_addrlen < sizeof(sockaddr_in))
    {
        if (found != nullptr)
            ::freeaddrinfo(found);
        KMR_COMM_THROW(KMR_COMM_EXC_SOCKET, "KMRSocket::KMRInternetAddress::ObtainHostIPAddress",
                       "Unable to determine host information.");
    }
    ulAddress_o = ntohl(reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr.s_addr);
    ::freeaddrinfo(found);
}

void KMRInternetAddress::ObtainHostIPAddress(char* szBuffer_o, size_t size_i)
{
    uint32_t address = 0;
    ObtainHostIPAddress(address);
    if (szBuffer_o == nullptr || size_i == 0)
        return;
    in_addr network{htonl(address)};
    char text[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &network, text, sizeof(text));
    std::strncpy(szBuffer_o, text, size_i - 1);
    szBuffer_o[size_i - 1] = '\0';
}

KMRSocket::KMRSocket() : m_Socket(-1) {}

KMRSocket::KMRSocket(int hSocket_i) : m_Socket(hSocket_i)
{
    if (hSocket_i < 0)
        KMR_COMM_THROW(KMR_COMM_EXC_SOCKET, "KMRSocket::KMRSocket", "Invalid socket");
}

KMRSocket::~KMRSocket()
{
    try
    {
        if (IsValid())
            AbortiveClose();
    }
    catch (...)
    {
        if (m_Socket >= 0)
            ::close(m_Socket);
    }
}

void KMRSocket::Attach(int hSocket_i)
{
    if (IsValid())
    {
        try
        {
            AbortiveClose();
        }
        catch (...)
        {
            ::close(m_Socket);
        }
    }
    m_Socket = hSocket_i;
}

int KMRSocket::Detach()
{
    const int socket = m_Socket;
    m_Socket = -1;
    return socket;
}

void KMRSocket::Close()
{
    if (!IsValid())
        return;
    const int socket = Detach();
    // Linux releases the descriptor even when close reports an error.
    if (::close(socket) != 0 && errno != EINTR)
        KMR_SOCKET_THROW("KMRSocket::Close", "::closesocket(m_Socket)", errno);
}

void KMRSocket::AbortiveClose()
{
    if (!IsValid())
        return;
    const linger lingerStruct{1, 0};
    if (::setsockopt(m_Socket, SOL_SOCKET, SO_LINGER, &lingerStruct, sizeof(lingerStruct)) != 0)
    {
        const int error = errno;
        ::close(Detach());
        KMR_SOCKET_THROW("KMRSocket::AbortiveClose",
                         "::setsockopt(m_Socket, SOL_SOCKET, SO_LINGER, (char *)&lingerStruct, sizeof(lingerStruct))",
                         error);
    }
    Close();
}

void KMRSocket::Shutdown(int iHow_i)
{
    if (::shutdown(m_Socket, iHow_i) != 0)
        KMR_SOCKET_THROW("KMRSocket::Shutdown", "::shutdown(m_Socket, iHow_i)", errno);
}

void KMRSocket::Listen(int iBacklog_i)
{
    if (::listen(m_Socket, iBacklog_i) != 0)
        KMR_SOCKET_THROW("KMRSocket::Listen", "::listen(m_Socket, iBacklog_i)", errno);
}

void KMRSocket::Bind(const KMRInternetAddress& Address_i)
{
    if (::bind(m_Socket, reinterpret_cast<const sockaddr*>(static_cast<const sockaddr_in*>(&Address_i)),
               sizeof(sockaddr_in)) != 0)
        KMR_SOCKET_THROW("KMRSocket::Bind",
                         "::bind(m_Socket, reinterpret_cast<struct sockaddr *>(const_cast<SOCKADDR_IN*>(&Address_i)), "
                         "sizeof(SOCKADDR_IN))",
                         errno);
}

void KMRSocket::Bind(const sockaddr& Address_i, size_t AddressLength_i)
{
    if (::bind(m_Socket, &Address_i, static_cast<socklen_t>(AddressLength_i)) != 0)
        KMR_SOCKET_THROW("KMRSocket::Bind",
                         "::bind(m_Socket, const_cast<struct sockaddr *>(&Address_i), (int)AddressLength_i)", errno);
}

void KMRSocket::EventSelect(int, long lNetworkEvents_i)
{
    const int flags = ::fcntl(m_Socket, F_GETFL);
    if (flags < 0 ||
        ::fcntl(m_Socket, F_SETFL, lNetworkEvents_i != 0 ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK)) != 0)
        KMR_SOCKET_THROW("KMRSocket::EventSelect", "WSAEventSelect(m_Socket, hEventObject_i, lNetworkEvents_i)", errno);
}

void KMRSocket::SetSockOpt(int iLevel_i, int iOptName_i, const void* pOptVal_i, socklen_t iOptLen_i)
{
    if (::setsockopt(m_Socket, iLevel_i, iOptName_i, pOptVal_i, iOptLen_i) != 0)
        KMR_SOCKET_THROW("KMRSocket::SetSockOpt", "::setsockopt (m_Socket, iLevel_i, iOptName_i, pOptVal_i, iOptLen_i)",
                         errno);
}

int KMRSocket::SendTo(const KMRInternetAddress& Address_i, const void* pData_i, size_t iSize_i)
{
    for (;;)
    {
        const ssize_t sent =
            ::sendto(m_Socket, pData_i, iSize_i, MSG_NOSIGNAL,
                     reinterpret_cast<const sockaddr*>(static_cast<const sockaddr_in*>(&Address_i)), sizeof(sockaddr_in));
        if (sent >= 0)
            return static_cast<int>(sent);
        if (errno != EINTR)
            KMR_SOCKET_THROW("KMRSocket::SendTo", "iRet", errno);
    }
}

int KMRSocket::ReceiveFrom(void* pBuffer_o, size_t iSize_i)
{
    KMRInternetAddress sender;
    return ReceiveFrom(pBuffer_o, iSize_i, sender);
}

int KMRSocket::ReceiveFrom(void* pBuffer_o, size_t iSize_i, KMRInternetAddress& senderAddress_o)
{
    for (;;)
    {
        KMRInternetAddress sender;
        iovec part{pBuffer_o, iSize_i};
        msghdr message{};
        message.msg_name = static_cast<sockaddr_in*>(&sender);
        message.msg_namelen = sizeof(sockaddr_in);
        message.msg_iov = &part;
        message.msg_iovlen = 1;
        // MSG_TRUNC answers the datagram's real length, so a cut datagram is noticed.
        const ssize_t received = ::recvmsg(m_Socket, &message, MSG_TRUNC);
        if (received < 0)
        {
            // A datagram refused by the far end is reported on a later receive: skip it.
            if (errno == EINTR || errno == ECONNREFUSED || errno == ECONNRESET)
                continue;
            KMR_SOCKET_THROW("KMRSocket::ReceiveFrom", "iRecv", errno);
        }
        senderAddress_o = sender;
        if (static_cast<size_t>(received) > iSize_i || (message.msg_flags & MSG_TRUNC) != 0)
            KMR_SOCKET_THROW("KMRSocket::ReceiveFrom", "iRecv", EMSGSIZE);
        return static_cast<int>(received);
    }
}

void KMRSocket::GetPeerAddress(KMRInternetAddress& Address_o) const
{
    socklen_t length = sizeof(sockaddr_in);
    if (::getpeername(m_Socket, reinterpret_cast<sockaddr*>(static_cast<sockaddr_in*>(&Address_o)), &length) != 0)
        KMR_SOCKET_THROW("KMRSocket::GetPeerAddress", "iRet", errno);
}

void KMRSocket::GetSocketAddress(KMRInternetAddress& Address_o) const
{
    socklen_t length = sizeof(sockaddr_in);
    if (::getsockname(m_Socket, reinterpret_cast<sockaddr*>(static_cast<sockaddr_in*>(&Address_o)), &length) != 0)
        KMR_SOCKET_THROW("KMRSocket::GetSocketAddress", "iRet", errno);
}
