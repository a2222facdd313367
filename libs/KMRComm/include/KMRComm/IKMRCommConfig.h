// IKMRCommConfig: the common base of the transport configurations.
#pragma once

#include <KMRComm/KMRCommExport.h>

// A transport configuration. It carries the initial sniff setting, which the UDP and
// TCP transmissions take over (the serial transmission does not).
class KMRComm_API IKMRCommConfig
{
public:
    // Slot 0: destroys the object.
    virtual void Release() = 0;
    // Slot 1.
    virtual ~IKMRCommConfig() = default;

    bool GetSniff() const { return m_bSniff; }
    void SetSniff(bool bSniff_i) { m_bSniff = bSniff_i; }

protected:
    IKMRCommConfig() = default;
    IKMRCommConfig(const IKMRCommConfig&) = default;
    IKMRCommConfig& operator=(const IKMRCommConfig&) = default;

    bool m_bSniff = false;
};
