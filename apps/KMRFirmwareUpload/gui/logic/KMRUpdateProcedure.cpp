// KMRUpdateProcedure: enable, reset, transfer, reset, format, clock and address of one controller.
#include "KMRUpdateProcedure.h"

#include "KMRPause.h"

namespace
{
// Resets the wait cursor at every end of the procedure.
class WaitCursor
{
public:
    explicit WaitCursor(IKMRUserInterface& ui_i) : m_rUI(ui_i) { m_rUI.SetWaitCursor(true); }
    ~WaitCursor() { m_rUI.SetWaitCursor(false); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    IKMRUserInterface& m_rUI;
};

constexpr int32_t RESET_PAUSE = 10000;
constexpr int32_t AFTER_RESET_PAUSE = 15000;
constexpr int32_t REACHABLE_MS = 30000;
} // namespace

void KMRUpdateProcedure::_Error(const KMRString& text_i, EKMRIcon icon_i)
{
    m_rUI.MessageBox(text_i, "Error", icon_i, EKMRButtons::Ok);
}

bool KMRUpdateProcedure::TemperatureGate(FirmwareUpload& engine_i)
{
    const int32_t temperature = engine_i.GetControllerTemperature();
    if (temperature == FirmwareUpload::TEMPERATURE_UNKNOWN)
    {
        return m_rUI.MessageBox("controller temperature couldn't be read\nupdate not possible below 0\xC2\xB0"
                                "C and over 85\xC2\xB0"
                                "C\nproceed with update anyway?",
                                "Warning", EKMRIcon::Warning, EKMRButtons::YesNo) == EKMRAnswer::Yes;
    }
    // The loader is only trusted well inside the rated range, hence 1..83 and not 0..85.
    if (temperature < MIN_TEMPERATURE || temperature > MAX_TEMPERATURE)
    {
        _Error("controller temperature invalid\nupdate not possible below 0\xC2\xB0"
               "C and over 85\xC2\xB0"
               "C",
               EKMRIcon::Error);
        return false;
    }
    return true;
}

bool KMRUpdateProcedure::Run()
{
    FirmwareUpload* engine = m_rDialog.GetEngine();
    if (!m_rDialog.IsConnected() || engine == nullptr)
    {
        _Error("Please connect to the slave.", EKMRIcon::Warning);
        return false;
    }
    // An empty image would "succeed" without a single sequence on the wire.
    if (m_rDialog.GetSettings().m_strImagePath.IsEmpty() || engine->GetImageLength() == 0)
    {
        _Error("Please open a file to upload.", EKMRIcon::Warning);
        m_rDialog._DisconnectConnection();
        return false;
    }
    WaitCursor cursor(m_rUI);
    engine->SetProgressBar(m_rUI.GetProgressBar());
    engine->SetPaintPump(m_rUI.GetPaintPump());
    engine->ResetProgressBar();
    try
    {
        return _Update(*engine);
    }
    catch (const KMRExceptionBase& e)
    {
        _Error(e.GetMessage(), EKMRIcon::Error);
    }
    catch (...)
    {
        _Error("An unknown error occurred.", EKMRIcon::Error);
    }
    return false;
}

bool KMRUpdateProcedure::_Update(FirmwareUpload& engine_i)
{
    if (!m_rDialog.IsInFirmwareMode())
    {
        if (!TemperatureGate(engine_i))
            return false;
        try
        {
            engine_i.EnableFirmwareUpload();
            engine_i.ResetController(false);
        }
        catch (...)
        {
            // The check below tells whether the loader started.
        }
        engine_i.SetKelmarCom2Address(FirmwareUpload::FIRMWARE_MODE_ADDRESS);
        KMRPause::Sleep(RESET_PAUSE);
        if (!engine_i.CheckIfControllerIsReachable_FirmwareMode(REACHABLE_MS))
        {
            _Error("Controller was not reseted correct", EKMRIcon::Warning);
            return false;
        }
        KMRPause::Sleep(2000);
    }
    engine_i.UploadFile();

    engine_i.ResetControllerFirmwareMode();
    engine_i.SetKelmarCom2Address(FirmwareUpload::FIRMWARE_MODE_ADDRESS);
    KMRPause::Sleep(AFTER_RESET_PAUSE);
    engine_i.CheckIfControllerIsReachable_UserMode(REACHABLE_MS);

    engine_i.FormatFilesystem(FirmwareUpload::FIRMWARE_MODE_ADDRESS);
    KMRPause::Sleep(AFTER_RESET_PAUSE);
    engine_i.CheckIfControllerIsReachable_UserMode(REACHABLE_MS);

    engine_i.SetDateTime();
    const uint8_t address = m_rDialog.GetSettings().m_ucKC2Address;
    if (address >= 1 && address <= 240)
        engine_i.ChangeSlaveAddress(address);

    m_rUI.MessageBox("The firmware upload was successful.", "Firmware Upload", EKMRIcon::Information,
                     EKMRButtons::Ok);
    engine_i.ResetProgressBar();
    return true;
}
