// KMRFirmwareUploadDlg: connections, the scripted firmware update, flash scripts and the initialisation file.
#include "KMRFirmwareUploadDlg.h"

#include "KMRPause.h"
#include "KMRSerialTransmissionFactory.h"
#include "KMRUDPTransmissionFactory.h"
#include "KMRUploadFileDlg.h"

#include <KMRBase/KMRFileHelper.h>
#include <KMRXML/KMRXMLDocument.h>
#include <KMRXML/KMRXMLNode.h>
#include <KMRXML/KMRXMLNodeList.h>

#include <KMRBase/KMRException.h>

#include <cstdlib>
#include <fstream>
#include <strings.h>

namespace
{
constexpr char FLASH_ITEMS[] = "FlashScript/FlashItem";

uint32_t Decimal(const KMRString& text_i)
{
    return static_cast<uint32_t>(std::strtoul(text_i.GetString(), nullptr, 10));
}

} // namespace

KMRFirmwareUploadDlg::KMRFirmwareUploadDlg(IKMRUserInterface& ui_i) : m_rUI(ui_i) {}

KMRFirmwareUploadDlg::~KMRFirmwareUploadDlg()
{
    _ReleaseConnection();
    _CloseFlashScriptLogFile();
}

void KMRFirmwareUploadDlg::_ReleaseConnection()
{
    m_pEngine.reset();
    m_pFactory.reset();
    m_eConnectedType = CONNECTION_NONE;
}

bool KMRFirmwareUploadDlg::_IsControllerReachable(uint8_t address_i, uint32_t totalMs_i, bool* inFirmwareMode_o)
{
    if (!m_pEngine)
        return false;
    const uint8_t remembered = m_pEngine->GetKelmarCom2Address();
    for (uint8_t address : {address_i, FirmwareUpload::FIRMWARE_MODE_ADDRESS})
    {
        try
        {
            m_pEngine->SetKelmarCom2Address(address);
            if (m_pEngine->CheckIfControllerIsReachable(static_cast<int32_t>(totalMs_i), inFirmwareMode_o))
                return true;
        }
        catch (...)
        {
            // An error answer counts as "not reachable" here.
        }
    }
    m_pEngine->SetKelmarCom2Address(remembered);
    return false;
}

KMRString KMRFirmwareUploadDlg::_FillControllerTempText()
{
    int32_t temperature = FirmwareUpload::TEMPERATURE_UNKNOWN;
    try
    {
        if (m_pEngine)
            temperature = m_pEngine->GetControllerTemperature();
    }
    catch (...)
    {
    }
    if (temperature == FirmwareUpload::TEMPERATURE_UNKNOWN)
        return "unknown temperature";
    return KMRString::Formatted("temp. %d \xC2\xB0" "C", temperature);
}

bool KMRFirmwareUploadDlg::_Connect(EConnectionType type_i, const T_FLASHITEM* item_i)
{
    const uint8_t address = item_i != nullptr ? item_i->m_ucKC2Addr : m_Settings.m_ucKC2Address;
    const KMRString image = item_i != nullptr ? item_i->m_strImageFile : m_Settings.m_strImagePath;
    int32_t timeout = 0;
    if (type_i == CONNECTION_SERIAL)
    {
        const KMRString port =
            item_i != nullptr ? KMRString::Formatted("COM%d", item_i->m_ucComPort) : m_Settings.m_strComPort;
        const uint32_t baud = item_i != nullptr ? item_i->m_ulBaudrate : m_Settings.m_ulBaudrate;
        m_pFactory = std::make_unique<KMRSerialTransmissionFactory>(port, baud, 8, KMRSerialTransmissionFactory::NO_PARITY,
                                                                    KMRSerialTransmissionFactory::ONE_STOP_BIT);
        timeout = SERIAL_TIMEOUT;
    }
    else
    {
        const Settings& s = m_Settings;
        m_pFactory = item_i != nullptr
                         ? std::make_unique<KMRUDPTransmissionFactory>(item_i->m_strLocalIP, item_i->m_strLocalPort,
                                                                       item_i->m_strRemoteIP, item_i->m_strRemotePort)
                         : std::make_unique<KMRUDPTransmissionFactory>(s.m_strLocalIP, s.m_strLocalPort,
                                                                       s.m_strRemoteIP, s.m_strRemotePort);
        timeout = UDP_TIMEOUT;
    }
    m_eConnectedType = type_i;
    // The image is only read when a file name is given; a file that cannot be read is
    // a failure of the connection attempt, reported by the engine's exception.
    m_pEngine = image.IsEmpty() ? std::make_unique<FirmwareUpload>(m_pFactory.get(), address)
                                : std::make_unique<FirmwareUpload>(m_pFactory.get(), image, address);
    m_pEngine->SetProgressBar(m_rUI.GetProgressBar());
    m_pEngine->SetPaintPump(m_rUI.GetPaintPump());
    m_pEngine->Initialize(timeout);
    return true;
}

