// KMRUpdateProcedure: the interactive firmware update behind "Start Update" for serial and UDP lines.
#pragma once

#include "IKMRUserInterface.h"
#include "KMRFirmwareUploadDlg.h"

#include <cstdint>

// Runs the whole update on the connected engine: temperature gate, enable and reset into
// the loader, the image transfer, the reset back into user mode, formatting, the clock and
// the controller's own address. Every message goes through the user interface; the pauses
// go through KMRPause. Runs on the worker thread of the dialog.
class KMRUpdateProcedure
{
public:
    static constexpr int32_t MIN_TEMPERATURE = 1;
    static constexpr int32_t MAX_TEMPERATURE = 83;

    KMRUpdateProcedure(KMRFirmwareUploadDlg& dialog_i, IKMRUserInterface& ui_i) : m_rDialog(dialog_i), m_rUI(ui_i) {}

    // True only when the image was transferred and the controller came back.
    bool Run();

    // Asks or refuses by the controller's temperature; true: go on with the update.
    bool TemperatureGate(FirmwareUpload& engine_i);

private:
    bool _Update(FirmwareUpload& engine_i);
    void _Error(const KMRString& text_i, EKMRIcon icon_i);

    KMRFirmwareUploadDlg& m_rDialog;
    IKMRUserInterface& m_rUI;
};
