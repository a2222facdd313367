// KMRUDPTransmissionFactory: builds UDP transmissions between two fixed addresses.
#pragma once

#include "IKMRTransmissionFactory.h"

#include <KMRComm/KMRUDPCommConfig.h>

#include <KMRBase/KMRString.h>

// Holds the listening and destination addresses of a UDP connection to a controller.
class KMRUDPTransmissionFactory : public IKMRTransmissionFactory
{
public:
    // Ports as decimal text, stored in 16 bits; an empty address means any local address.
    // Throws when an address is not dotted decimal.
    KMRUDPTransmissionFactory(const KMRString& localIP_i, const KMRString& localPort_i, const KMRString& remoteIP_i,
                              const KMRString& remotePort_i);
    KMRTransmission* CreateTransmission(IKMRReceiver* receiver_i, IKMRTelegramFactory* telegramFactory_i) override;
    const KMRUDPCommConfig& GetConfig() const { return m_Config; }

private:
    KMRUDPCommConfig m_Config;
};
