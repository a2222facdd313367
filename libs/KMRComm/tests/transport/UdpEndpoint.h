// Test helper: a plain UDP socket on the loopback address, as the far end of a test.
#pragma once

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdint>
#include <vector>

namespace kmrtest
{
class UdpEndpoint
{
public:
    UdpEndpoint()
    {
        m_iSocket = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::bind(m_iSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0)
            ADD_FAILURE() << "bind failed";
        socklen_t length = sizeof(address);
        ::getsockname(m_iSocket, reinterpret_cast<sockaddr*>(&address), &length);
        m_usPort = ntohs(address.sin_port);
    }
    ~UdpEndpoint() { ::close(m_iSocket); }
    UdpEndpoint(const UdpEndpoint&) = delete;
    UdpEndpoint& operator=(const UdpEndpoint&) = delete;

    uint16_t Port() const { return m_usPort; }
    int Socket() const { return m_iSocket; }

    void SendTo(uint16_t usPort_i, const std::vector<unsigned char>& bytes_i) const
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(usPort_i);
        ::sendto(m_iSocket, bytes_i.data(), bytes_i.size(), 0, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    }
    // Blocks for the next datagram.
    std::vector<unsigned char> Receive() const
    {
        std::vector<unsigned char> bytes(65536);
        const ssize_t n = ::recv(m_iSocket, bytes.data(), bytes.size(), 0);
        bytes.resize(n > 0 ? static_cast<size_t>(n) : 0);
        return bytes;
    }

private:
    int m_iSocket = -1;
    uint16_t m_usPort = 0;
};
} // namespace kmrtest
