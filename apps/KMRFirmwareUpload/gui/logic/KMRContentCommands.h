// KMRContentCommands: the content dialog's buttons (upload, delete, activate, download, brightness) without a toolkit.
#pragma once

#include "IKMRUserInterface.h"
#include "KMRUploadFileDlg.h"

#include <cstdint>

// Works on the content logic and its engine; every outcome reaches the user through the
// interface. A transfer that did not happen is never reported as done.
class KMRContentCommands
{
public:
    static constexpr const char* FILE_FILTER =
        "all files (*.*)|*.*|KL4700 configuration file(*.kl4700)|*.kl4700|Bitmap file(*.bmp)|*.bmp|"
        "KL4700 font file (*.FFO)|*.FFO|KL4700 content-ID file (*.CID)|*.CID||";
    static constexpr const char* MULTI_FILE_FILTER =
        "All files (*.*)|*.*|KL4700 configuration file(*.kl4700)|*.kl4700|Bitmap file(*.bmp)|*.bmp|"
        "KL4700 font file (*.FFO)|*.FFO|KL4700 content-ID file (*.CID)|*.CID||";

    KMRContentCommands(KMRUploadFileDlg& logic_i, FirmwareUpload& engine_i, IKMRUserInterface& ui_i)
        : m_rLogic(logic_i), m_rEngine(engine_i), m_rUI(ui_i)
    {
    }

    // "Upload CID" with the content ID field's text; true when everything was uploaded.
    bool Upload(const KMRString& cidText_i);
    // "Delete CID"; true when the controller confirmed.
    bool Delete(const KMRString& cidText_i);
    // "Activate" with the activate field's text.
    bool Activate(const KMRString& cidText_i);
    // "Download CID": asks for the target file; true when the file was written.
    bool Download(const KMRString& cidText_i);
    // The brightness slider was released.
    bool SetBrightness(uint8_t percent_i);

    // The content ID a picked file goes to: its base name read as hexadecimal.
    static uint32_t CidFromFileName(const KMRString& path_i);

private:
    KMRUploadFileDlg& m_rLogic;
    FirmwareUpload& m_rEngine;
    IKMRUserInterface& m_rUI;
};