bool KMRFirmwareUploadDlg::_EstablishConnection()
{
    m_bFirmwareMode = false;
    m_bConnected = false;
    const EConnectionType type = m_Settings.m_eConnectionType;
    if (type == CONNECTION_NONE)
    {
        m_rUI.MessageBox("Please select a connection type.", "Connection Error", EKMRIcon::Warning, EKMRButtons::Ok);
        return false;
    }
    if (type == CONNECTION_PROFIBUS_DP || type == CONNECTION_PROFIBUS_TCP)
    {
        m_rUI.MessageBox("This connection type is not available in this build.", "Connection Error",
                         EKMRIcon::Warning, EKMRButtons::Ok);
        return false;
    }
    m_rUI.SetWaitCursor(true);
    try
    {
        _Connect(type, nullptr);
    }
    catch (const KMRExceptionBase& e)
    {
        m_rUI.SetWaitCursor(false);
        m_rUI.MessageBox(e.GetMessage(), "Error", EKMRIcon::Error, EKMRButtons::Ok);
        _DisconnectConnection();
        return false;
    }
    catch (...)
    {
        m_rUI.SetWaitCursor(false);
        m_rUI.MessageBox("could not open the COM-Port", "Error", EKMRIcon::Error, EKMRButtons::Ok);
        _DisconnectConnection();
        return false;
    }
    const uint32_t total = type == CONNECTION_SERIAL ? 5000 : 15000;
    if (!_IsControllerReachable(m_Settings.m_ucKC2Address, total, &m_bFirmwareMode))
    {
        m_rUI.SetWaitCursor(false);
        m_rUI.MessageBox("The controller is not reachable", "Error", EKMRIcon::Error, EKMRButtons::Ok);
        _DisconnectConnection();
        return false;
    }
    if (!m_bFirmwareMode)
    {
        m_pEngine->SetDateTime();
        m_strTemperatureText = _FillControllerTempText();
    }
    m_bConnected = true;
    m_rUI.SetWaitCursor(false);
    return true;
}

void KMRFirmwareUploadDlg::_DisconnectConnection()
{
    const EConnectionType type = m_eConnectedType;
    _ReleaseConnection();
    if (type == CONNECTION_UDP)
        KMRPause::Sleep(1000);
    m_bConnected = false;
}

bool KMRFirmwareUploadDlg::_EstablishConnectionNoGUI(T_FLASHITEM* item_i)
{
    m_bConnected = false;
    m_bFirmwareMode = false;
    if (item_i == nullptr)
        return false;
    const auto type = static_cast<EConnectionType>(item_i->m_ucConnectionType);
    if (type != CONNECTION_SERIAL && type != CONNECTION_UDP)
    {
        _Log("connection type not available in this build: " + item_i->m_strConnectionType);
        return false;
    }
    // Engine and factory of an earlier connection are released before the new ones.
    _ReleaseConnection();
    try
    {
        _Connect(type, item_i);
    }
    catch (const KMRExceptionBase& e)
    {
        _Log("connection error: " + e.GetMessage());
        _DisconnectConnectionNoGUI(item_i);
        return false;
    }
    catch (const KMRException& e)
    {
        _Log(KMRString("connection error: ") + e.GetDetails());
        _DisconnectConnectionNoGUI(item_i);
        return false;
    }
    catch (...)
    {
        _DisconnectConnectionNoGUI(item_i);
        return false;
    }
    const uint32_t total = type == CONNECTION_SERIAL ? 10000 : 15000;
    if (!_IsControllerReachable(item_i->m_ucKC2Addr, total, &m_bFirmwareMode))
    {
        _DisconnectConnectionNoGUI(item_i);
        return false;
    }
    if (!m_bFirmwareMode)
        m_pEngine->SetDateTime();
    m_bConnected = true;
    return true;
}

