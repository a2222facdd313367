// KMRCompoundFileFrame: one frame of a compound content file.
#include <KMRContentManager/KMRCompoundFileFrame.h>

KMRCompoundFileFrame::KMRCompoundFileFrame(const KMRString& sFileName_i, unsigned short wDelay_i)
    : m_sFileName(sFileName_i), m_wDelay(wDelay_i)
{
}

KMRCompoundFileFrame::~KMRCompoundFileFrame() = default;
