// KMRSerialCommConfig: the line settings of a serial transmission.
#pragma once

#include <KMRComm/IKMRCommConfig.h>
#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMRSerial.h>

#include <string>

// Port name and line settings; defaults 115200 baud, 8 data bits, no parity, one stop
// bit. A value type: copies carry every field, sniff included.
class KMRComm_API KMRSerialCommConfig : public IKMRCommConfig
{
public:
    KMRSerialCommConfig() = default;
    KMRSerialCommConfig(const KMRSerialCommConfig&) = default;
    KMRSerialCommConfig& operator=(const KMRSerialCommConfig&) = default;
    ~KMRSerialCommConfig() override = default;

    void Release() override { delete this; }

    const std::string& GetCOMPort() const { return m_strCOMPort; }
    void SetCOMPort(const std::string& strCOMPort_i) { m_strCOMPort = strCOMPort_i; }
    KMRSerial::ESerialBaudrate GetBaudrate() const { return m_eBaudrate; }
    void SetBaudrate(KMRSerial::ESerialBaudrate eBaudrate_i) { m_eBaudrate = eBaudrate_i; }
    KMRSerial::ESerialDataBits GetDataBits() const { return m_eDataBits; }
    void SetDataBits(KMRSerial::ESerialDataBits eDataBits_i) { m_eDataBits = eDataBits_i; }
    KMRSerial::ESerialParity GetParity() const { return m_eParity; }
    void SetParity(KMRSerial::ESerialParity eParity_i) { m_eParity = eParity_i; }
    KMRSerial::ESerialStopBits GetStopBits() const { return m_eStopBits; }
    void SetStopBits(KMRSerial::ESerialStopBits eStopBits_i) { m_eStopBits = eStopBits_i; }

private:
    std::string m_strCOMPort;
    KMRSerial::ESerialBaudrate m_eBaudrate = KMRSerial::EBaud115200;
    KMRSerial::ESerialDataBits m_eDataBits = KMRSerial::EData8;
    KMRSerial::ESerialParity m_eParity = KMRSerial::EParNone;
    KMRSerial::ESerialStopBits m_eStopBits = KMRSerial::EStop1;
};
