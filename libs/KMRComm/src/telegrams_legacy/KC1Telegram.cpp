// KC1Telegram: the KC1 command table and the checks common to KC1 requests and responses.
#include <KMRComm/KC1Telegram.h>

#include <KMRComm/KCTelegram.h>

KC1Telegram::KC1Telegram(ETelegram eTelegram_i) : KMRAbstractTelegram(eTelegram_i) {}

KC1Telegram::~KC1Telegram() = default;

bool KC1Telegram::IsChecksumCorrect(unsigned char chk_i, const unsigned char* p_i, unsigned int n_i) const
{
    return CalcChecksum(p_i, n_i) == chk_i;
}

bool KC1Telegram::IsTelegramValid(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/)
{
    return false;
}

unsigned char KC1Telegram::CalcChecksum(const unsigned char* p_i, unsigned int n_i)
{
    return KCTelegram::CalcChecksum(p_i, n_i);
}

ETelegram KC1Telegram::GetRequestTelegramFromCmd(unsigned char cmd_i)
{
    switch (cmd_i)
    {
    case CMD_POLL:
        return EPoll;
    case CMD_SENDPICTURE:
        return ESetContent;
    case CMD_STARTMESSAGE:
    case CMD_STOPMESSAGE:
        return EActivateContent;
    case CMD_GETLEDSTATUS:
    case CMD_REQUESTLEDTEST:
        return EPerformLEDTest;
    case CMD_GETINTENSITY:
        return EGetBrightness;
    case CMD_SENDCONFIG:
        return ESetConfiguration;
    case CMD_SETINTENSITY:
        return ESetBrightness;
    case CMD_GETMESSAGE:
        return EGetActiveContentID;
    case CMD_GETPICTURE:
        return EGetContent;
    default:
        return ENone;
    }
}

ETelegram KC1Telegram::DetermineSendTelegramTypeFromCmd() const
{
    return GetCmd() == CMD_POLL ? EPoll : ENone;
}
