// KMRSocket: one owned socket descriptor whose failing calls throw, and its IPv4 address.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <netinet/in.h>
#include <sys/socket.h>

#include <cstddef>
#include <cstdint>

// Owns one socket descriptor (-1: none). Every failing call throws a KMRCommException
// of the socket type whose error code is the socket library's number (10054 for a reset
// connection, 10040 for a datagram longer than the buffer, ...) and whose details end
// in the system's description. Every send uses MSG_NOSIGNAL, so a closed peer never
// raises SIGPIPE. Not copyable; the destructor closes abortively and swallows errors.
// Thread safety: one object is used by one thread at a time.
class KMRComm_API KMRSocket
{
public:
    // An IPv4 socket address: exactly the 16 bytes of sockaddr_in (family, port and
    // address in network byte order, 8 zero bytes). Accessors work in host order.
    class KMRComm_API KMRInternetAddress : public sockaddr_in
    {
    public:
        KMRInternetAddress();
        // Any local address with that port.
        explicit KMRInternetAddress(uint16_t usPort_i);
        KMRInternetAddress(uint32_t ulAddress_i, uint16_t usPort_i);
        // Dotted decimal; throws KMRException "Cannot convert IP Address" for other text.
        KMRInternetAddress(const char* szAddress_i, uint16_t usPort_i);
        KMRInternetAddress(const KMRInternetAddress&) = default;
        KMRInternetAddress& operator=(const KMRInternetAddress&) = default;

        void Clear();
        static int GetSize() { return sizeof(sockaddr_in); }
        uint16_t GetPort() const;
        uint32_t GetIPAddr() const;
        bool operator==(const KMRInternetAddress& other_i) const
        {
            return GetIPAddr() == other_i.GetIPAddr() && GetPort() == other_i.GetPort();
        }

        // Dotted decimal to a host-order address. 255.255.255.255 is refused too.
        static uint32_t ConvertIPAddress(const char* szAddress_i);
        // The first IPv4 address of the local host name, as dotted decimal in at most
        // size_i characters (terminator included), or as a host-order number.
        static void ObtainHostIPAddress(char* szBuffer_o, size_t size_i);
        static void ObtainHostIPAddress(uint32_t& ulAddress_o);
    };

    KMRSocket();
    // Takes the descriptor; -1 throws KMRCommException "Invalid socket".
    explicit KMRSocket(int hSocket_i);
    ~KMRSocket();
    KMRSocket(const KMRSocket&) = delete;
    KMRSocket& operator=(const KMRSocket&) = delete;

    bool IsValid() const { return m_Socket >= 0; }
    int GetSocket() const { return m_Socket; }
    // Takes the descriptor; a socket already held is first closed abortively.
    void Attach(int hSocket_i);
    // Answers the descriptor and forgets it.
    int Detach();

    void Close();
    // Closes so that a connection is reset rather than shut down gracefully.
    void AbortiveClose();
    void Shutdown(int iHow_i);
    void Listen(int iBacklog_i);
    void Bind(const KMRInternetAddress& Address_i);
    void Bind(const sockaddr& Address_i, size_t AddressLength_i);
    // Makes the socket non-blocking for an event-driven receiver (lNetworkEvents_i != 0)
    // or blocking again (0). The receiver waits for the descriptor itself with poll;
    // hEventObject_i is not bound to the socket on this platform.
    void EventSelect(int hEventObject_i, long lNetworkEvents_i);
    void SetSockOpt(int iLevel_i, int iOptName_i, const void* pOptVal_i, socklen_t iOptLen_i);

    // One datagram; answers the bytes sent.
    int SendTo(const KMRInternetAddress& Address_i, const void* pData_i, size_t iSize_i);
    // One datagram into the buffer. A datagram longer than the buffer is consumed and
    // refused with 10040; a reset reported by an earlier datagram is skipped.
    int ReceiveFrom(void* pBuffer_o, size_t iSize_i);
    int ReceiveFrom(void* pBuffer_o, size_t iSize_i, KMRInternetAddress& senderAddress_o);

    void GetPeerAddress(KMRInternetAddress& Address_o) const;
    void GetSocketAddress(KMRInternetAddress& Address_o) const;

protected:
    int m_Socket;
};
