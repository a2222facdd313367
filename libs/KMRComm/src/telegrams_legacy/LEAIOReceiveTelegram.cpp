// LEAIOReceiveTelegram: checking, copying and reading LEAIO response frames.
#include <KMRComm/LEAIOReceiveTelegram.h>

#include <KMRComm/KMRCommException.h>

#include <KMRBase/KMRException.h>

#include <cstring>

namespace
{
const char* const INCOMPLETE = "Telegram incomplete";
} // namespace

LEAIOReceiveTelegram::LEAIOReceiveTelegram() = default;

LEAIOReceiveTelegram::LEAIOReceiveTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    InitializeTelegram(pTelegram_i, iTelegramLen_i);
}

LEAIOReceiveTelegram::LEAIOReceiveTelegram(const LEAIOReceiveTelegram& other_i) = default;
LEAIOReceiveTelegram& LEAIOReceiveTelegram::operator=(const LEAIOReceiveTelegram& other_i) = default;
LEAIOReceiveTelegram::~LEAIOReceiveTelegram() = default;

void LEAIOReceiveTelegram::InitializeTelegram(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    const char* defect = FindTelegramDefect(pTelegram_i, iTelegramLen_i);
    if (defect == INCOMPLETE)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "LEAIOReceiveTelegram::InitializeTelegram",
                  "IsTelegramValid (pTelegram_i, iTelegramLen_i)");
    if (defect != nullptr)
        KMR_COMM_THROW(KMR_COMM_EXC_TELEGRAM, "LEAIOReceiveTelegram::InitializeTelegram", defect);
    if (m_pTelegram)
        KMR_THROW(KMR_EXC_PLAUSIBILITY, "LEAIOReceiveTelegram::InitializeTelegram", "m_pTelegram == NULL");
    _AssignFrame(pTelegram_i, iTelegramLen_i);
}

const char* LEAIOReceiveTelegram::FindTelegramDefect(const unsigned char* p_i, unsigned int len_i)
{
    if (p_i == nullptr || len_i == 0)
        return INCOMPLETE;
    if (p_i[0] != RESPONSE_ADDRESS)
        return "Address byte must be 0x80";
    if (len_i < 2)
        return INCOMPLETE;
    if (p_i[1] != RESPONSE_TAG)
        return "Tag byte must be 0x3C";
    if (len_i < 3)
        return INCOMPLETE;
    if (p_i[len_i - 1] != TERMINATOR)
        return "CR byte must be 0x00";
    return nullptr;
}

ETelegramState LEAIOReceiveTelegram::SplitTelegram(const unsigned char* p_i, unsigned int len_i,
                                                   unsigned int& consumed_o)
{
    const char* defect = FindTelegramDefect(p_i, len_i);
    if (defect == nullptr)
    {
        consumed_o = len_i;
        return ETelegramComplete;
    }
    if (defect == INCOMPLETE)
        return ETelegramIncomplete;
    // A wrong marker byte: drop up to the next possible response start.
    unsigned int pos = 0;
    consumed_o = FindTelegramStart(p_i, len_i, 1, pos) ? pos : len_i;
    return ETelegramInvalid;
}

bool LEAIOReceiveTelegram::IsTelegramValid(const unsigned char* pTelegram_i, unsigned int iTelegramLen_i)
{
    return FindTelegramDefect(pTelegram_i, iTelegramLen_i) == nullptr;
}

ETelegram LEAIOReceiveTelegram::DetermineTelegramFromCmd(unsigned char cmd_i) const
{
    return _IsCategoryCommand(cmd_i) ? EOnGetCategoryValues : ENone;
}

unsigned short LEAIOReceiveTelegram::GetCount() const
{
    return m_iTelegramLen >= 6 ? static_cast<unsigned short>(m_iTelegramLen - 6) : 0;
}

const unsigned char* LEAIOReceiveTelegram::GetData() const
{
    return GetCount() > 0 ? m_pTelegram.get() + 3 : nullptr;
}

unsigned short LEAIOReceiveTelegram::GetCountEx() const
{
    return m_iTelegramLen >= 5 ? static_cast<unsigned short>(m_iTelegramLen - 5) : 0;
}

const unsigned char* LEAIOReceiveTelegram::GetDataEx() const
{
    return GetCountEx() > 0 ? m_pTelegram.get() + 2 : nullptr;
}

bool LEAIOReceiveTelegram::FindTelegramStart(const unsigned char* p_i, unsigned int len_i, unsigned int start_i,
                                             unsigned int& pos_o)
{
    if (p_i == nullptr || start_i >= len_i)
        return false;
    const void* hit = std::memchr(p_i + start_i, RESPONSE_ADDRESS, len_i - start_i);
    if (hit == nullptr)
        return false;
    pos_o = static_cast<unsigned int>(static_cast<const unsigned char*>(hit) - p_i);
    return true;
}
