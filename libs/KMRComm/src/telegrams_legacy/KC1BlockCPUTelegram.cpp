// KC1BlockCPUTelegram: the block-CPU command table and the checks common to its requests and responses.
#include <KMRComm/KC1BlockCPUTelegram.h>

#include <KMRComm/KCTelegram.h>

KC1BlockCPUTelegram::KC1BlockCPUTelegram(ETelegram eTelegram_i) : KMRAbstractTelegram(eTelegram_i) {}

KC1BlockCPUTelegram::~KC1BlockCPUTelegram() = default;

bool KC1BlockCPUTelegram::IsChecksumCorrect(unsigned char chk_i, const unsigned char* p_i, unsigned int n_i) const
{
    return CalcChecksum(p_i, n_i) == chk_i;
}

bool KC1BlockCPUTelegram::IsTelegramValid(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/)
{
    return false;
}

unsigned char KC1BlockCPUTelegram::CalcChecksum(const unsigned char* p_i, unsigned int n_i)
{
    return KCTelegram::CalcChecksum(p_i, n_i);
}

ETelegram KC1BlockCPUTelegram::GetRequestTelegramFromCmd(unsigned char cmd_i)
{
    switch (cmd_i)
    {
    case CMD_POLL:
        return EPoll;
    case CMD_BLOCK_SENDPICTURE0:
    case CMD_SENDPICTURE:
        return ESetContent;
    case CMD_STARTMESSAGE:
    case CMD_STOPMESSAGE:
    case CMD_BLOCK_SYNCPICTURE:
        return EActivateContent;
    case CMD_GETLEDSTATUS:
    case CMD_REQUESTLEDTEST:
    case CMD_BLOCK_GETLEDSTATUS: // also CMD_BLOCK_REQUESTLEDTEST
        return EPerformLEDTest;
    case CMD_GETINTENSITY:
        return EGetBrightness;
    case CMD_SENDCONFIG:
        return ESetConfiguration;
    case CMD_SETINTENSITY:
    case CMD_BLOCK_SETINTENSITY:
        return ESetBrightness;
    case CMD_GETMESSAGE:
        return EGetActiveContentID;
    case CMD_GETPICTURE:
        return EGetContent;
    default:
        return ENone;
    }
}

ETelegram KC1BlockCPUTelegram::DetermineSendTelegramTypeFromCmd() const
{
    return GetCmd() == CMD_POLL ? EPoll : ENone;
}