bool KMRFirmwareUploadDlg::_DisconnectConnectionNoGUI(T_FLASHITEM* item_i)
{
    // The original kept a UDP engine until the next connection replaced it; releasing it
    // here closes its socket at once, so the next item can use the same local port.
    _ReleaseConnection();
    m_bConnected = false;
    (void)item_i;
    return true;
}

bool KMRFirmwareUploadDlg::UpdateNoGUI(T_FLASHITEM item_i)
{
    if (!m_bConnected || !m_pEngine)
    {
        _Log("Error@UpdateNoGUI ... not connected");
        return false;
    }
    if (item_i.m_strImageFile.IsEmpty())
    {
        _DisconnectConnectionNoGUI(&item_i);
        _Log("Error@UpdateNoGUI ... no image file selected");
        return false;
    }
    switch (item_i.m_ucConnectionType)
    {
    case CONNECTION_SERIAL:
    case CONNECTION_UDP:
        try
        {
            return _UpdateSerialOrUDP(item_i);
        }
        catch (...)
        {
            return false;
        }
    case CONNECTION_PROFIBUS_DP:
    case CONNECTION_PROFIBUS_TCP:
        _Log("Error@UpdateNoGUI ... connection type not available in this build");
        return false;
    default:
        return false;
    }
}

bool KMRFirmwareUploadDlg::_UpdateSerialOrUDP(T_FLASHITEM& item_i)
{
    FirmwareUpload& engine = *m_pEngine;
    const uint32_t resetPause = 10000;
    const uint32_t afterPause = 25000;
    int attempt = 0;
    bool ready = false;
    for (;;)
    {
        engine.SetProgressBar(m_rUI.GetProgressBar());
        engine.ResetProgressBar();
        if (m_bFirmwareMode)
            ready = true;
        else if (!ready)
        {
            const int32_t temperature = engine.GetControllerTemperature();
            if (temperature == FirmwareUpload::TEMPERATURE_UNKNOWN)
                _Log(KMRString::Formatted("Error@UpdateNoGUI ... controller temperature unknown, retry %d", attempt));
            else if (temperature >= 1 && temperature <= 83)
                ready = true;
            else
            {
                _Log("Error@UpdateNoGUI ... controller temperature invalid");
                return false;
            }
        }
        else
        {
            try
            {
                engine.DeleteContentID(0xFFF1);
                engine.EnableFirmwareUpload();
                engine.ResetController(false);
                KMRPause::Sleep(resetPause);
            }
            catch (...)
            {
            }
        }
        const bool reachable = engine.CheckIfControllerIsReachable(30000, &m_bFirmwareMode);
        if (reachable && m_bFirmwareMode && ready)
            break;
        if (reachable && m_bFirmwareMode)
            continue;
        if (!reachable)
            m_bFirmwareMode = true;
        if (++attempt > 10)
        {
            _Log("Error@UpdateNoGUI ... controller not resetet correct");
            return false;
        }
    }
    KMRPause::Sleep(2000);
    try
    {
        engine.UploadFile();
    }
    catch (const KMRExceptionBase& e)
    {
        _Log("Error@UpdateNoGUI ... could not upload image");
        m_rUI.OnLogEntry("  reason: " + e.GetMessage());
        return false;
    }
    catch (...)
    {
        _Log("Error@UpdateNoGUI ... could not upload image");
        return false;
    }
    engine.ResetControllerFirmwareMode();
    KMRPause::Sleep(afterPause);
    engine.SetKelmarCom2Address(FirmwareUpload::FIRMWARE_MODE_ADDRESS);
    for (int repeat = 0;; ++repeat)
    {
        try
        {
            if (!engine.CheckIfControllerIsReachable_UserMode(15000))
            {
                engine.ResetControllerFirmwareMode();
                _Log("Error@UpdateNoGUI ... could not connect to controller after uploading image");
                return false;
            }
            break;
        }
        catch (...)
        {
            if (repeat + 1 >= MAX_CHECK_REPEATS)
            {
                _Log("Error@UpdateNoGUI ... could not connect to controller after uploading image");
                return false;
            }
        }
    }
    engine.FormatFilesystem(FirmwareUpload::FIRMWARE_MODE_ADDRESS);
    KMRPause::Sleep(afterPause);
    engine.SetDateTime();
    if (item_i.m_ucConnectionType != CONNECTION_PROFIBUS_TCP && item_i.m_ucKC2Addr >= 1 && item_i.m_ucKC2Addr <= 240)
        engine.ChangeSlaveAddress(item_i.m_ucKC2Addr);
    // The controller runs its new firmware in user mode now.
    m_bFirmwareMode = false;
    return true;
}

