// KMRServiceCommands: slave address change, software version and the sign test.
#include "KMRServiceCommands.h"

#include <exception>

namespace
{
void Show(IKMRUserInterface& ui_i, const KMRString& text_i, const KMRString& title_i)
{
    ui_i.MessageBox(text_i, title_i, EKMRIcon::Information, EKMRButtons::Ok);
}
} // namespace

void KMRServiceCommands::ShowFailure(IKMRUserInterface& ui_i, const KMRString& title_i)
{
    // Called from a catch block: rethrow to tell the tool's own failures from the rest.
    try
    {
        throw;
    }
    catch (const KMRExceptionBase& e)
    {
        ui_i.MessageBox(e.GetMessage(), title_i, EKMRIcon::Error, EKMRButtons::Ok);
    }
    catch (...)
    {
        ui_i.MessageBox("An unknown error occurred.", title_i, EKMRIcon::Error, EKMRButtons::Ok);
    }
}

bool KMRServiceCommands::CheckConnected()
{
    if (m_rDialog.IsConnected() && m_rDialog.GetEngine() != nullptr)
        return true;
    m_rUI.MessageBox("Please connect to the slave.", "Connection Error", EKMRIcon::Warning, EKMRButtons::Ok);
    return false;
}

bool KMRServiceCommands::SetKelmarCom2Address(uint8_t newAddress_i)
{
    if (!CheckConnected())
        return false;
    KMRFirmwareUploadDlg::Settings& settings = m_rDialog.GetSettings();
    if (newAddress_i == settings.m_ucKC2Address)
    {
        Show(m_rUI, "The new address is the sames as the old one!\n\nNothing will be done.", "Information");
        return false;
    }
    if (_Type() != KMRFirmwareUploadDlg::CONNECTION_SERIAL && _Type() != KMRFirmwareUploadDlg::CONNECTION_UDP)
        return false;
    m_rUI.SetWaitCursor(true);
    try
    {
        m_rDialog.GetEngine()->ChangeSlaveAddress(newAddress_i);
    }
    catch (...)
    {
        m_rUI.SetWaitCursor(false);
        ShowFailure(m_rUI, "Error");
        return false;
    }
    m_rUI.SetWaitCursor(false);
    settings.m_ucKC2Address = newAddress_i;
    m_rUI.ShowKelmarCom2Address(newAddress_i);
    Show(m_rUI, "The new slave address was set successfully.", "Changed slave address");
    return true;
}

void KMRServiceCommands::ReadSoftwareVersion()
{
    if (!CheckConnected())
        return;
    // Over UDP the button does nothing; the version is read on serial lines.
    if (_Type() != KMRFirmwareUploadDlg::CONNECTION_SERIAL)
        return;
    try
    {
        Show(m_rUI, m_rDialog.GetEngine()->ReadSoftwareVersion(), "Firmware Upload");
    }
    catch (...)
    {
        ShowFailure(m_rUI, "Error");
    }
}

bool KMRServiceCommands::StartTest(uint8_t brightness_i)
{
    if (!CheckConnected())
        return false;
    try
    {
        FirmwareUpload& engine = *m_rDialog.GetEngine();
        engine.Test();
        engine.SetSignBrightness(brightness_i);
    }
    catch (...)
    {
        ShowFailure(m_rUI, "Error");
        return false;
    }
    m_bTestRunning = true;
    Show(m_rUI, "The test was started successfully.", "Firmware Upload");
    return true;
}

void KMRServiceCommands::StopTest()
{
    if (!CheckConnected())
        return;
    // A reset ends the sign test; each may fail while the controller restarts.
    for (int i = 0; i < 3; ++i)
    {
        try
        {
            m_rDialog.GetEngine()->ResetController(true);
        }
        catch (...)
        {
        }
    }
    m_bTestRunning = false;
    Show(m_rUI, "The test was stopped successfully.", "Firmware Upload");
}
