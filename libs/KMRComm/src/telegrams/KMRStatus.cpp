// KMRStatus: combining and comparing status records.
#include <KMRComm/KMRStatus.h>

void KMRStatus::MaskStatus(unsigned char& status1_io, unsigned char& error1_io, unsigned char& error2_io) const
{
    status1_io |= m_ucStatus1;
    error1_io |= m_ucError1;
    error2_io |= m_ucError2;
}

bool KMRStatus::IsEqual(const KMRStatus& other_i) const
{
    return m_ucStatus1 == other_i.m_ucStatus1 && m_ucError1 == other_i.m_ucError1 &&
           m_ucError2 == other_i.m_ucError2;
}