// ---- flash scripts ----

std::tm KMRFirmwareUploadDlg::LogTime(std::time_t utc_i)
{
    std::tm t {};
    ::gmtime_r(&utc_i, &t);
    t.tm_hour += 2;
    if (t.tm_hour >= 24)
    {
        t.tm_hour -= 24;
        ++t.tm_mday;
    }
    return t;
}

bool KMRFirmwareUploadDlg::_CreateFlashScriptLogFile(KMRString unused_i)
{
    (void)unused_i;
    _CloseFlashScriptLogFile();
    const std::tm t = LogTime(std::time(nullptr));
    const KMRString name = KMRString::Formatted("FlashScript_Logfile_%d.%d.%d_%2dh%2d_%2ds.log", t.tm_mday,
                                                t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min, t.tm_sec);
    m_strLogFileName = m_strLogDirectory.IsEmpty() ? name : m_strLogDirectory + "/" + name;
    m_LogFile.open(m_strLogFileName.GetString(), std::ios::out | std::ios::trunc);
    return m_LogFile.is_open();
}

void KMRFirmwareUploadDlg::_WriteToFlashScriptLogFile(KMRString text_i, bool withTimeStamp_i)
{
    if (!m_LogFile.is_open())
        _CreateFlashScriptLogFile("");
    KMRString entry;
    if (withTimeStamp_i)
    {
        const std::tm t = LogTime(std::time(nullptr));
        entry.Format("\n%d.%d.%d %d:%d:%d\t\t", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900, t.tm_hour, t.tm_min,
                     t.tm_sec);
    }
    entry += text_i;
    if (m_LogFile.is_open())
    {
        m_LogFile << entry.GetString();
        m_LogFile.flush();
    }
    m_rUI.OnLogEntry(text_i);
}

void KMRFirmwareUploadDlg::_CloseFlashScriptLogFile()
{
    if (m_LogFile.is_open())
        m_LogFile.close();
}

int32_t KMRFirmwareUploadDlg::GetNumberOfFlashItemsInScript(KMRString path_i)
{
    try
    {
        KMRXMLDocument document;
        document.Load(path_i);
        return static_cast<int32_t>(document.SelectNodes(FLASH_ITEMS).GetLength());
    }
    catch (...)
    {
        return 0;
    }
}

