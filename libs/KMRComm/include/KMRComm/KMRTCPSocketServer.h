// KMRTCPSocketServer: a thread that serves one TCP client at a time on one port.
#pragma once

#include <KMRComm/IKMRTCPSocketServer.h>
#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMREvent.h>
#include <KMRComm/KMRTCPSocket.h>
#include <KMRComm/KMRThread.h>
#include <KMRComm/KMRUsesWinsocket.h>

#include <KMRBase/KMRCriticalSection.h>
#include <KMRLogging/KMRLogger.h>

#include <atomic>
#include <cstdint>

// Listens on one port, accepts one client, hands every received block (at most 512
// bytes, as one receive delivered it) to OnReceive, and listens again when the client
// has gone. While a client is connected the port is not listening, so other clients
// are refused. Listen() binds the port on the caller's thread, so that a port in use
// is reported to the caller; Stop() ends the thread.
// Thread safety: Send, Close and AbortiveClose may be called from any thread (one send
// at a time); the notifications run on the server thread.
class KMRComm_API KMRTCPSocketServer : public KMRUsesWinsocket, public KMRThread, public IKMRTCPSocketServer
{
public:
    explicit KMRTCPSocketServer(uint16_t usPort_i);
    // Stops the thread.
    ~KMRTCPSocketServer() override;

    int32_t Run() override;
    // Drop the current client gracefully or abortively; errors are swallowed. The server
    // listens again afterwards.
    virtual void Close();
    virtual void AbortiveClose();

    // Sends to the current client; without one, throws the KMRCommException of
    // KMRTCPSocket::Send.
    void Send(const KMRString& bytes_i) override;
    // Close(), then listen on this port from the next listening round on.
    void SetPort(uint16_t usPort_i);
    // Creates the listening socket now (address reuse on). Throws KMRCommException when
    // the port cannot be bound.
    void Listen();
    // The port in use (the bound one when 0 was asked for).
    uint16_t GetListeningPort() const;
    // Ends the server thread (closing the client) and waits for it.
    void Stop();

protected:
    virtual void OnServerStart() {}
    virtual void OnConnectionAccept(KMRTCPSocket& socket_i) {}
    virtual void OnReceive(const KMRString& bytes_i) {}
    virtual void OnCloseConnection() {}

private:
    void _ServeConnection();
    bool _Accept();
    void _CloseConnection(bool bAbortive_i);

    KMRCriticalSection m_SendLock;
    KMRManualResetEvent m_StopEvent;
    KMRTCPSocket m_Connection;
    uint16_t m_usPort;
    KMRLogger m_Logger;
    KMRTCPSocket m_ListenSocket;
    // Wakes the server thread when the owner closed the connection.
    KMRAutoResetEvent m_WakeEvent;
    std::atomic<uint16_t> m_usBoundPort;
};
