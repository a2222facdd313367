// KMRLEACommConfig: the configuration record of the LEA transmission.
#pragma once

#include <KMRComm/IKMRCommConfig.h>
#include <KMRComm/KMRCommExport.h>

#include <KMRBase/KMRString.h>

#include <cstdint>

// Device number, LEA configuration file and content path, the names of the application's
// trigger and variables, and whether the device is reached over Ethernet. Defaults: 0, empty
// texts, false. A value type; getters return copies. Thread safety: not locked.
class KMRComm_API KMRLEACommConfig : public IKMRCommConfig
{
public:
    KMRLEACommConfig() = default;
    KMRLEACommConfig(const KMRLEACommConfig&) = default;
    KMRLEACommConfig& operator=(const KMRLEACommConfig&) = default;
    ~KMRLEACommConfig() override = default;

    void Release() override { delete this; }

    uint32_t GetDeviceNr() const { return m_uiDeviceNr; }
    void SetDeviceNr(uint32_t deviceNr_i) { m_uiDeviceNr = deviceNr_i; }
    KMRString GetLeaConfigurationFile() const { return m_strLEAConfigurationFile; }
    void SetLEAConfigurationFile(const KMRString& file_i) { m_strLEAConfigurationFile = file_i; }
    KMRString GetLEAContentPath() const { return m_strLEAContentPath; }
    void SetLEAContentPath(const KMRString& path_i) { m_strLEAContentPath = path_i; }
    KMRString GetApplicationTriggerName() const { return m_strApplicationTriggerName; }
    void SetApplicationTriggerName(const KMRString& name_i) { m_strApplicationTriggerName = name_i; }
    KMRString GetLuminosityVariableName() const { return m_strLuminosityVariableName; }
    void SetLuminosityVariableName(const KMRString& name_i) { m_strLuminosityVariableName = name_i; }
    KMRString GetPictureVariableName() const { return m_strPictureVariableName; }
    void SetPictureVariableName(const KMRString& name_i) { m_strPictureVariableName = name_i; }
    KMRString GetTriggerCommTimeoutVariableName() const { return m_strTriggerCommTimeoutVariableName; }
    void SetTriggerCommTimeoutVariableName(const KMRString& name_i) { m_strTriggerCommTimeoutVariableName = name_i; }
    bool GetEthernet() const { return m_bEthernet; }
    void SetEthernet(bool bEthernet_i) { m_bEthernet = bEthernet_i; }

private:
    uint32_t m_uiDeviceNr = 0;
    KMRString m_strLEAConfigurationFile;
    KMRString m_strLEAContentPath;
    KMRString m_strApplicationTriggerName;
    KMRString m_strLuminosityVariableName;
    KMRString m_strPictureVariableName;
    KMRString m_strTriggerCommTimeoutVariableName;
    bool m_bEthernet = false;
};