bool KMRFirmwareUploadDlg::ReadFlashItemFromScript(KMRString path_i, T_FLASHITEM* item_o, uint8_t index_i)
{
    if (item_o == nullptr)
        return false;
    try
    {
        KMRXMLDocument document;
        document.Load(path_i);
        const KMRXMLNodeList items = document.SelectNodes(FLASH_ITEMS);
        if (index_i >= items.GetLength())
            return false;
        const KMRXMLNode node = items.GetItem(index_i);
        T_FLASHITEM item;
        item.m_strImageFile = node.GetSingleAttribute("ImageFile");
        item.m_strConnectionType = node.GetSingleAttribute("ConnectionType");
        const char* type = item.m_strConnectionType.GetString();
        if (::strcasecmp(type, "Serial") == 0)
            item.m_ucConnectionType = CONNECTION_SERIAL;
        else if (::strcasecmp(type, "UDP") == 0)
            item.m_ucConnectionType = CONNECTION_UDP;
        else if (::strcasecmp(type, "Profibus") == 0)
            item.m_ucConnectionType = CONNECTION_PROFIBUS_DP;
        else if (::strcasecmp(type, "ProfibusViaTCP") == 0)
            item.m_ucConnectionType = CONNECTION_PROFIBUS_TCP;
        else
            return false;
        item.m_ulBaudrate = Decimal(node.GetSingleAttribute("Baudrate"));
        item.m_ucComPort = static_cast<uint8_t>(Decimal(node.GetSingleAttribute("ComPort")));
        item.m_ucKC2Addr = static_cast<uint8_t>(Decimal(node.GetSingleAttribute("KC2Addr")));
        item.m_ucKC2AddrAfterUpload = static_cast<uint8_t>(Decimal(node.GetSingleAttribute("KC2AddrAfterUpload")));
        item.m_bChangeKC2AddrAfterUpload =
            ::strcasecmp(node.GetSingleAttribute("ChangeKC2AddrAfterUpload").GetString(), "false") != 0;
        item.m_strLocalIP = node.GetSingleAttribute("LocalIP");
        item.m_strLocalPort = node.GetSingleAttribute("LocalPort");
        item.m_strRemoteIP = node.GetSingleAttribute("RemoteIP");
        item.m_strRemotePort = node.GetSingleAttribute("RemotePort");
        item.m_ucProfibusAddr = static_cast<uint8_t>(Decimal(node.GetSingleAttribute("ProfibusAddr")));
        const KMRString converter = node.GetSingleAttribute("ProfibusConverter");
        if (::strcasecmp(converter.GetString(), "trevane") == 0)
            item.m_ulConverterType = 2;
        else if (::strcasecmp(converter.GetString(), "DV4410") == 0 || ::strcasecmp(converter.GetString(), "DV4411") == 0)
            item.m_ulConverterType = 1;
        else
            item.m_ulConverterType = 0;
        *item_o = item;
        return true;
    }
    catch (...)
    {
        return false;
    }
}

KMRString KMRFirmwareUploadDlg::DescribeFlashItem(const T_FLASHITEM& item_i, int number_i)
{
    KMRString text = KMRString::Formatted("Flash Item %d:", number_i);
    text += "\n\tfile: " + item_i.m_strImageFile;
    text += "\n\tconnection: " + item_i.m_strConnectionType;
    const uint8_t type = item_i.m_ucConnectionType;
    if (type != CONNECTION_PROFIBUS_TCP && type != CONNECTION_UDP)
        text.AppendFormat(", Comport: COM%d", item_i.m_ucComPort);
    switch (type)
    {
    case CONNECTION_PROFIBUS_DP:
        if (item_i.m_ulConverterType == 2)
            text += ", ProfibusConverter = trevane PB-Converter";
        else if (item_i.m_ulConverterType == 1)
            text += ", ProfibusConverter = Drosvik PB-Converter";
        else
            text += ", ProfibusConverter = ERROR ERROR - UNKNOWN CONVERTER";
        text.AppendFormat(", Profibus Addr: %d", item_i.m_ucProfibusAddr);
        break;
    case CONNECTION_SERIAL: text.AppendFormat(", KC2 Addr: %d", item_i.m_ucKC2Addr); break;
    case CONNECTION_PROFIBUS_TCP:
        text.AppendFormat(", KC2 Addr: %d", item_i.m_ucKC2Addr);
        if (item_i.m_ucKC2AddrAfterUpload != 0 && item_i.m_bChangeKC2AddrAfterUpload)
            text.AppendFormat(", new KC2 Addr after uplaod: %d", item_i.m_ucKC2AddrAfterUpload);
        text.AppendFormat(", Remote IP Address: %s", item_i.m_strGatewayIP.GetString());
        break;
    case CONNECTION_UDP:
        text.AppendFormat(", KC2 Addr: %d", item_i.m_ucKC2Addr);
        text.AppendFormat(", remote IP: %s", item_i.m_strRemoteIP.GetString());
        text.AppendFormat(", remote port: %s", item_i.m_strRemotePort.GetString());
        text.AppendFormat(", local IP: %s", item_i.m_strLocalIP.GetString());
        text.AppendFormat(", local port: %s", item_i.m_strLocalPort.GetString());
        break;
    default: break;
    }
    text += "\n";
    return text;
}

