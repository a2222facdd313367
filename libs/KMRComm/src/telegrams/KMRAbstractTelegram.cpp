// KMRAbstractTelegram: default behaviour of the telegram base, the hexadecimal dump and the kind texts.
#include <KMRComm/KMRAbstractTelegram.h>

#include <algorithm>

KMRAbstractTelegram::KMRAbstractTelegram(ETelegram eTelegram_i) : m_eTelegram(eTelegram_i) {}

KMRAbstractTelegram::~KMRAbstractTelegram() = default;

void KMRAbstractTelegram::Release()
{
    delete this;
}

void KMRAbstractTelegram::Release(KMRAbstractTelegram* pTelegram_i)
{
    if (pTelegram_i != nullptr)
        pTelegram_i->Release();
}

void KMRAbstractTelegram::ChangeBusyTag(unsigned char /*tag_i*/) {}

bool KMRAbstractTelegram::IsTelegramBusy()
{
    return false;
}

void KMRAbstractTelegram::ToString(KMRString& /*text_o*/) const {}

void KMRAbstractTelegram::ToString(char* buffer_o, unsigned long size_i) const
{
    if (buffer_o == nullptr || size_i == 0)
        return;
    static const char DIGITS[] = "0123456789ABCDEF";
    const unsigned char* frame = GetTelegramStream();
    const unsigned long frameLen = frame != nullptr ? GetSize() : 0;
    // Three characters per byte, cut (even inside a byte) so the NUL still fits.
    const unsigned long chars = std::min(frameLen * 3, size_i - 1);
    for (unsigned long i = 0; i < chars; ++i)
    {
        const unsigned char byte = frame[i / 3];
        switch (i % 3)
        {
        case 0:
            buffer_o[i] = DIGITS[byte >> 4];
            break;
        case 1:
            buffer_o[i] = DIGITS[byte & 0x0F];
            break;
        default:
            buffer_o[i] = ' ';
            break;
        }
    }
    buffer_o[chars] = '\0';
}

KMRString KMRAbstractTelegram::GetParameter1()
{
    return KMRString();
}

KMRString KMRAbstractTelegram::GetParameter2()
{
    return KMRString();
}

int KMRAbstractTelegram::GetIntParameter() const
{
    return -1;
}

KMRString KMRAbstractTelegram::GetStatusReturnString()
{
    return KMRString();
}

KMRString KMRAbstractTelegram::GetStatusInformationString()
{
    return KMRString();
}

unsigned int KMRAbstractTelegram::GetStatusReturn() const
{
    return 0;
}

bool KMRAbstractTelegram::IsTelegramString() const
{
    return false;
}

std::string KMRAbstractTelegram::GetTelegramTypeString() const
{
    // Texts of kinds 1 to 72; the empty entries have no text. Kind 12 shares the text
    // of kind 11, and a few texts carry the enumerator's "E" prefix: the traffic logs
    // and the tools reading them use exactly these.
    static const char* const TEXTS[] = {
        "",
        "Poll", "OnPoll",
        "SetSlaveAddress", "OnSetSlaveAddress",
        "GetSlaveAddress", "OnGetSlaveAddress",
        "SetGroupAddress", "OnSetGroupAddress",
        "GetGroupAddress", "OnGetGroupAddress",
        "SetBrightness", "SetBrightness",
        "GetBrightness", "OnGetBrightness",
        "SetDateTime", "OnSetDateTime",
        "GetDateTime", "OnGetDateTime",
        "GetSoftwareVersion", "OnGetSoftwareVersion",
        "SetDigitalOutput", "OnSetDigitalOutput",
        "GetCategoryValues", "OnGetCategoryValues",
        "", "",
        "GetControllerID", "OnGetControllerID",
        "ResetController", "OnResetController",
        "DeleteContent", "OnDeleteContent",
        "DeleteAllContent", "OnDeleteAllContent",
        "GetContentSize", "OnGetContentSize",
        "StartUpload", "OnStartUpload",
        "StopUpload", "OnStopUpload",
        "StartDownload", "OnStartDownload",
        "StopDownload", "OnStopDownload",
        "SetContent", "OnSetContent",
        "GetContent", "OnGetContent",
        "ActivateContent", "OnActivateContent",
        "EPerformLEDTest", "EOnPerformLEDTest",
        "SetWigWagTime", "OnSetWigWagTime",
        "GetContentDataSize", "OnGetContentDataSize",
        "SetWigWagMode", "OnSetWigWagMode",
        "SyncWigWag", "OnSyncWigWag",
        "GetFreeMemory", "EOnGetFreeMemory",
        "", "", "", "", "", "", "", "",
        "EnableAutoDimming", "OnEnableAutoDimming",
    };
    static_assert(sizeof(TEXTS) / sizeof(TEXTS[0]) == 73, "one text per kind 0 to 72");
    const auto kind = static_cast<unsigned int>(m_eTelegram);
    if (kind >= sizeof(TEXTS) / sizeof(TEXTS[0]))
        return std::string();
    return TEXTS[kind];
}
