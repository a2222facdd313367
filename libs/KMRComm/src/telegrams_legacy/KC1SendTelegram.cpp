// KC1SendTelegram: building KC1 request frames.
#include <KMRComm/KC1SendTelegram.h>

KC1SendTelegram::KC1SendTelegram() = default;

KC1SendTelegram::KC1SendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                 const unsigned char* data_i, unsigned int len_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, data_i, len_i, nullptr, 0);
}

KC1SendTelegram::KC1SendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                 const unsigned char* data1_i, unsigned int len1_i, const unsigned char* data2_i,
                                 unsigned int len2_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, data1_i, len1_i, data2_i, len2_i);
}

KC1SendTelegram::KC1SendTelegram(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/) {}

KC1SendTelegram::KC1SendTelegram(const KC1SendTelegram& other_i) = default;
KC1SendTelegram& KC1SendTelegram::operator=(const KC1SendTelegram& other_i) = default;
KC1SendTelegram::~KC1SendTelegram() = default;

void KC1SendTelegram::InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                         const unsigned char* data1_i, unsigned int len1_i,
                                         const unsigned char* data2_i, unsigned int len2_i)
{
    m_Frame.BuildRequest(addr_i, tag_i, cmd_i, cmd_i == CMD_POLL, data1_i, len1_i, data2_i, len2_i,
                         "KC1SendTelegram::InitializeTelegram");
    m_eTelegram = DetermineTelegramFromCmd(cmd_i);
}

ETelegramState KC1SendTelegram::SplitTelegram(const unsigned char* /*pTelegram_i*/, unsigned int iTelegramLen_i,
                                              unsigned int& consumed_o)
{
    consumed_o = iTelegramLen_i;
    return ETelegramInvalid;
}

ETelegram KC1SendTelegram::DetermineTelegramFromCmd(unsigned char cmd_i) const
{
    return GetRequestTelegramFromCmd(cmd_i);
}
