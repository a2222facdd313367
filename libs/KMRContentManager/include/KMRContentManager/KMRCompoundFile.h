// KMRCompoundFile: a compound content file, the timed frames of an animated content.
#pragma once

#include <KMRContentManager/KMRCompoundFileFrame.h>
#include <KMRContentManager/KMRContentManagerExport.h>

#include <KMRBase/KMRString.h>

#include <vector>

// Reads a file of the form
//   <CompoundContent><Content><Frame><File>f1.bmp</File><Delay>10</Delay></Frame>...</Content></CompoundContent>
// into a list of frames whose file names are taken relative to the compound file's folder.
// The object owns its frames; copies own copies of them.
// Thread safety: not shared between threads while modified.
class KMRContentManager_API KMRCompoundFile
{
public:
    KMRCompoundFile();
    KMRCompoundFile(const KMRCompoundFile& other_i);
    KMRCompoundFile& operator=(const KMRCompoundFile& other_i);
    virtual ~KMRCompoundFile();

    // Reads the file; never throws. Any earlier frames are dropped first, so after
    // false the object holds no frames (file missing, not well formed, no
    // "CompoundContent" root, or an error while reading the frames).
    bool Open(const KMRString& sPath_i);
    // Number of frames of the last Open (16 bits).
    unsigned short GetFrameCount() const;
    // The frames in display order; the pointers stay owned by this object and are
    // valid until the next Open, assignment or destruction.
    const std::vector<KMRCompoundFileFrame*>& GetFrameList() const;
    // Not supported: both answer false and change nothing.
    bool Save(const KMRString& sPath_i);
    bool Close();

private:
    void _DeleteFrames();
    void _CopyFrames(const KMRCompoundFile& other_i);

    std::vector<KMRCompoundFileFrame*> m_FrameList; // owned
    unsigned short m_wFrameCount;
    KMRString m_sPath;
};
