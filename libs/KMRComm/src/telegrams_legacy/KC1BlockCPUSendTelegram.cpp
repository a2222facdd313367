// KC1BlockCPUSendTelegram: building KC1 block-CPU request frames.
#include <KMRComm/KC1BlockCPUSendTelegram.h>

KC1BlockCPUSendTelegram::KC1BlockCPUSendTelegram() = default;

KC1BlockCPUSendTelegram::KC1BlockCPUSendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                                 const unsigned char* data_i, unsigned int len_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, data_i, len_i, nullptr, 0);
}

KC1BlockCPUSendTelegram::KC1BlockCPUSendTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                                 const unsigned char* data1_i, unsigned int len1_i,
                                                 const unsigned char* data2_i, unsigned int len2_i)
{
    InitializeTelegram(addr_i, tag_i, cmd_i, data1_i, len1_i, data2_i, len2_i);
}

KC1BlockCPUSendTelegram::KC1BlockCPUSendTelegram(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/)
{
}

KC1BlockCPUSendTelegram::KC1BlockCPUSendTelegram(const KC1BlockCPUSendTelegram& other_i) = default;
KC1BlockCPUSendTelegram& KC1BlockCPUSendTelegram::operator=(const KC1BlockCPUSendTelegram& other_i) = default;
KC1BlockCPUSendTelegram::~KC1BlockCPUSendTelegram() = default;

void KC1BlockCPUSendTelegram::InitializeTelegram(unsigned char addr_i, unsigned char tag_i, unsigned char cmd_i,
                                                 const unsigned char* data1_i, unsigned int len1_i,
                                                 const unsigned char* data2_i, unsigned int len2_i)
{
    m_Frame.BuildRequest(addr_i, tag_i, cmd_i, cmd_i == CMD_POLL, data1_i, len1_i, data2_i, len2_i,
                         "KC1BlockCPUSendTelegram::InitializeTelegram");
    m_eTelegram = DetermineTelegramFromCmd(cmd_i);
}

ETelegramState KC1BlockCPUSendTelegram::SplitTelegram(const unsigned char* /*pTelegram_i*/, unsigned int iTelegramLen_i,
                                                      unsigned int& consumed_o)
{
    consumed_o = iTelegramLen_i;
    return ETelegramInvalid;
}

ETelegram KC1BlockCPUSendTelegram::DetermineTelegramFromCmd(unsigned char cmd_i) const
{
    return GetRequestTelegramFromCmd(cmd_i);
}
