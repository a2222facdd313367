// IKMRTransmissionFactory: builds the transmission of one connection type.
#pragma once

class KMRTransmission;
class IKMRReceiver;
class IKMRTelegramFactory;

// Implementations hold the connection settings (serial port, UDP addresses, ...).
class IKMRTransmissionFactory
{
public:
    // A new transmission delivering to receiver_i and parsing with telegramFactory_i;
    // the caller owns it (give it back with Release()).
    virtual KMRTransmission* CreateTransmission(IKMRReceiver* receiver_i, IKMRTelegramFactory* telegramFactory_i) = 0;
    virtual ~IKMRTransmissionFactory() = default;
};
