// KMRUnknownTelegram: an owned copy of uninterpreted bytes.
#include <KMRComm/KMRUnknownTelegram.h>

#include <cstring>

namespace
{
std::unique_ptr<unsigned char[]> CopyOf(const unsigned char* p_i, unsigned int len_i)
{
    if (p_i == nullptr || len_i == 0)
        return nullptr;
    std::unique_ptr<unsigned char[]> copy(new unsigned char[len_i]);
    std::memcpy(copy.get(), p_i, len_i);
    return copy;
}
} // namespace

KMRUnknownTelegram::KMRUnknownTelegram(const unsigned char* p_i, unsigned int len_i)
    : m_pData(CopyOf(p_i, len_i)), m_iLen(m_pData ? len_i : 0)
{
}

KMRUnknownTelegram::KMRUnknownTelegram(const KMRUnknownTelegram& other_i)
    : KMRAbstractTelegram(other_i), m_pData(CopyOf(other_i.m_pData.get(), other_i.m_iLen)), m_iLen(other_i.m_iLen)
{
}

KMRUnknownTelegram& KMRUnknownTelegram::operator=(const KMRUnknownTelegram& other_i)
{
    if (this != &other_i)
    {
        KMRAbstractTelegram::operator=(other_i);
        m_pData = CopyOf(other_i.m_pData.get(), other_i.m_iLen);
        m_iLen = other_i.m_iLen;
    }
    return *this;
}

KMRUnknownTelegram::~KMRUnknownTelegram() = default;

ETelegramState KMRUnknownTelegram::SplitTelegram(const unsigned char* /*pTelegram_i*/, unsigned int iTelegramLen_i,
                                                 unsigned int& consumed_o)
{
    consumed_o = iTelegramLen_i;
    return iTelegramLen_i == 0 ? ETelegramIncomplete : ETelegramComplete;
}

bool KMRUnknownTelegram::IsChecksumCorrect(unsigned char /*chk_i*/, const unsigned char* /*p_i*/,
                                           unsigned int /*n_i*/) const
{
    return true;
}

bool KMRUnknownTelegram::IsTelegramValid(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/)
{
    return true;
}
