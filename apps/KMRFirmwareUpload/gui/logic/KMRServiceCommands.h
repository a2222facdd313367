// KMRServiceCommands: the main dialog's service buttons (address, version, sign test) without a toolkit.
#pragma once

#include "IKMRUserInterface.h"
#include "KMRFirmwareUploadDlg.h"

#include <cstdint>

// Each operation checks the connection, runs the engine operation and tells the user the
// outcome through the interface. Failures never leave a success message behind.
class KMRServiceCommands
{
public:
    KMRServiceCommands(KMRFirmwareUploadDlg& dialog_i, IKMRUserInterface& ui_i) : m_rDialog(dialog_i), m_rUI(ui_i) {}

    // Shows "Please connect to the slave." when no connection is open.
    bool CheckConnected();

    // "Set KelmarCom2 Address": true when the controller took the new address.
    bool SetKelmarCom2Address(uint8_t newAddress_i);
    // "Get SW-Version": shows the version on serial lines; nothing over UDP.
    void ReadSoftwareVersion();
    // "Start Test" with the brightness chosen by the user; true when the test runs.
    bool StartTest(uint8_t brightness_i);
    // "Stop Test": resets the controller to end the test.
    void StopTest();
    bool IsTestRunning() const { return m_bTestRunning; }

    // Shows the failure of an operation: the exception's text or "An unknown error occurred.".
    static void ShowFailure(IKMRUserInterface& ui_i, const KMRString& title_i);

private:
    KMRFirmwareUploadDlg::EConnectionType _Type() const { return m_rDialog.GetSettings().m_eConnectionType; }

    KMRFirmwareUploadDlg& m_rDialog;
    IKMRUserInterface& m_rUI;
    bool m_bTestRunning = false;
};
