// KMRFileVersionInfo: reads the version note a deliverable carries.
#pragma once

#include <KMRBase/KMRBaseExport.h>
#include <KMRBase/KMRString.h>

#include <array>
#include <cstdint>
#include <vector>

// The version information of one file: the fixed block (13 words in the order of a
// fixed file-information record) and twelve texts. Every program and shared library
// of the suite carries them in its ".kmr_version" ELF section, written by the build.
// Thread safety: an object is filled by Create on one thread; readers may share it after that.
class KMRBase_API KMRFileVersionInfo
{
public:
    static constexpr size_t FIXED_WORDS = 13;
    static constexpr size_t MAX_PATH_LENGTH = 260;

    KMRFileVersionInfo();
    virtual ~KMRFileVersionInfo();

    // Reads the note of the named file. Nonzero on success; on failure the object is reset.
    int Create(const char* file_i);
    // Reads the note of the module (program or shared library) that contains the address.
    int Create(const void* addressInModule_i);

    KMRString GetCompanyName() const { return m_strText[0]; }
    KMRString GetFileDescription() const { return m_strText[1]; }
    KMRString GetFileVersion() const { return m_strText[2]; }
    KMRString GetInternalName() const { return m_strText[3]; }
    KMRString GetLegalCopyright() const { return m_strText[4]; }
    KMRString GetOriginalFileName() const { return m_strText[5]; }
    KMRString GetProductName() const { return m_strText[6]; }
    KMRString GetProductVersion() const { return m_strText[7]; }
    KMRString GetComments() const { return m_strText[8]; }
    KMRString GetLegalTrademarks() const { return m_strText[9]; }
    KMRString GetPrivateBuild() const { return m_strText[10]; }
    KMRString GetSpecialBuild() const { return m_strText[11]; }

    uint32_t GetFileFlagsMask() const { return m_FixedInfo[6]; }
    uint32_t GetFileFlags() const { return m_FixedInfo[7]; }
    uint32_t GetFileOs() const { return m_FixedInfo[8]; }
    uint32_t GetFileType() const { return m_FixedInfo[9]; }
    uint32_t GetFileSubtype() const { return m_FixedInfo[10]; }

    // part_i 0 is the lowest 16 bits (d of a.b.c.d), 3 the highest (a); others give 0.
    unsigned short GetFileVersion(int part_i) const;
    unsigned short GetProductVersion(int part_i) const;

    // Chooses a translation from (language, code page) pairs packed as
    // language | codepage << 16: an exact language match first, then (with
    // allowPrimary_i) the first entry with the same primary language (low byte).
    // Answers true and sets id_o when found.
    static bool GetTranslationId(const std::vector<uint32_t>& translations_i, uint16_t language_i, uint32_t& id_o,
                                 bool allowPrimary_i);

    // Parses the contents of a ".kmr_version" section; used by Create and by tests.
    bool ParseNote(const unsigned char* note_i, size_t length_i);

protected:
    virtual void Reset();

private:
    std::array<uint32_t, FIXED_WORDS> m_FixedInfo;
    std::array<KMRString, 12> m_strText;
};

// The version information of the running program, created on first use.
class KMRBase_API KMRCurrentFileVersionInfo : public KMRFileVersionInfo
{
public:
    static KMRCurrentFileVersionInfo* GetCurrentFileVersionInfo();
    // Deletes the singleton; the next GetCurrentFileVersionInfo creates a new one.
    static void Destroy();

private:
    KMRCurrentFileVersionInfo() = default;
    static KMRCurrentFileVersionInfo* m_pFileVersionInfo;
};
