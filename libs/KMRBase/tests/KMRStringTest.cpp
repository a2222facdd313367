// Behaviour of the copy-on-write string.
#include <KMRBase/KMRString.h>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(KMRString, CopiesShareUntilOneIsModified)
{
    KMRString a("controller");
    KMRString b(a);
    EXPECT_TRUE(a.IsShared());
    EXPECT_EQ(a.GetString(), b.GetString());

    b.SetAt(0, 'C');
    EXPECT_FALSE(a.IsShared());
    EXPECT_STREQ("controller", a);
    EXPECT_STREQ("Controller", b);
}

TEST(KMRString, NullAndEmptyAreTheSame)
{
    KMRString fromNull(static_cast<const char*>(nullptr));
    EXPECT_TRUE(fromNull.IsEmpty());
    EXPECT_STREQ("", fromNull.GetString());
    EXPECT_EQ(fromNull, KMRString(""));
    EXPECT_EQ('\0', fromNull.GetAt(3));
}

TEST(KMRString, ComparisonAndConcatenation)
{
    KMRString a("abc");
    EXPECT_EQ(0, a.Compare("abc"));
    EXPECT_LT(a.Compare("abd"), 0);
    EXPECT_EQ(0, a.CompareNoCase("ABC"));
    EXPECT_TRUE(a < KMRString("b"));
    EXPECT_EQ(KMRString("abcdef"), a + "def");
    EXPECT_EQ(KMRString("xabc"), "x" + a);
    a += a; // appending itself must not read a buffer it is reallocating
    EXPECT_STREQ("abcabc", a);
}

TEST(KMRString, FormatGrowsBeyondAnyFixedBuffer)
{
    KMRString s;
    s.Format("%s=%d 0x%02X", "addr", 254, 0x0A);
    EXPECT_STREQ("addr=254 0x0A", s);
    s.AppendFormat(" %s", std::string(5000, 'x').c_str());
    EXPECT_EQ(13 + 1 + 5000, s.GetLength());
    EXPECT_STREQ("7", KMRString::Formatted("%d", 7));
}

TEST(KMRString, SearchReplaceAndSubstrings)
{
    const KMRString path("C:\\show\\a.xml");
    EXPECT_EQ(7, path.ReverseFind('\\'));
    EXPECT_EQ(2, path.Find('\\'));
    EXPECT_EQ(8, path.Find("a.x"));
    EXPECT_EQ(-1, path.Find("zz"));
    EXPECT_EQ(-1, path.Find('x', 100));
    EXPECT_EQ(2, path.FindOneOf("/\\"));
    EXPECT_STREQ("a.xml", path.Mid(8));
    EXPECT_STREQ("C:", path.Left(2));
    EXPECT_STREQ("xml", path.Right(3));
    EXPECT_STREQ("", path.Mid(100));
    EXPECT_STREQ("C:", path.Mid(-5, 2));
    EXPECT_STREQ(path, path.Right(1000));

    KMRString s("a-b-c");
    EXPECT_EQ(2, s.Replace("-", "--"));
    EXPECT_STREQ("a--b--c", s);
    EXPECT_EQ(4, s.Remove('-'));
    EXPECT_STREQ("abc", s);
    EXPECT_EQ(0, s.Replace("", "x"));
}

TEST(KMRString, TrimCaseAndBuffer)
{
    KMRString s("  Mixed Case \t\n");
    s.Trim();
    EXPECT_STREQ("Mixed Case", s);
    EXPECT_STREQ("MIXED CASE", KMRString(s).MakeUpper());
    EXPECT_STREQ("mixed case", KMRString(s).MakeLower());

    KMRString shared(s);
    char* buffer = s.GetBuffer(32);
    std::snprintf(buffer, 32, "%s", "written");
    s.ReleaseBuffer();
    EXPECT_STREQ("written", s);
    EXPECT_STREQ("Mixed Case", shared);
}

TEST(KMRString, CopiesOnManyThreadsKeepTheBufferAlive)
{
    const KMRString original(std::string(100, 'k'));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&original] {
            for (int i = 0; i < 10000; ++i)
            {
                KMRString copy(original);
                copy += 'x';
                ASSERT_EQ(101, copy.GetLength());
            }
        });
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(100, original.GetLength());
}
