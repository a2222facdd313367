// KMRCompoundFile: a compound content file, the timed frames of an animated content.
#include <KMRContentManager/KMRCompoundFile.h>

#include <KMRBase/KMRFileHelper.h>

#include <KMRXML/KMRXMLDocument.h>
#include <KMRXML/KMRXMLNodeList.h>

#include <climits>
#include <cstdlib>
#include <memory>

namespace
{
// Decimal text as the frames store it: leading white space and a sign, digits up to
// the first other character, no digits give 0; 32-bit range, then cut to 16 bits.
unsigned short ParseDelay(const KMRString& sText_i)
{
    const char* text = sText_i.GetString();
    char* end = nullptr;
    long long value = std::strtoll(text, &end, 10);
    if (end == text)
        return 0;
    if (value < INT_MIN)
        value = INT_MIN;
    if (value > INT_MAX)
        value = INT_MAX;
    return static_cast<unsigned short>(value);
}

} // namespace

KMRCompoundFile::KMRCompoundFile() : m_wFrameCount(0) {}

KMRCompoundFile::KMRCompoundFile(const KMRCompoundFile& other_i)
    : m_wFrameCount(other_i.m_wFrameCount), m_sPath(other_i.m_sPath)
{
    try
    {
        _CopyFrames(other_i);
    }
    catch (...)
    {
        _DeleteFrames();
        throw;
    }
}

KMRCompoundFile& KMRCompoundFile::operator=(const KMRCompoundFile& other_i)
{
    if (this != &other_i)
    {
        // Copy into a new object first so a failure leaves this one as it was.
        KMRCompoundFile copy(other_i);
        m_FrameList.swap(copy.m_FrameList);
        m_wFrameCount = copy.m_wFrameCount;
        m_sPath = copy.m_sPath;
    }
    return *this;
}

KMRCompoundFile::~KMRCompoundFile()
{
    _DeleteFrames();
}

bool KMRCompoundFile::Open(const KMRString& sPath_i)
{
    _DeleteFrames();
    m_wFrameCount = 0;
    m_sPath.Empty();
    try
    {
        KMRXMLDocument document;
        document.Load(sPath_i);
        if (document.IsEmpty())
            return false;
        const KMRXMLNode root = document.SelectSingleNode("CompoundContent");
        if (root.IsEmpty())
            return false;
        const KMRXMLNodeList frames = root.SelectNodes("Content/Frame");
        const KMRString folder = KMRFileHelper::GetFolder(sPath_i);
        const long length = frames.GetLength();
        m_FrameList.reserve(static_cast<size_t>(length));
        for (long i = 0; i < length; ++i)
        {
            const KMRXMLNode frame = frames.GetItem(i);
            const KMRString file = frame.SelectSingleNode("File").GetText();
            const KMRString delay = frame.SelectSingleNode("Delay").GetText();
            auto entry = std::make_unique<KMRCompoundFileFrame>(folder + file, ParseDelay(delay));
            m_FrameList.push_back(entry.get());
            entry.release();
        }
        m_wFrameCount = static_cast<unsigned short>(length);
        m_sPath = sPath_i;
        return true;
    }
    catch (...)
    {
        _DeleteFrames();
        m_wFrameCount = 0;
        return false;
    }
}

unsigned short KMRCompoundFile::GetFrameCount() const
{
    return m_wFrameCount;
}

const std::vector<KMRCompoundFileFrame*>& KMRCompoundFile::GetFrameList() const
{
    return m_FrameList;
}

bool KMRCompoundFile::Save(const KMRString&)
{
    return false;
}

bool KMRCompoundFile::Close()
{
    return false;
}

void KMRCompoundFile::_DeleteFrames()
{
    for (KMRCompoundFileFrame* frame : m_FrameList)
        delete frame;
    m_FrameList.clear();
}

void KMRCompoundFile::_CopyFrames(const KMRCompoundFile& other_i)
{
    m_FrameList.reserve(other_i.m_FrameList.size());
    for (const KMRCompoundFileFrame* frame : other_i.m_FrameList)
    {
        auto copy = std::make_unique<KMRCompoundFileFrame>(*frame);
        m_FrameList.push_back(copy.get());
        copy.release();
    }
}
