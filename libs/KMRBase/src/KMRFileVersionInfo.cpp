// KMRFileVersionInfo: finds the ".kmr_version" section of an ELF file and parses it.
#include <KMRBase/KMRFileVersionInfo.h>

#include <cstring>
#include <dlfcn.h>
#include <link.h>
#include <elf.h>
#include <fstream>
#include <mutex>
#include <string>

namespace
{
constexpr char SECTION_NAME[] = ".kmr_version";
constexpr char MAGIC[8] = {'K', 'M', 'R', 'V', 'E', 'R', '1', '\0'};
constexpr size_t MAX_NOTE = 64 * 1024;

const char* const TEXT_NAMES[12] = {"CompanyName",      "FileDescription", "FileVersion",    "InternalName",
                                    "LegalCopyright",   "OriginalFileName", "ProductName",   "ProductVersion",
                                    "Comments",         "LegalTrademarks", "PrivateBuild",   "SpecialBuild"};

bool ReadAt(std::ifstream& in_i, uint64_t offset_i, void* out_o, size_t length_i)
{
    in_i.seekg(static_cast<std::streamoff>(offset_i));
    in_i.read(static_cast<char*>(out_o), static_cast<std::streamsize>(length_i));
    return static_cast<size_t>(in_i.gcount()) == length_i;
}

// Finds the named section of a 64- or 32-bit ELF file; answers its bytes.
template <typename Ehdr, typename Shdr>
bool FindSection(std::ifstream& in_i, std::vector<unsigned char>& note_o)
{
    Ehdr header {};
    if (!ReadAt(in_i, 0, &header, sizeof(header)) || header.e_shentsize != sizeof(Shdr) || header.e_shnum == 0 ||
        header.e_shstrndx >= header.e_shnum)
        return false;
    std::vector<Shdr> sections(header.e_shnum);
    if (!ReadAt(in_i, header.e_shoff, sections.data(), sizeof(Shdr) * sections.size()))
        return false;
    const Shdr& names = sections[header.e_shstrndx];
    if (names.sh_size > MAX_NOTE * 16)
        return false;
    std::vector<char> nameTable(names.sh_size + 1, '\0');
    if (!ReadAt(in_i, names.sh_offset, nameTable.data(), names.sh_size))
        return false;
    for (const Shdr& section : sections)
    {
        if (section.sh_name >= names.sh_size || std::strcmp(&nameTable[section.sh_name], SECTION_NAME) != 0)
            continue;
        if (section.sh_type == SHT_NOBITS || section.sh_size == 0 || section.sh_size > MAX_NOTE)
            return false;
        note_o.resize(section.sh_size);
        return ReadAt(in_i, section.sh_offset, note_o.data(), note_o.size());
    }
    return false;
}
} // namespace

KMRCurrentFileVersionInfo* KMRCurrentFileVersionInfo::m_pFileVersionInfo = nullptr;

KMRFileVersionInfo::KMRFileVersionInfo()
{
    KMRFileVersionInfo::Reset();
}

KMRFileVersionInfo::~KMRFileVersionInfo() = default;

void KMRFileVersionInfo::Reset()
{
    m_FixedInfo.fill(0);
    for (KMRString& text : m_strText)
        text.Empty();
}

int KMRFileVersionInfo::Create(const char* file_i)
{
    Reset();
    if (file_i == nullptr)
        return 0;
    std::ifstream in(file_i, std::ios::binary);
    unsigned char ident[EI_NIDENT] {};
    if (!in || !ReadAt(in, 0, ident, sizeof(ident)) || std::memcmp(ident, ELFMAG, SELFMAG) != 0 ||
        ident[EI_DATA] != ELFDATA2LSB)
        return 0;
    std::vector<unsigned char> note;
    const bool found = ident[EI_CLASS] == ELFCLASS64   ? FindSection<Elf64_Ehdr, Elf64_Shdr>(in, note)
                       : ident[EI_CLASS] == ELFCLASS32 ? FindSection<Elf32_Ehdr, Elf32_Shdr>(in, note)
                                                       : false;
    return found && ParseNote(note.data(), note.size()) ? 1 : 0;
}

