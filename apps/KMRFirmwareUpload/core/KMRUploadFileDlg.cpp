// KMRUploadFileDlg: uploading by extension, upload scripts and their number formats.
#include "KMRUploadFileDlg.h"

#include <KMRBase/KMRFileHelper.h>
#include <KMRXML/KMRXMLDocument.h>
#include <KMRXML/KMRXMLNode.h>
#include <KMRXML/KMRXMLNodeList.h>

#include <cctype>
#include <cstdlib>
#include <strings.h>

KMRString KMRUploadFileDlg::GetExtension(const KMRString& path_i)
{
    // Only the file name counts: folders with dots in their names are common on Linux.
    const KMRString name = KMRFileHelper::GetFileName(path_i);
    const int dot = name.Find('.', 1);
    return dot >= 0 ? name.Mid(dot) : KMRString();
}

uint32_t KMRUploadFileDlg::_httoi(const char* text_i)
{
    if (text_i == nullptr)
        return 0;
    KMRString text(text_i);
    text.MakeUpper();
    const char* p = text.GetString();
    if (p[0] == '0' && p[1] == 'X')
        p += 2;
    uint32_t value = 0;
    for (; *p != '\0'; ++p)
    {
        int digit;
        if (*p >= '0' && *p <= '9')
            digit = *p - '0';
        else if (*p >= 'A' && *p <= 'F')
            digit = *p - 'A' + 10;
        else
            break;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return value;
}

uint32_t KMRUploadFileDlg::_ConvertStringToInt(KMRString text_i)
{
    if (text_i.Find("0x") >= 0)
    {
        text_i.Replace("0x", "");
        return _httoi(text_i.GetString());
    }
    return static_cast<uint32_t>(std::strtoul(text_i.GetString(), nullptr, 10));
}

bool KMRUploadFileDlg::ReadScript(const KMRString& path_i, std::vector<ScriptFileStruc>& items_o)
{
    items_o.clear();
    try
    {
        KMRXMLDocument document;
        document.Load(path_i);
        const KMRXMLNodeList nodes = document.SelectNodes("FirmwareUploadScript/UploadItem");
        for (long i = 0; i < nodes.GetLength(); ++i)
        {
            const KMRXMLNode node = nodes.GetItem(i);
            ScriptFileStruc item;
            item.m_ucFunction = static_cast<uint8_t>(_ConvertStringToInt(node.GetSingleAttribute("FunctionByte")));
            item.m_strFileName = node.GetSingleAttribute("FileName");
            item.m_ulContentID = _ConvertStringToInt(node.GetSingleAttribute("ContentID"));
            item.m_bDeleteBeforeUpload =
                ::strcasecmp(node.GetSingleAttribute("DeleteBeforeUpload").GetString(), "true") == 0;
            item.m_ucFileFormat = static_cast<uint8_t>(_ConvertStringToInt(node.GetSingleAttribute("FileFormat")));
            items_o.push_back(item);
        }
        return true;
    }
    catch (...)
    {
        return false;
    }
}

void KMRUploadFileDlg::UploadFile(uint32_t cid_i, const KMRString& path_i)
{
    if (m_pEngine == nullptr)
        throw KMRExceptionBase("KMRUploadFileDlg::UploadFile", "Please connect to the slave.");
    const KMRString extension = GetExtension(path_i);
    if (extension.CompareNoCase(".bmp") == 0)
    {
        if (m_ucSignType == 0)
            throw KMRExceptionBase("FirmwareUpload::UploadBitmap", "Please select a plattform format");
        m_pEngine->UploadBitmap(path_i, cid_i, m_ucSignType);
    }
    else if (extension.CompareNoCase(".xml") == 0)
        _ProcessUploadScript();
    else if (extension.CompareNoCase(".klbmp") == 0)
        m_pEngine->UploadCidOrConfigFile(path_i, cid_i, 0);
    else
        m_pEngine->UploadCidOrConfigFile(path_i, cid_i, 1);
}

void KMRUploadFileDlg::_ProcessUploadScript()
{
    _RunScript(m_strFilePath, true);
}

bool KMRUploadFileDlg::_ProcessUploadScriptNoGUI(KMRString path_i)
{
    if (m_pEngine == nullptr)
        return false;
    return _RunScript(path_i, false);
}

bool KMRUploadFileDlg::_RunScript(const KMRString& path_i, bool interactive_i)
{
    if (m_pEngine == nullptr)
        throw KMRExceptionBase("UploadScript", "Please connect to the slave.");
    FirmwareUpload& engine = *m_pEngine;
    if (interactive_i)
    {
        try
        {
            engine._PollControllerUSERMode(2, static_cast<uint32_t>(engine.GetResponseTimeout()));
        }
        catch (...)
        {
        }
    }
    std::vector<ScriptFileStruc> items;
    if (!ReadScript(path_i, items))
    {
        // A script that cannot be read must not count as done.
        if (interactive_i)
            throw KMRExceptionBase("UploadScript", "ERROR: could not read the upload script " + path_i + "\n");
        return false;
    }
    KMRString errors;
    KMRString folder;
    for (const ScriptFileStruc& item : items)
    {
        switch (item.m_ucFunction)
        {
        case 0:
        {
            if (item.m_bDeleteBeforeUpload)
                engine.DeleteContentID(item.m_ulContentID);
            try
            {
                const bool bitmapFile = GetExtension(item.m_strFileName).CompareNoCase(".bmp") == 0;
                if (item.m_ucFileFormat == 1 && !bitmapFile)
                    engine.UploadCidOrConfigFile(item.m_strFileName, item.m_ulContentID, 1);
                else if (item.m_ucFileFormat == 5)
                    engine.UploadCidOrConfigFile(item.m_strFileName, item.m_ulContentID, 5);
                else
                    engine.UploadBitmap(item.m_strFileName, item.m_ulContentID, item.m_ucFileFormat);
            }
            catch (...)
            {
                if (!interactive_i)
                {
                    if (item.m_bDeleteBeforeUpload)
                        engine.DeleteContentID(item.m_ulContentID);
                    return false;
                }
                errors.AppendFormat("ERROR: could not upload \"%s\" at ContentID 0x%x\n", item.m_strFileName.GetString(),
                                    item.m_ulContentID);
            }
            break;
        }
        case 1:
        {
            if (folder.IsEmpty())
                folder = m_rUI.PickFolder("Pick a Directory");
            if (folder.IsEmpty())
                break;
            const KMRString target = KMRString::Formatted("%s/0x%04X.kl4700", folder.GetString(), item.m_ulContentID);
            m_rUI.SetWaitCursor(true);
            try
            {
                engine.DownloadContent(target, item.m_ulContentID, item.m_ucFileFormat);
                m_rUI.SetWaitCursor(false);
            }
            catch (...)
            {
                m_rUI.SetWaitCursor(false);
                if (!interactive_i)
                    return false;
                errors.AppendFormat("ERROR: could not downlaod %s  (ContentID may not available on device)\n",
                                    target.GetString());
            }
            break;
        }
        case 2: engine.DeleteContentID(item.m_ulContentID); break;
        case 3:
            if (!interactive_i)
                break;
            try
            {
                engine.CheckIfCidExists(item.m_ulContentID);
            }
            catch (...)
            {
                errors.AppendFormat("ERROR: content 0x%x is not available!\n", item.m_ulContentID);
            }
            break;
        default: break;
        }
    }
    if (!errors.IsEmpty())
        throw KMRExceptionBase("UploadScript", errors);
    return true;
}
