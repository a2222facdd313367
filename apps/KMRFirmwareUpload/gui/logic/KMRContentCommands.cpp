// KMRContentCommands: content uploads, deletion, activation, download and brightness with their messages.
#include "KMRContentCommands.h"

#include "KMRServiceCommands.h"

#include <vector>

namespace
{
void ShowUploadFailure(IKMRUserInterface& ui_i)
{
    try
    {
        throw;
    }
    catch (const KMRExceptionBase& e)
    {
        const KMRString text = e.GetMessage() == "CID error." ? KMRString("please delete first the content ID")
                                                              : e.GetMessage();
        ui_i.MessageBox(text, "Error", EKMRIcon::Error, EKMRButtons::Ok);
    }
    catch (...)
    {
        ui_i.MessageBox("An unknown error occurred.", "Error", EKMRIcon::Error, EKMRButtons::Ok);
    }
}

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
} // namespace

uint32_t KMRContentCommands::CidFromFileName(const KMRString& path_i)
{
    const int slash = std::max(path_i.ReverseFind('/'), path_i.ReverseFind('\\'));
    KMRString name = path_i.Mid(slash + 1);
    const int dot = name.Find('.');
    if (dot >= 0)
        name = name.Mid(0, dot);
    return KMRUploadFileDlg::_httoi(name.GetString());
}

bool KMRContentCommands::Upload(const KMRString& cidText_i)
{
    const uint32_t cid = KMRUploadFileDlg::_httoi(cidText_i.GetString());
    std::vector<std::pair<uint32_t, KMRString>> uploads;
    if (cid == 0 && m_rLogic.GetFilePath().IsEmpty())
    {
        for (const KMRString& file : m_rUI.PickOpenFiles(MULTI_FILE_FILTER, true))
            uploads.emplace_back(CidFromFileName(file), file);
        // Nothing picked, nothing uploaded: no success message.
        if (uploads.empty())
            return false;
    }
    else
        uploads.emplace_back(cid, m_rLogic.GetFilePath());
    {
        WaitCursor cursor(m_rUI);
        try
        {
            for (const auto& [fileCid, file] : uploads)
                m_rLogic.UploadFile(fileCid, file);
        }
        catch (...)
        {
            ShowUploadFailure(m_rUI);
            return false;
        }
    }
    m_rUI.MessageBox("The Upload was successfull", "Upload", EKMRIcon::Information, EKMRButtons::Ok);
    return true;
}

bool KMRContentCommands::Delete(const KMRString& cidText_i)
{
    // The checked delete: a refused or unanswered delete must not read as done.
    try
    {
        WaitCursor cursor(m_rUI);
        m_rEngine.DeleteContentIDChecked(KMRUploadFileDlg::_httoi(cidText_i.GetString()));
    }
    catch (...)
    {
        KMRServiceCommands::ShowFailure(m_rUI, "Error");
        return false;
    }
    m_rUI.MessageBox("The Content ID was deleted successfully", "Delete CID", EKMRIcon::Information,
                     EKMRButtons::Ok);
    return true;
}

bool KMRContentCommands::Activate(const KMRString& cidText_i)
{
    try
    {
        m_rEngine.ActivateContent(KMRUploadFileDlg::_httoi(cidText_i.GetString()));
    }
    catch (...)
    {
        m_rUI.MessageBox("Error: The content was not activated correct", "An error occurred.", EKMRIcon::Error,
                         EKMRButtons::Ok);
        return false;
    }
    m_rUI.MessageBox("The Content ID was set successfully", "Activate CID", EKMRIcon::Information, EKMRButtons::Ok);
    return true;
}

bool KMRContentCommands::Download(const KMRString& cidText_i)
{
    const uint32_t cid = KMRUploadFileDlg::_httoi(cidText_i.GetString());
    if (cid == 0)
    {
        m_rUI.MessageBox("Please insert a valid Content ID", "Error", EKMRIcon::Warning, EKMRButtons::Ok);
        return false;
    }
    KMRString path = m_rUI.PickSaveFile(" HSD (Hardware Specific Data) (*.hsd)|*.hsd||");
    if (path.IsEmpty())
        return false;
    if (path.Find(".hsd") < 0)
        path += ".hsd";
    const uint8_t type = m_rLogic.GetSignType() != 0 ? 0 : 1;
    try
    {
        WaitCursor cursor(m_rUI);
        m_rEngine.DownloadContent(path, cid, type);
    }
    catch (...)
    {
        KMRServiceCommands::ShowFailure(m_rUI, "Error");
        return false;
    }
    return true;
}

bool KMRContentCommands::SetBrightness(uint8_t percent_i)
{
    try
    {
        m_rEngine.SetSignBrightness(percent_i);
        return true;
    }
    catch (...)
    {
        KMRServiceCommands::ShowFailure(m_rUI, "Error");
        return false;
    }
}
