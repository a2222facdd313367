// The serial and UDP transmission factories of the upload tool.
#include "KMRSerialTransmissionFactory.h"
#include "KMRUDPTransmissionFactory.h"

#include <KMRComm/KMRSerialTransmission.h>
#include <KMRComm/KMRUDPTransmission.h>

#include <cstdlib>

KMRSerialTransmissionFactory::KMRSerialTransmissionFactory(const KMRString& port_i, uint32_t baudrate_i, int dataBits_i,
                                                           int parity_i, int stopBits_i)
{
    m_Config.SetCOMPort(port_i.ToStdString());
    m_Config.SetBaudrate(static_cast<KMRSerial::ESerialBaudrate>(baudrate_i));
    m_Config.SetDataBits(static_cast<KMRSerial::ESerialDataBits>(dataBits_i));
    m_Config.SetParity(static_cast<KMRSerial::ESerialParity>(parity_i));
    m_Config.SetStopBits(static_cast<KMRSerial::ESerialStopBits>(stopBits_i));
}

KMRTransmission* KMRSerialTransmissionFactory::CreateTransmission(IKMRReceiver* receiver_i,
                                                                  IKMRTelegramFactory* telegramFactory_i)
{
    return new KMRSerialTransmission(m_Config, receiver_i, telegramFactory_i);
}

namespace
{
unsigned short Port(const KMRString& text_i)
{
    return static_cast<unsigned short>(std::strtoul(text_i.GetString(), nullptr, 10));
}
} // namespace

KMRUDPTransmissionFactory::KMRUDPTransmissionFactory(const KMRString& localIP_i, const KMRString& localPort_i,
                                                     const KMRString& remoteIP_i, const KMRString& remotePort_i)
{
    m_Config.SetListeningAddress(localIP_i.ToStdString(), Port(localPort_i));
    m_Config.SetDestinationAddress(remoteIP_i.ToStdString(), Port(remotePort_i));
}

KMRTransmission* KMRUDPTransmissionFactory::CreateTransmission(IKMRReceiver* receiver_i,
                                                               IKMRTelegramFactory* telegramFactory_i)
{
    return new KMRUDPTransmission(m_Config, receiver_i, telegramFactory_i);
}
