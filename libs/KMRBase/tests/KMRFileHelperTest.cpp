// File helpers: every failure is false, nothing throws, nothing overflows.
#include <KMRBase/KMRFileHelper.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <sys/stat.h>

class KMRFileHelperTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strDir = ::testing::TempDir() + "kmrfilehelper_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        ASSERT_TRUE(KMRFileHelper::CreateDirectory(m_strDir.c_str()));
        KMRFileHelper::DeleteAllFilesFromDirectory(m_strDir.c_str());
    }
    KMRString Path(const char* name_i) const { return KMRString((m_strDir + "/" + name_i).c_str()); }

    std::string m_strDir;
};

TEST_F(KMRFileHelperTest, WriteReadRenameDelete)
{
    const unsigned char data[] = {0, 1, 2, 0xFF, 0};
    ASSERT_TRUE(KMRFileHelper::WriteData(Path("a.bin"), data, sizeof(data)));
    EXPECT_TRUE(KMRFileHelper::ExistFile(Path("a.bin")));
    unsigned long size = 0;
    EXPECT_TRUE(KMRFileHelper::GetFileSize(Path("a.bin"), size));
    EXPECT_EQ(sizeof(data), size);

    unsigned char* read = nullptr;
    unsigned int readSize = 0;
    ASSERT_TRUE(KMRFileHelper::ReadData(Path("a.bin"), &read, readSize));
    ASSERT_EQ(sizeof(data), readSize);
    EXPECT_EQ(0, std::memcmp(data, read, sizeof(data)));
    KMRFileHelper::FreeData(read);

    EXPECT_TRUE(KMRFileHelper::WriteText(Path("b.txt"), "old"));
    EXPECT_TRUE(KMRFileHelper::RenameFile(Path("a.bin"), Path("b.txt")));
    EXPECT_TRUE(KMRFileHelper::ExistFile(Path("a.bin"))) << "the source stays in place";
    EXPECT_TRUE(KMRFileHelper::GetFileSize(Path("b.txt"), size));
    EXPECT_EQ(sizeof(data), size);

    EXPECT_TRUE(KMRFileHelper::DeleteFile(Path("a.bin")));
    EXPECT_FALSE(KMRFileHelper::ExistFile(Path("a.bin")));
    EXPECT_FALSE(KMRFileHelper::DeleteFile(Path("a.bin")));
    EXPECT_FALSE(KMRFileHelper::RenameFile(Path("a.bin"), Path("b.txt")));
    EXPECT_TRUE(KMRFileHelper::ExistFile(Path("b.txt"))) << "a failed copy keeps the target";
}

TEST_F(KMRFileHelperTest, ReadingIntoTheCallersArrayNeverOverflowsIt)
{
    ASSERT_TRUE(KMRFileHelper::WriteText(Path("ten.txt"), "0123456789"));
    unsigned char small[4] = {'x', 'x', 'x', 'x'};
    unsigned int capacity = sizeof(small);
    EXPECT_FALSE(KMRFileHelper::ReadData(Path("ten.txt"), small, capacity));
    EXPECT_EQ('x', small[0]);

    unsigned char big[16] = {};
    unsigned long bigCapacity = sizeof(big);
    unsigned char* target = big;
    ASSERT_TRUE(KMRFileHelper::ReadData(Path("ten.txt"), &target, bigCapacity));
    EXPECT_EQ(big, target) << "a caller's array is filled, not replaced";
    EXPECT_EQ(10u, bigCapacity);
    EXPECT_EQ(0, std::memcmp("0123456789", big, 10));
}

TEST_F(KMRFileHelperTest, FailuresAreFalse)
{
    ASSERT_TRUE(KMRFileHelper::WriteData(Path("empty.bin"), nullptr, 0));
    unsigned char* data = reinterpret_cast<unsigned char*>(1);
    unsigned int size = 0;
    EXPECT_FALSE(KMRFileHelper::ReadData(Path("empty.bin"), &data, size)) << "an empty file is a failure";
    EXPECT_EQ(nullptr, data);
    EXPECT_FALSE(KMRFileHelper::ReadData(Path("missing.bin"), &data, size));
    unsigned long length = 0;
    EXPECT_FALSE(KMRFileHelper::GetFileSize(Path("missing.bin"), length));
    EXPECT_FALSE(KMRFileHelper::WriteText(Path("no/such/dir.txt"), "x"));
    EXPECT_TRUE(KMRFileHelper::CreateDirectory(m_strDir.c_str())) << "an existing directory is success";
    EXPECT_FALSE(KMRFileHelper::DeleteAllFilesFromDirectory(Path("missing")));
}

TEST(KMRFileHelperPaths, EitherSlashSeparatesFolderAndFileName)
{
    struct Case
    {
        const char* path;
        const char* folder;
        const char* name;
    };
    const Case cases[] = {{"C:\\show\\a.xml", "C:\\show\\", "a.xml"},
                          {"/home/tech/site.v2/a.bmp", "/home/tech/site.v2/", "a.bmp"},
                          {"mixed/dir\\f", "mixed/dir\\", "f"},
                          {"plain.img", "", "plain.img"},
                          {"dir/", "dir/", ""}};
    for (const Case& c : cases)
    {
        EXPECT_STREQ(c.folder, KMRFileHelper::GetFolder(c.path)) << c.path;
        EXPECT_STREQ(c.name, KMRFileHelper::GetFileName(c.path)) << c.path;
    }
}

TEST_F(KMRFileHelperTest, DeleteAllFilesSkipsDirectories)
{
    ASSERT_TRUE(KMRFileHelper::WriteText(Path("1.txt"), "1"));
    ASSERT_TRUE(KMRFileHelper::WriteText(Path("2.txt"), "2"));
    ASSERT_TRUE(KMRFileHelper::CreateDirectory(Path("sub")));
    EXPECT_TRUE(KMRFileHelper::DeleteAllFilesFromDirectory(m_strDir.c_str()));
    EXPECT_FALSE(KMRFileHelper::ExistFile(Path("1.txt")));
    EXPECT_FALSE(KMRFileHelper::ExistFile(Path("2.txt")));
    struct stat info {};
    EXPECT_EQ(0, ::stat(Path("sub").GetString(), &info));
}
