// KMRSerialTransmissionFactory: builds serial transmissions with fixed line settings.
#pragma once

#include "IKMRTransmissionFactory.h"

#include <KMRComm/KMRSerialCommConfig.h>

#include <KMRBase/KMRString.h>

#include <cstdint>

// Holds the line settings of a direct serial connection to a controller.
class KMRSerialTransmissionFactory : public IKMRTransmissionFactory
{
public:
    static constexpr int NO_PARITY = 0;
    static constexpr int ONE_STOP_BIT = 0;

    // port_i: "COMn" or a device path; parity_i and stopBits_i in the line-setting codes (0 = none / one).
    KMRSerialTransmissionFactory(const KMRString& port_i, uint32_t baudrate_i, int dataBits_i, int parity_i,
                                 int stopBits_i);
    KMRTransmission* CreateTransmission(IKMRReceiver* receiver_i, IKMRTelegramFactory* telegramFactory_i) override;
    const KMRSerialCommConfig& GetConfig() const { return m_Config; }

private:
    KMRSerialCommConfig m_Config;
};