int KMRFileVersionInfo::Create(const void* addressInModule_i)
{
    Dl_info info {};
    link_map* map = nullptr;
    if (addressInModule_i == nullptr ||
        ::dladdr1(addressInModule_i, &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
        info.dli_fname == nullptr)
    {
        Reset();
        return 0;
    }
    // The main program's link map has an empty name and dladdr reports it as it was
    // started (possibly relative); /proc names it exactly.
    const bool isProgram = map != nullptr && (map->l_name == nullptr || map->l_name[0] == '\0');
    const std::string path = isProgram ? std::string("/proc/self/exe") : std::string(info.dli_fname);
    if (!isProgram && path.size() > MAX_PATH_LENGTH)
    {
        Reset();
        return 0;
    }
    return Create(path.c_str());
}

bool KMRFileVersionInfo::ParseNote(const unsigned char* note_i, size_t length_i)
{
    Reset();
    constexpr size_t HEADER = sizeof(MAGIC) + FIXED_WORDS * 4;
    if (note_i == nullptr || length_i < HEADER || std::memcmp(note_i, MAGIC, sizeof(MAGIC)) != 0)
        return false;
    for (size_t i = 0; i < FIXED_WORDS; ++i)
    {
        const unsigned char* w = note_i + sizeof(MAGIC) + 4 * i;
        m_FixedInfo[i] = static_cast<uint32_t>(w[0]) | static_cast<uint32_t>(w[1]) << 8 |
                         static_cast<uint32_t>(w[2]) << 16 | static_cast<uint32_t>(w[3]) << 24;
    }
    // Name/value pairs of NUL-terminated texts; an empty name ends the list.
    const char* p = reinterpret_cast<const char*>(note_i + HEADER);
    const char* end = reinterpret_cast<const char*>(note_i + length_i);
    auto next = [&](std::string& text_o) {
        const void* nul = std::memchr(p, '\0', static_cast<size_t>(end - p));
        if (nul == nullptr)
            return false;
        text_o.assign(p, static_cast<const char*>(nul));
        p = static_cast<const char*>(nul) + 1;
        return true;
    };
    std::string name;
    std::string value;
    while (p < end && next(name) && !name.empty() && next(value))
        for (size_t i = 0; i < std::size(TEXT_NAMES); ++i)
            if (name == TEXT_NAMES[i])
                m_strText[i] = KMRString(value);
    return true;
}

unsigned short KMRFileVersionInfo::GetFileVersion(int part_i) const
{
    switch (part_i)
    {
    case 0: return static_cast<unsigned short>(m_FixedInfo[3] & 0xFFFF);
    case 1: return static_cast<unsigned short>(m_FixedInfo[3] >> 16);
    case 2: return static_cast<unsigned short>(m_FixedInfo[2] & 0xFFFF);
    case 3: return static_cast<unsigned short>(m_FixedInfo[2] >> 16);
    default: return 0;
    }
}

unsigned short KMRFileVersionInfo::GetProductVersion(int part_i) const
{
    switch (part_i)
    {
    case 0: return static_cast<unsigned short>(m_FixedInfo[5] & 0xFFFF);
    case 1: return static_cast<unsigned short>(m_FixedInfo[5] >> 16);
    case 2: return static_cast<unsigned short>(m_FixedInfo[4] & 0xFFFF);
    case 3: return static_cast<unsigned short>(m_FixedInfo[4] >> 16);
    default: return 0;
    }
}

bool KMRFileVersionInfo::GetTranslationId(const std::vector<uint32_t>& translations_i, uint16_t language_i,
                                          uint32_t& id_o, bool allowPrimary_i)
{
    for (uint32_t entry : translations_i)
        if ((entry & 0xFFFF) == language_i)
        {
            id_o = entry;
            return true;
        }
    if (allowPrimary_i)
        for (uint32_t entry : translations_i)
            if ((entry & 0xFF) == (language_i & 0xFF))
            {
                id_o = entry;
                return true;
            }
    return false;
}

KMRCurrentFileVersionInfo* KMRCurrentFileVersionInfo::GetCurrentFileVersionInfo()
{
    if (m_pFileVersionInfo == nullptr)
    {
        m_pFileVersionInfo = new KMRCurrentFileVersionInfo();
        m_pFileVersionInfo->KMRFileVersionInfo::Create("/proc/self/exe");
    }
    return m_pFileVersionInfo;
}

void KMRCurrentFileVersionInfo::Destroy()
{
    delete m_pFileVersionInfo;
    m_pFileVersionInfo = nullptr;
}
