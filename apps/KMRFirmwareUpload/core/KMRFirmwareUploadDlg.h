// KMRFirmwareUploadDlg: the main dialog's logic without a toolkit: connections, updates, flash scripts.
#pragma once

#include "FirmwareUpload.h"
#include "IKMRUserInterface.h"

#include <KMRBase/KMRString.h>

#include <array>
#include <cstdint>
#include <ctime>
#include <fstream>
#include <memory>
#include <vector>

// The state and procedures behind the main dialog: connection set-up for serial and
// UDP lines, reachability, the scripted firmware update, the flash-script runner with
// its log file, and the initialisation file. Message boxes, pickers, the progress bar
// and the address field reach the user through IKMRUserInterface, so the dialogs and
// the command line share this logic.
// Thread safety: one thread runs every operation; the engine's delivery thread only
// talks to the engine.
class KMRFirmwareUploadDlg
{
public:
    enum EConnectionType : int
    {
        CONNECTION_NONE = -1,
        CONNECTION_SERIAL = 0,
        CONNECTION_PROFIBUS_DP = 1,
        CONNECTION_PROFIBUS_TCP = 2,
        CONNECTION_UDP = 3
    };

    // One controller of a flash script.
    struct T_FLASHITEM
    {
        KMRString m_strImageFile;
        uint8_t m_ucConnectionType = 0;
        KMRString m_strConnectionType;
        uint8_t m_ucComPort = 0;
        uint8_t m_ucKC2Addr = 0;
        uint8_t m_ucProfibusAddr = 0;
        uint32_t m_ulConverterType = 0;
        uint32_t m_ulBaudrate = 0;
        bool m_bChangeKC2AddrAfterUpload = true;
        uint8_t m_ucKC2AddrAfterUpload = 0;
        bool m_bResult = false;
        KMRString m_strGatewayIP = "127.0.0.1";
        KMRString m_strLocalIP;
        KMRString m_strLocalPort;
        KMRString m_strRemoteIP;
        KMRString m_strRemotePort;
    };

    // The dialog's connection fields.
    struct Settings
    {
        EConnectionType m_eConnectionType = CONNECTION_NONE;
        KMRString m_strComPort = "COM1";
        uint32_t m_ulBaudrate = 115200;
        KMRString m_strRemoteIP;
        KMRString m_strRemotePort;
        KMRString m_strLocalIP;
        KMRString m_strLocalPort;
        uint8_t m_ucKC2Address = 254;
        uint8_t m_ucProfibusAddress = 1;
        KMRString m_strImagePath;
    };

    // Bounds of repetitions the procedures would otherwise repeat without end.
    static constexpr int MAX_CHECK_REPEATS = 10;
    static constexpr int32_t SERIAL_TIMEOUT = 520;
    static constexpr int32_t UDP_TIMEOUT = 2000;

    explicit KMRFirmwareUploadDlg(IKMRUserInterface& ui_i);
    ~KMRFirmwareUploadDlg();
    KMRFirmwareUploadDlg(const KMRFirmwareUploadDlg&) = delete;
    KMRFirmwareUploadDlg& operator=(const KMRFirmwareUploadDlg&) = delete;

    Settings& GetSettings() { return m_Settings; }
    // Folder of the flash-script log files (default: the working directory).
    void SetLogDirectory(const KMRString& directory_i) { m_strLogDirectory = directory_i; }
    // Name of the initialisation file (default "FirmwareUploadTool.ini" in the working directory).
    void SetInitFileName(const KMRString& name_i) { m_strInitFile = name_i; }

    bool IsConnected() const { return m_bConnected; }
    bool IsInFirmwareMode() const { return m_bFirmwareMode; }
    // Cleared by the update procedures once the controller runs its new firmware.
    void SetFirmwareMode(bool firmwareMode_i) { m_bFirmwareMode = firmwareMode_i; }
    // The temperature text read when the connection was made (empty before).
    const KMRString& GetTemperatureText() const { return m_strTemperatureText; }
    FirmwareUpload* GetEngine() const { return m_pEngine.get(); }

    // Interactive connection handling (message boxes on failure).
    bool _EstablishConnection();
    void _DisconnectConnection();
    bool _IsControllerReachable(uint8_t address_i, uint32_t totalMs_i, bool* inFirmwareMode_o);
    // The temperature text of the main dialog ("temp. %d °C" or "unknown temperature").
    KMRString _FillControllerTempText();

    // Scripted connection handling, update and flash scripts.
    bool _EstablishConnectionNoGUI(T_FLASHITEM* item_i);
    bool _DisconnectConnectionNoGUI(T_FLASHITEM* item_i);
    bool UpdateNoGUI(T_FLASHITEM item_i);
    void RunFlashScript(KMRString path_i, bool interactive_i);
    int32_t GetNumberOfFlashItemsInScript(KMRString path_i);
    bool ReadFlashItemFromScript(KMRString path_i, T_FLASHITEM* item_o, uint8_t index_i);
    static KMRString DescribeFlashItem(const T_FLASHITEM& item_i, int number_i);
    bool _CreateFlashScriptLogFile(KMRString unused_i);
    void _WriteToFlashScriptLogFile(KMRString text_i, bool withTimeStamp_i);
    void _CloseFlashScriptLogFile();
    const KMRString& GetFlashScriptLogFileName() const { return m_strLogFileName; }
    // Results of the items of the last flash-script run (true: the item succeeded).
    const std::vector<bool>& GetLastRunResults() const { return m_LastRunResults; }

    // The 500 ms timer: the first call reads the initialisation file, later ones do nothing.
    void OnTimer();
    void ReadInitFile();

    // The log's clock: UTC plus two hours, the day moving on without month carry.
    static std::tm LogTime(std::time_t utc_i);

private:
    // Builds factory and engine for the dialog settings (item_i null) or a script item, and opens it.
    bool _Connect(EConnectionType type_i, const T_FLASHITEM* item_i);
    bool _UpdateSerialOrUDP(T_FLASHITEM& item_i);
    void _ReleaseConnection();
    void _Log(const KMRString& text_i) { _WriteToFlashScriptLogFile(text_i, true); }

    IKMRUserInterface& m_rUI;
    Settings m_Settings;
    bool m_bConnected = false;
    bool m_bTestRunning = false;
    bool m_bFirmwareMode = false;
    bool m_bTimerFired = false;
    EConnectionType m_eConnectedType = CONNECTION_NONE;
    std::unique_ptr<IKMRTransmissionFactory> m_pFactory;
    std::unique_ptr<FirmwareUpload> m_pEngine;
    KMRString m_strTemperatureText;
    KMRString m_strLogDirectory;
    KMRString m_strInitFile = "FirmwareUploadTool.ini";
    KMRString m_strLogFileName;
    std::ofstream m_LogFile;
    std::vector<bool> m_LastRunResults;
};
