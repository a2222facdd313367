// KMRSimUdpServer: serves the simulated controller on a UDP socket, one telegram per datagram.
#pragma once

#include "KMRSim/KMRSimTransportServer.h"

#include <cstdint>
#include <string>

// Each received datagram is one request frame; the answer goes back to its sender in one
// datagram. Datagrams larger than any request are dropped unread.
// Thread safety: see KMRSimTransportServer; Port may be read from any thread after Start.
class KMRSimUdpServer : public KMRSimTransportServer
{
public:
    explicit KMRSimUdpServer(KMRSimProtocol& protocol_i);
    ~KMRSimUdpServer() override;

    // Binds to ip_i (dotted IPv4) and port_i (0: any free port) and starts serving. Throws
    // KMRException when the address is not valid or the socket cannot be bound.
    void Start(const std::string& ip_i = "127.0.0.1", uint16_t port_i = 0);
    // The bound port; 0 before Start.
    uint16_t Port() const { return m_usPort; }

private:
    void _Run() override;

    KMRSimFd m_fdSocket;
    uint16_t m_usPort = 0;
};
