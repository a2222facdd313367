// KMRCompoundFileFrame: one frame of a compound content file.
#pragma once

#include <KMRContentManager/KMRContentManagerExport.h>

#include <KMRBase/KMRString.h>

// A picture file and how long it stays on the sign (the unit is the consumer's).
// A plain value: copying copies both fields.
// Thread safety: not shared between threads while modified.
class KMRContentManager_API KMRCompoundFileFrame
{
public:
    KMRCompoundFileFrame(const KMRString& sFileName_i, unsigned short wDelay_i);
    KMRCompoundFileFrame(const KMRCompoundFileFrame& other_i) = default;
    KMRCompoundFileFrame& operator=(const KMRCompoundFileFrame& other_i) = default;
    virtual ~KMRCompoundFileFrame();

    // Full path of the frame's picture file.
    const KMRString& GetFileName() const { return m_sFileName; }
    unsigned short GetDelay() const { return m_wDelay; }

private:
    KMRString m_sFileName;
    unsigned short m_wDelay;
};
