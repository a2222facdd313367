// KC1BlockCPUReceiveTelegram: copying, validating and splitting KC1 block-CPU response frames.
#include <KMRComm/KC1BlockCPUReceiveTelegram.h>

#include <KMRComm/KMRCommException.h>

#include <KMRBase/KMRException.h>

KC1BlockCPUReceiveTelegram::KC1BlockCPUReceiveTelegram() = default;

KC1BlockCPUReceiveTelegram::KC1BlockCPUReceiveTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    InitializeTelegram(pTelegram_i, iTelegramLen_i);
}

KC1BlockCPUReceiveTelegram::KC1BlockCPUReceiveTelegram(const KC1BlockCPUReceiveTelegram& other_i) = default;
KC1BlockCPUReceiveTelegram& KC1BlockCPUReceiveTelegram::operator=(const KC1BlockCPUReceiveTelegram& other_i) = default;
KC1BlockCPUReceiveTelegram::~KC1BlockCPUReceiveTelegram() = default;

void KC1BlockCPUReceiveTelegram::InitializeTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    if (!IsTelegramValid(pTelegram_i, iTelegramLen_i))
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KC1BlockCPUReceiveTelegram::InitializeTelegram",
                  "IsTelegramValid (pTelegram_i, iTelegramLen_i)");
    if (!m_Frame.IsEmpty())
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KC1BlockCPUReceiveTelegram::InitializeTelegram", "m_pTelegram == NULL");
    m_Frame.Assign(pTelegram_i, iTelegramLen_i);
}

unsigned short KC1BlockCPUReceiveTelegram::GetCount() const
{
    if (m_Frame.Size() < 5)
        KMR_COMM_THROW(KMR_COMM_EXC_TELEGRAM, "KC1BlockCPUReceiveTelegram::GetCount", "Unable to retrieve count byte");
    return m_Frame.Count(0x00FF);
}

ETelegramState KC1BlockCPUReceiveTelegram::SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                                         unsigned int& consumed_o)
{
    return KC1Frame::SplitResponse(pTelegram_i, iTelegramLen_i, consumed_o);
}

bool KC1BlockCPUReceiveTelegram::IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    return KC1Frame::FindResponseDefect(pTelegram_i, iTelegramLen_i) == nullptr;
}

ETelegram KC1BlockCPUReceiveTelegram::DetermineTelegramFromCmd(unsigned char /*cmd_i*/) const
{
    return ENone;
}

bool KC1BlockCPUReceiveTelegram::FindTelegramStart(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                                   unsigned int start_i, unsigned int& pos_o)
{
    return KC1Frame::FindTelegramStart(pTelegram_i, iTelegramLen_i, start_i, pos_o);
}
