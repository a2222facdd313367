// KC1ReceiveTelegram: copying, validating and splitting KC1 response frames.
#include <KMRComm/KC1ReceiveTelegram.h>

#include <KMRComm/KMRCommException.h>

#include <KMRBase/KMRException.h>

KC1ReceiveTelegram::KC1ReceiveTelegram() = default;

KC1ReceiveTelegram::KC1ReceiveTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    InitializeTelegram(pTelegram_i, iTelegramLen_i);
}

KC1ReceiveTelegram::KC1ReceiveTelegram(const KC1ReceiveTelegram& other_i) = default;
KC1ReceiveTelegram& KC1ReceiveTelegram::operator=(const KC1ReceiveTelegram& other_i) = default;
KC1ReceiveTelegram::~KC1ReceiveTelegram() = default;

void KC1ReceiveTelegram::InitializeTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    if (!IsTelegramValid(pTelegram_i, iTelegramLen_i))
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KC1ReceiveTelegram::InitializeTelegram",
                  "IsTelegramValid (pTelegram_i, iTelegramLen_i)");
    if (!m_Frame.IsEmpty())
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "KC1ReceiveTelegram::InitializeTelegram", "m_pTelegram == NULL");
    m_Frame.Assign(pTelegram_i, iTelegramLen_i);
}

unsigned short KC1ReceiveTelegram::GetCount() const
{
    if (m_Frame.Size() < 5)
        KMR_COMM_THROW(KMR_COMM_EXC_TELEGRAM, "KC1ReceiveTelegram::GetCount", "Unable to retrieve count byte");
    return m_Frame.Count(0x00FF);
}

ETelegramState KC1ReceiveTelegram::SplitTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                                 unsigned int& consumed_o)
{
    return KC1Frame::SplitResponse(pTelegram_i, iTelegramLen_i, consumed_o);
}

bool KC1ReceiveTelegram::IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    return KC1Frame::FindResponseDefect(pTelegram_i, iTelegramLen_i) == nullptr;
}

ETelegram KC1ReceiveTelegram::DetermineTelegramFromCmd(unsigned char /*cmd_i*/) const
{
    return ENone;
}

bool KC1ReceiveTelegram::FindTelegramStart(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i,
                                           unsigned int start_i, unsigned int& pos_o)
{
    return KC1Frame::FindTelegramStart(pTelegram_i, iTelegramLen_i, start_i, pos_o);
}
