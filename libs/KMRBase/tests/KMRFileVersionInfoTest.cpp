// Version notes written by the build and read back from files and modules.
#include <KMRBase/KMRFileVersionInfo.h>
#include <KMRBase/KMRChecksum.h>
#include <KMRBase/KMRString.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace
{
std::vector<unsigned char> MakeNote(uint32_t high_i, uint32_t low_i, const std::string& strings_i)
{
    std::vector<unsigned char> note = {'K', 'M', 'R', 'V', 'E', 'R', '1', '\0'};
    const uint32_t fixed[13] = {0xFEEF04BD, 0x10000, high_i, low_i, high_i, low_i, 0x3F, 0, 0x40004, 2, 0, 0, 0};
    for (uint32_t w : fixed)
        for (int i = 0; i < 4; ++i)
            note.push_back(static_cast<unsigned char>(w >> (8 * i)));
    note.insert(note.end(), strings_i.begin(), strings_i.end());
    note.push_back('\0');
    return note;
}
} // namespace

TEST(KMRFileVersionInfo, VersionParts)
{
    KMRFileVersionInfo info;
    const std::string texts("CompanyName\0Kelmar\0FileVersion\0" "1.2.3.4\0", 39);
    ASSERT_TRUE(info.ParseNote(MakeNote(0x00010002, 0x00030004, texts).data(), MakeNote(1, 2, texts).size()));
    EXPECT_EQ(4, info.GetFileVersion(0));
    EXPECT_EQ(3, info.GetFileVersion(1));
    EXPECT_EQ(2, info.GetFileVersion(2));
    EXPECT_EQ(1, info.GetFileVersion(3));
    EXPECT_EQ(0, info.GetFileVersion(4));
    EXPECT_EQ(0, info.GetProductVersion(-1));
    EXPECT_STREQ("Kelmar", info.GetCompanyName());
    EXPECT_STREQ("1.2.3.4", info.GetFileVersion());
    EXPECT_EQ(2u, info.GetFileType());
}

TEST(KMRFileVersionInfo, TruncatedOrForeignNotesAreRejected)
{
    KMRFileVersionInfo info;
    const auto note = MakeNote(1, 2, std::string("CompanyName\0Unterminated", 24));
    EXPECT_TRUE(info.ParseNote(note.data(), note.size() - 1)) << "fixed block is complete";
    EXPECT_STREQ("", info.GetCompanyName()) << "an unterminated value is dropped";
    EXPECT_FALSE(info.ParseNote(note.data(), 20));
    const unsigned char junk[64] = {'E', 'L', 'F'};
    EXPECT_FALSE(info.ParseNote(junk, sizeof(junk)));
    EXPECT_EQ(0, info.GetFileVersion(3));
}

TEST(KMRFileVersionInfo, ReadsTheBuildsNoteFromFilesAndModules)
{
    // The shared library of this very class carries a note written by the build.
    KMRFileVersionInfo library;
    ASSERT_NE(0, library.Create(reinterpret_cast<const void*>(&StringCrc32)));
    EXPECT_STREQ("KMRBase", library.GetInternalName());
    EXPECT_STREQ("libKMRBase.so", library.GetOriginalFileName());
    EXPECT_EQ(2u, library.GetFileType());

    KMRFileVersionInfo missing;
    EXPECT_EQ(0, missing.Create("/nonexistent/file"));
    EXPECT_EQ(0, missing.Create("/etc/hostname")) << "not an ELF file";
}

TEST(KMRFileVersionInfo, TheRunningProgramDescribesItself)
{
    KMRCurrentFileVersionInfo* current = KMRCurrentFileVersionInfo::GetCurrentFileVersionInfo();
    ASSERT_NE(nullptr, current);
    EXPECT_EQ(current, KMRCurrentFileVersionInfo::GetCurrentFileVersionInfo());
    EXPECT_STREQ("KMRBaseTests", current->GetInternalName());
    KMRCurrentFileVersionInfo::Destroy();
    EXPECT_STREQ("KMRBaseTests", KMRCurrentFileVersionInfo::GetCurrentFileVersionInfo()->GetInternalName());

    KMRFileVersionInfo program;
    static int anchor = 0;
    ASSERT_NE(0, program.Create(static_cast<const void*>(&anchor)));
    EXPECT_STREQ("KMRBaseTests", program.GetInternalName());
    KMRCurrentFileVersionInfo::Destroy();
}

TEST(KMRFileVersionInfo, TranslationChoice)
{
    const std::vector<uint32_t> list = {0x04B00407, 0x04E40409, 0x04B00809};
    uint32_t id = 0;
    EXPECT_TRUE(KMRFileVersionInfo::GetTranslationId(list, 0x0409, id, false));
    EXPECT_EQ(0x04E40409u, id);
    EXPECT_FALSE(KMRFileVersionInfo::GetTranslationId(list, 0x0C09, id, false));
    EXPECT_TRUE(KMRFileVersionInfo::GetTranslationId(list, 0x0C09, id, true)) << "primary language 09 matches";
    EXPECT_EQ(0x04E40409u, id);
    EXPECT_FALSE(KMRFileVersionInfo::GetTranslationId(list, 0x040C, id, true));
}
