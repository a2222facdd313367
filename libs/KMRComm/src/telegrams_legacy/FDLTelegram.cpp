// FDLTelegram: the function-code table and the frame check sequence of FDL frames.
#include <KMRComm/FDLTelegram.h>

FDLTelegram::FDLTelegram(ETelegram eTelegram_i) : KMRAbstractTelegram(eTelegram_i) {}

FDLTelegram::~FDLTelegram() = default;

bool FDLTelegram::IsChecksumCorrect(unsigned char check_i, const unsigned char* p_i, unsigned int n_i) const
{
    return CalcChecksum(p_i, n_i) == check_i;
}

bool FDLTelegram::IsTelegramValid(const unsigned char* /*pTelegram_i*/, unsigned int /*iTelegramLen_i*/)
{
    return false;
}

unsigned char FDLTelegram::CalcChecksum(const unsigned char* p_i, unsigned int n_i)
{
    if (p_i == nullptr)
        return 0;
    unsigned char sum = 0;
    for (unsigned int i = 0; i < n_i; ++i)
        sum = static_cast<unsigned char>(sum + p_i[i]);
    return sum;
}

unsigned char FDLTelegram::_GetFunctionCodeFromFDLType(EFDLType eType_i)
{
    switch (eType_i)
    {
    case EFDL_SDN_HIGH:
        return 0x46;
    case EFDL_SDN_LOW:
        return 0x44;
    case EFDL_SDA_HIGH:
        return 0x45;
    case EFDL_SDA_LOW:
        return 0x43;
    case EFDL_SRD_HIGH:
        return 0x4D;
    case EFDL_SRD_LOW:
        return 0x4C;
    case EFDL_FUNCTION7:
        return 0x47;
    case EFDL_REQUEST_STATUS:
        return 0x49;
    default:
        return 0x40;
    }
}
