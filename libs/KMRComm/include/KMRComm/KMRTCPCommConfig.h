// KMRTCPCommConfig: the listening port of a TCP transmission.
#pragma once

#include <KMRComm/IKMRCommConfig.h>
#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMRSocket.h>

#include <cstdint>

// The port to listen on (0: an ephemeral port) and a destination address that is kept
// but not used by the transmission. A value type.
class KMRComm_API KMRTCPCommConfig : public IKMRCommConfig
{
public:
    KMRTCPCommConfig() = default;
    KMRTCPCommConfig(const KMRTCPCommConfig&) = default;
    KMRTCPCommConfig& operator=(const KMRTCPCommConfig&) = default;
    ~KMRTCPCommConfig() override = default;

    void Release() override { delete this; }
    uint16_t GetPort() const { return m_usPort; }
    void SetPort(uint16_t usPort_i) { m_usPort = usPort_i; }
    KMRSocket::KMRInternetAddress GetDestinationAddress() const { return m_DestinationAddress; }
    void SetDestinationAddress(const KMRSocket::KMRInternetAddress& address_i) { m_DestinationAddress = address_i; }
    // True when the ports agree.
    bool Compare(const KMRTCPCommConfig& other_i) const { return m_usPort == other_i.m_usPort; }

private:
    uint16_t m_usPort = 0;
    KMRSocket::KMRInternetAddress m_DestinationAddress;
};
