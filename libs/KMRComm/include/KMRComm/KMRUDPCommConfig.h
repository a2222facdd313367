// KMRUDPCommConfig: the listening and destination addresses of a UDP transmission.
#pragma once

#include <KMRComm/IKMRCommConfig.h>
#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMRSocket.h>

#include <string>

// Both addresses default to all zero: any local address on an ephemeral port, and no
// destination (answers go to the sender of the last datagram). A value type.
class KMRComm_API KMRUDPCommConfig : public IKMRCommConfig
{
public:
    KMRUDPCommConfig() = default;
    KMRUDPCommConfig(const KMRUDPCommConfig&) = default;
    KMRUDPCommConfig& operator=(const KMRUDPCommConfig&) = default;
    ~KMRUDPCommConfig() override = default;

    void Release() override { delete this; }

    // An empty text means any address; other text must be dotted decimal (throws
    // KMRException "Cannot convert IP Address" otherwise).
    void SetListeningAddress(const std::string& strAddress_i, uint16_t usPort_i);
    void SetDestinationAddress(const std::string& strAddress_i, uint16_t usPort_i);
    KMRSocket::KMRInternetAddress GetListeningAddress() const { return m_ListeningAddress; }
    KMRSocket::KMRInternetAddress GetDestinationAddress() const { return m_DestinationAddress; }
    // True when both addresses agree in address and port.
    bool Compare(const KMRUDPCommConfig& other_i) const;

private:
    KMRSocket::KMRInternetAddress m_ListeningAddress;
    KMRSocket::KMRInternetAddress m_DestinationAddress;
};