void KMRFirmwareUploadDlg::RunFlashScript(KMRString path_i, bool interactive_i)
{
    static const char INVALID_ITEM[] = "\nERROR ERROR ERROR: flash entry is not correct";
    _CreateFlashScriptLogFile(path_i);
    _WriteToFlashScriptLogFile(KMRString::Formatted("START FLASH SCRIPT FILE: %s", path_i.GetString()), true);

    const int32_t count = GetNumberOfFlashItemsInScript(path_i);
    std::vector<T_FLASHITEM> items(static_cast<size_t>(count));
    std::vector<bool> valid(static_cast<size_t>(count), false);
    KMRString summary;
    bool anyInvalid = false;
    for (int32_t k = 0; k < count; ++k)
    {
        items[k].m_bResult = false;
        valid[k] = k <= 255 && ReadFlashItemFromScript(path_i, &items[k], static_cast<uint8_t>(k));
        if (valid[k])
            summary += DescribeFlashItem(items[k], k + 1);
        else
        {
            summary += INVALID_ITEM;
            anyInvalid = true;
        }
    }
    _WriteToFlashScriptLogFile("\n\nItems which should be uploaded:\n\n", false);
    _WriteToFlashScriptLogFile(summary, false);

    if (interactive_i)
    {
        if (anyInvalid)
        {
            m_rUI.MessageBox(summary + "\n\nupload can not be started because of invalid script file!",
                             "error in flashing script", EKMRIcon::Error, EKMRButtons::Ok);
            _CloseFlashScriptLogFile();
            return;
        }
        if (m_rUI.MessageBox(summary + "\n\nstart upload?", "do you want to upload", EKMRIcon::Question,
                             EKMRButtons::YesNoDefaultNo) != EKMRAnswer::Yes)
        {
            _CloseFlashScriptLogFile();
            return;
        }
    }

    for (int32_t k = 0; k < count; ++k)
    {
        T_FLASHITEM& item = items[k];
        _WriteToFlashScriptLogFile(KMRString::Formatted("Start Flash Item %d", k + 1), true);
        if (!valid[k])
        {
            // Its settings are unknown: never connect with them.
            _WriteToFlashScriptLogFile("\n\tERROR: flash entry is not correct, item skipped", false);
            continue;
        }
        m_rUI.ShowKelmarCom2Address(item.m_ucKC2Addr);
        if (!_EstablishConnectionNoGUI(&item))
        {
            _WriteToFlashScriptLogFile("\n\tERROR: connection could not be established!", false);
            item.m_bResult = false;
            continue;
        }
        _WriteToFlashScriptLogFile("\n\tconnection established", false);
        const KMRString name = KMRFileHelper::GetFileName(item.m_strImageFile);
        const int dot = name.ReverseFind('.');
        const KMRString extension = dot >= 0 ? name.Mid(dot) : name;
        bool stopRun = false;
        if (extension == ".img")
        {
            try
            {
                item.m_bResult = UpdateNoGUI(item);
                if (item.m_bResult)
                    _WriteToFlashScriptLogFile("\n\timage file successfull written to device", false);
                else
                {
                    _WriteToFlashScriptLogFile("\n\tERROR: could not write the image to the device (1)", false);
                    if (item.m_ucConnectionType == CONNECTION_SERIAL)
                    {
                        _WriteToFlashScriptLogFile("\n CAUTION - stop updating of further devices because of error "
                                                   "during update of last device. ",
                                                   false);
                        for (int32_t j = k; j < count; ++j)
                            items[j].m_bResult = false;
                        stopRun = true;
                    }
                }
            }
            catch (...)
            {
                item.m_bResult = false;
                _WriteToFlashScriptLogFile("\n\tERROR: could not write the image to the device (2)", false);
            }
            if (stopRun)
                break;
        }
        else if (extension == ".xml")
        {
            FirmwareUpload& engine = *m_pEngine;
            engine.FormatFilesystem(FirmwareUpload::FIRMWARE_MODE_ADDRESS);
            try
            {
                KMRUploadFileDlg uploader(m_rUI);
                uploader.SetFirmwareUploader(&engine);
                item.m_bResult = uploader._ProcessUploadScriptNoGUI(item.m_strImageFile);
                _WriteToFlashScriptLogFile(item.m_bResult ? "\n\tuploaded xml script successfull to device"
                                                          : "\n\tERROR: could not uploaded xml script to device (1)",
                                           false);
            }
            catch (...)
            {
                item.m_bResult = false;
                _WriteToFlashScriptLogFile("\n\tERROR: could not uploaded xml script to device (2)", false);
            }
            if (item.m_bChangeKC2AddrAfterUpload && item.m_ucKC2Addr <= 240)
            {
                try
                {
                    engine.ChangeSlaveAddress(item.m_ucKC2AddrAfterUpload != 0 ? item.m_ucKC2AddrAfterUpload
                                                                               : item.m_ucKC2Addr);
                }
                catch (...)
                {
                    _WriteToFlashScriptLogFile(
                        "\n\tWARNING: could not change KC2 address AFTER uploading configuration script", false);
                }
            }
            const bool profibus =
                item.m_ucConnectionType == CONNECTION_PROFIBUS_DP || item.m_ucConnectionType == CONNECTION_PROFIBUS_TCP;
            for (int round = 0; round < 2; ++round)
            {
                try
                {
                    if (!engine.CheckIfControllerIsReachable(20000, nullptr))
                        _WriteToFlashScriptLogFile("\nerror during establishing connection after configuration ...",
                                                   false);
                }
                catch (...)
                {
                    _WriteToFlashScriptLogFile("\nerror during establishing connection after configuration ...", false);
                }
                try
                {
                    engine.ResetController(true);
                }
                catch (...)
                {
                }
                KMRPause::Sleep(68000);
                KMRPause::Sleep(profibus ? 35000 : 25000);
            }
        }
        _DisconnectConnectionNoGUI(&item);
    }

    KMRString report;
    m_LastRunResults.assign(static_cast<size_t>(count), false);
    for (int32_t k = 0; k < count; ++k)
    {
        T_FLASHITEM again;
        if (k <= 255 && ReadFlashItemFromScript(path_i, &again, static_cast<uint8_t>(k)))
            report += (items[k].m_bResult ? "<--   OK   -->  " : "<-- ERROR -->  ") + DescribeFlashItem(again, k + 1);
        else
            report += INVALID_ITEM;
        m_LastRunResults[k] = valid[k] && items[k].m_bResult;
    }
    try
    {
        _WriteToFlashScriptLogFile("FLASH SCRIPT FINISHED!\n\nsee report below!\n\n\n", true);
        _WriteToFlashScriptLogFile(report, false);
    }
    catch (...)
    {
        _WriteToFlashScriptLogFile("exception while writing report to logfile", false);
    }
    _CloseFlashScriptLogFile();
    m_rUI.MessageBox(report, "script upload finished", EKMRIcon::Information, EKMRButtons::Ok);
    m_rUI.MessageBox(KMRString::Formatted("saved logfile at %s", m_strLogFileName.GetString()), "logfile saved",
                     EKMRIcon::Information, EKMRButtons::Ok);
}

void KMRFirmwareUploadDlg::OnTimer()
{
    if (m_bTimerFired)
        return;
    m_bTimerFired = true;
    ReadInitFile();
}

void KMRFirmwareUploadDlg::ReadInitFile()
{
    std::ifstream in(m_strInitFile.GetString());
    if (!in)
        return;
    std::string word;
    while (in >> word)
    {
        if (::strcasecmp(word.c_str(), "FLASHSCRIPT") != 0)
            continue;
        std::string path;
        if (!(in >> path))
            break;
        RunFlashScript(KMRString(path), false);
    }
}
