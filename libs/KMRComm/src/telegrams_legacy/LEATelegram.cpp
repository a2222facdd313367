// LEATelegram: the LEA command table and the text copy shared by requests and responses.
#include <KMRComm/LEATelegram.h>

#include <algorithm>
#include <cstring>

LEATelegram::LEATelegram(ETelegram eTelegram_i) : KMRAbstractTelegram(eTelegram_i) {}

LEATelegram::~LEATelegram() = default;

bool LEATelegram::IsChecksumCorrect(unsigned char /*chk_i*/, const unsigned char* /*p_i*/, unsigned int /*n_i*/) const
{
    return true;
}

bool LEATelegram::IsTelegramValid(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/)
{
    return false;
}

ETelegram LEATelegram::GetRequestTelegramFromCmd(unsigned char cmd_i)
{
    switch (cmd_i)
    {
    case CMD_POLL:
        return EPoll;
    case CMD_SETBRIGHTNESS:
        return ESetBrightness;
    case CMD_GETBRIGHTNESS:
        return EGetBrightness;
    case CMD_GETSOFTWAREVERSION:
        return EGetSoftwareVersion;
    case CMD_RESETCONTROLLER:
        return EResetController;
    case CMD_DELETECONTENT:
        return EDeleteContent;
    case CMD_GETCONTENTSIZE:
        return EGetContentSize;
    case CMD_STARTUPLOAD:
        return EStartUpload;
    case CMD_STARTDOWNLOAD:
        return EStartDownload;
    case CMD_SETCONTENT:
        return ESetContent;
    case CMD_GETCONTENT:
        return EGetContent;
    case CMD_ACTIVATECONTENT:
        return EActivateContent;
    case CMD_PERFORMLEDTEST:
    case CMD_GETLEDTEST:
        return EPerformLEDTest;
    case CMD_SETCOMTIMEOUT:
        return ESetComTimeout;
    case CMD_GETACTIVECONTENTID:
        return EGetActiveContentID;
    case CMD_FORMATDISK:
        return EFormatDisk;
    default:
        return ENone;
    }
}

void LEATelegram::_CopyText(const KMRString& text_i, char* buffer_o, unsigned long size_i)
{
    if (buffer_o == nullptr || size_i == 0)
        return;
    const auto length = std::min<unsigned long>(static_cast<unsigned long>(text_i.GetLength()), size_i - 1);
    std::memcpy(buffer_o, text_i.GetString(), length);
    buffer_o[length] = '\0';
}
