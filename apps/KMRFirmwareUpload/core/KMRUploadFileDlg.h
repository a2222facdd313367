// KMRUploadFileDlg: the content dialog's logic without a toolkit: single files and upload scripts.
#pragma once

#include "FirmwareUpload.h"
#include "IKMRUserInterface.h"

#include <KMRBase/KMRString.h>

#include <cstdint>

// Uploads files by their extension, runs upload scripts (with or without questions)
// through the engine of the open connection, and converts the script's numbers.
// Thread safety: one thread runs every operation.
class KMRUploadFileDlg
{
public:
    // One item of an upload script.
    struct ScriptFileStruc
    {
        uint8_t m_ucFunction = 0;
        KMRString m_strFileName;
        uint32_t m_ulContentID = 0;
        bool m_bDeleteBeforeUpload = false;
        uint8_t m_ucFileFormat = 0;
    };

    explicit KMRUploadFileDlg(IKMRUserInterface& ui_i) : m_rUI(ui_i) {}

    void SetFirmwareUploader(FirmwareUpload* engine_i) { m_pEngine = engine_i; }
    // The chosen file and sign type (0: none chosen; 1, 4 or 8).
    void SetFilePath(const KMRString& path_i) { m_strFilePath = path_i; }
    const KMRString& GetFilePath() const { return m_strFilePath; }
    void SetSignType(uint8_t signType_i) { m_ucSignType = signType_i; }
    uint8_t GetSignType() const { return m_ucSignType; }

    // Uploads one file by its extension (.bmp converted for the sign type, .xml run as
    // upload script, .klbmp as content type 0, anything else as content type 1).
    void UploadFile(uint32_t cid_i, const KMRString& path_i);
    // Runs the chosen upload script; failures are collected and thrown as one report.
    void _ProcessUploadScript();
    // Runs an upload script for a flash script: stops at the first failed item; true when all succeeded.
    bool _ProcessUploadScriptNoGUI(KMRString path_i);

    // The extension rule of the content dialog: from the first '.' of the file name
    // (after its first character) to the end; "pic.final.bmp" gives ".final.bmp".
    static KMRString GetExtension(const KMRString& path_i);
    static uint32_t _ConvertStringToInt(KMRString text_i);
    static uint32_t _httoi(const char* text_i);
    static bool ReadScript(const KMRString& path_i, std::vector<ScriptFileStruc>& items_o);

private:
    bool _RunScript(const KMRString& path_i, bool interactive_i);

    IKMRUserInterface& m_rUI;
    FirmwareUpload* m_pEngine = nullptr;
    KMRString m_strFilePath;
    uint8_t m_ucSignType = 0;
};
