// KMRSocketPeer: a thread that receives UDP datagrams and hands each one to OnReceiveData.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMREvent.h>
#include <KMRComm/KMRSocket.h>
#include <KMRComm/KMRThread.h>
#include <KMRComm/KMRUsesWinsocket.h>

#include <KMRBase/KMRCriticalSection.h>
#include <KMRLogging/KMRLogger.h>

#include <cstdint>
#include <mutex>

// Receives datagrams (at most MAX_DATAGRAM bytes) on a listening socket on its own
// thread ("SocketPeer") and calls OnReceiveData for each; can send from the listening
// socket or a separate sending socket. A longer datagram is not delivered: it is logged
// as an error (10040) and reception goes on. The owner starts the thread with Start()
// after StartAcceptingConnections and stops it for good with WaitForShutdownToComplete;
// the destructor closes the sockets but does not stop the thread.
// Thread safety: the start/stop operations and SendTo are called by the owner's
// threads; the notifications and OnReceiveData run on the peer thread.
class KMRComm_API KMRSocketPeer : public KMRThread, public KMRUsesWinsocket
{
public:
    static constexpr int MAX_DATAGRAM = 8192;

    ~KMRSocketPeer() override;
    int32_t Run() override;

    // Stores the address, then StartAcceptingConnections().
    void StartAcceptingConnections(const KMRSocket::KMRInternetAddress& address_i);
    void StartAcceptingConnections(uint32_t ulAddress_i, uint16_t usPort_i);
    // Creates and binds the listening socket unless one exists; throws KMRCommException
    // when it cannot be bound.
    void StartAcceptingConnections();
    // Closes the listening socket; the thread idles until accepting starts again.
    void StopAcceptingConnections();
    // Creates a sending socket bound to the local address and records the destination.
    void StartSending(uint32_t ulLocalAddress_i, uint16_t usLocalPort_i, uint32_t ulDestAddress_i,
                      uint16_t usDestPort_i);
    void StartSending(uint32_t ulDestAddress_i, uint16_t usDestPort_i);
    void StopSending();
    // Wakes the thread as if data had arrived.
    void SignalReadEvent();
    // Stops accepting and lets the thread end (after OnShutdownComplete).
    void InitiateShutdown();
    // InitiateShutdown, then waits for the thread (when it was started).
    void WaitForShutdownToComplete();

    // The bound local address of the listening socket (port 0 binds an ephemeral port).
    KMRSocket::KMRInternetAddress GetListeningAddress() const;

protected:
    KMRSocketPeer();
    KMRSocketPeer(uint32_t ulAddress_i, uint16_t usPort_i);
    KMRSocketPeer(const char* szAddress_i, uint16_t usPort_i);
    explicit KMRSocketPeer(const KMRSocket::KMRInternetAddress& address_i);

    virtual void OnStartAcceptingConnections() {}
    virtual void OnStopAcceptingConnections() {}
    virtual void OnStartSending() {}
    virtual void OnStopSending() {}
    // One received datagram.
    virtual void OnReceiveData(const unsigned char* pData_i, int32_t iLength_i) = 0;
    virtual void OnShutdownInitiated() {}
    virtual void OnShutdownComplete() {}
    virtual void OnError(const char* szText_i) {}
    // Socket factories; each answers a descriptor.
    virtual int CreateListeningUDPSocket(const KMRSocket::KMRInternetAddress& address_i);
    virtual int CreateListeningUDPSocket(uint32_t ulAddress_i, uint16_t usPort_i);
    virtual int CreateSendingUDPSocket(uint32_t ulAddress_i, uint16_t usPort_i);
    // A new IPv4 datagram socket; throws KMRWin32Exception when the system refuses one.
    static int CreateUDPSocket();

    // Sends one datagram through the sending socket, else the listening socket; throws
    // KMRException "No socket initialized" with neither.
    int SendTo(const KMRSocket::KMRInternetAddress& address_i, const void* pData_i, size_t iSize_i);

    // The sender of the last datagram received. TakeSenderAddress answers it and clears
    // it in one step, so that a reply never goes to a half-written address.
    KMRSocket::KMRInternetAddress GetSenderAddress() const;
    KMRSocket::KMRInternetAddress TakeSenderAddress();

    KMRCriticalSection m_CriticalSection;
    KMRSocket::KMRInternetAddress m_ListenAddress;
    KMRSocket::KMRInternetAddress m_DestinationAddress;
    uint32_t m_ulListenAddress;
    uint16_t m_usListenPort;
    uint32_t m_ulDestAddress;
    uint16_t m_usDestPort;
    uint32_t m_ulSendAddress;
    uint16_t m_usSendPort;

private:
    // One round of the receiving loop; false to go back to waiting for accepting.
    bool _ReceiveOnce();

    KMRLogger m_PeerLogger;
    KMRSocket::KMRInternetAddress m_SenderAddress;
    mutable std::mutex m_SenderLock;
    // Guards the descriptors of both sockets between the peer thread and the owner.
    mutable std::mutex m_SocketLock;
    KMRSocket m_ListenSocket;
    KMRSocket m_SendSocket;
    KMRManualResetEvent m_ShutdownEvent;
    KMRManualResetEvent m_ReadEvent;
    KMRManualResetEvent m_AcceptEvent;
    KMRManualResetEvent m_StopAcceptEvent;
};
