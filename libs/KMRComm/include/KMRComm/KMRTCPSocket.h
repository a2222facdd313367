// KMRTCPSocket: the stream socket of the TCP server, with keep-alive.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMRSocket.h>

#include <KMRBase/KMRString.h>

// A TCP socket. Failures throw KMRCommExceptions of the socket type with the socket
// library's error number. Sends use MSG_NOSIGNAL.
// Thread safety: as KMRSocket.
class KMRComm_API KMRTCPSocket : public KMRSocket
{
public:
    static constexpr int RECEIVE_BLOCK = 512;

    KMRTCPSocket() = default;
    explicit KMRTCPSocket(int hSocket_i) : KMRSocket(hSocket_i) {}

    // A new IPv4 stream socket with keep-alive: first probe after 20 000 ms without
    // traffic, then every 1 000 ms. Answers the descriptor.
    static int CreateSocket();
    // Waits for the next incoming connection and answers its descriptor.
    int Accept();
    // Sends the whole byte string.
    void Send(const KMRString& bytes_i);
    // One receive of at most RECEIVE_BLOCK bytes into bytes_o; answers the count, 0 when
    // the far end has closed the connection.
    int Receive(KMRString& bytes_o);
};
