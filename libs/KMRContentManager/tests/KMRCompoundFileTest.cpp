// Reading compound content files into frames.
#include <KMRContentManager/KMRCompoundFile.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace
{
using Frames = std::vector<std::pair<std::string, unsigned short>>;

class CompoundFiles : public ::testing::Test
{
protected:
    CompoundFiles()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kmrcompound-XXXXXX").string();
        m_Folder = ::mkdtemp(pattern.data());
    }
    ~CompoundFiles() override { std::filesystem::remove_all(m_Folder); }

    KMRString Write(const std::string& name_i, const std::string& text_i) const
    {
        const std::string path = m_Folder + "/" + name_i;
        std::ofstream(path, std::ios::binary) << text_i;
        return KMRString(path);
    }

    static std::string CompoundText(const std::vector<std::pair<const char*, const char*>>& frames_i)
    {
        std::string text = "<?xml version=\"1.0\"?>\n<CompoundContent>\n  <Content>\n";
        for (const auto& [file, delay] : frames_i)
            text += std::string("    <Frame><File>") + file + "</File><Delay>" + delay + "</Delay></Frame>\n";
        return text + "  </Content>\n</CompoundContent>\n";
    }

    static Frames Read(const KMRCompoundFile& file_i)
    {
        Frames frames;
        for (const KMRCompoundFileFrame* frame : file_i.GetFrameList())
            frames.emplace_back(frame->GetFileName().GetString(), frame->GetDelay());
        return frames;
    }

    std::string m_Folder;
};
} // namespace

TEST_F(CompoundFiles, FramesNameFilesInTheCompoundFilesFolder)
{
    const KMRString path = Write("show.xml", CompoundText({{"f1.bmp", "10"}, {"sub/f2.bmp", " 70000"}, {"f3.bmp", "-1"}}));
    KMRCompoundFile file;
    EXPECT_EQ(0, file.GetFrameCount());
    ASSERT_TRUE(file.Open(path));
    EXPECT_EQ(3, file.GetFrameCount());
    const std::string folder = m_Folder + "/";
    EXPECT_EQ((Frames{{folder + "f1.bmp", 10}, {folder + "sub/f2.bmp", 4464}, {folder + "f3.bmp", 65535}}),
              Read(file));
}

TEST_F(CompoundFiles, FolderPartEndsAtTheLastSlashOrBackslash)
{
    // On Linux a backslash is an ordinary file-name character, so the file can exist.
    const KMRString windowsStyle = Write("C:\\show\\a.xml", CompoundText({{"f1.bmp", "1"}}));
    KMRCompoundFile file;
    ASSERT_TRUE(file.Open(windowsStyle));
    EXPECT_EQ((Frames{{m_Folder + "/C:\\show\\f1.bmp", 1}}), Read(file));

    Write("plain.xml", CompoundText({{"f1.bmp", "2"}}));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(m_Folder);
    const bool opened = file.Open("plain.xml");
    std::filesystem::current_path(before);
    ASSERT_TRUE(opened);
    EXPECT_EQ((Frames{{"f1.bmp", 2}}), Read(file));
}

TEST_F(CompoundFiles, OddContentOpensOrFailsAsAWhole)
{
    struct Case
    {
        const char* name;
        std::string text; // empty: no file
        bool opens;
        Frames frames;
    };
    const std::string folder = m_Folder + "/";
    const Case cases[] = {
        {"otherRoot.xml", "<Compound><Content><Frame><File>a</File><Delay>1</Delay></Frame></Content></Compound>",
         false, {}},
        {"noFrames.xml", "<CompoundContent><Content/></CompoundContent>", true, {}},
        {"noContent.xml", "<CompoundContent/>", true, {}},
        {"partFrame.xml", "<CompoundContent><Content><Frame><Delay>x5</Delay></Frame><Frame><File>b.bmp</File></Frame>"
                          "</Content></CompoundContent>",
         true, {{folder, 0}, {folder + "b.bmp", 0}}},
        {"broken.xml", "<CompoundContent><Content>", false, {}},
        {"missing.xml", "", false, {}},
    };
    for (const Case& c : cases)
    {
        const KMRString path = c.text.empty() ? KMRString((folder + c.name).c_str()) : Write(c.name, c.text);
        KMRCompoundFile file;
        EXPECT_EQ(c.opens, file.Open(path)) << c.name;
        EXPECT_EQ(c.frames.size(), file.GetFrameCount()) << c.name;
        EXPECT_EQ(c.frames, Read(file)) << c.name;
    }
}

TEST_F(CompoundFiles, ASecondOpenReplacesTheFrames)
{
    const KMRString three = Write("three.xml", CompoundText({{"a", "1"}, {"b", "2"}, {"c", "3"}}));
    const KMRString one = Write("one.xml", CompoundText({{"z", "9"}}));
    KMRCompoundFile file;
    ASSERT_TRUE(file.Open(three));
    ASSERT_TRUE(file.Open(one));
    EXPECT_EQ(1, file.GetFrameCount());
    EXPECT_EQ((Frames{{m_Folder + "/z", 9}}), Read(file));
    // A failed Open leaves no frames of an earlier file behind.
    EXPECT_FALSE(file.Open(KMRString((m_Folder + "/missing.xml").c_str())));
    EXPECT_EQ(0, file.GetFrameCount());
    EXPECT_TRUE(file.GetFrameList().empty());
}

TEST_F(CompoundFiles, CopiesOwnTheirFrames)
{
    const KMRString two = Write("two.xml", CompoundText({{"a", "1"}, {"b", "2"}}));
    const KMRString one = Write("one.xml", CompoundText({{"z", "9"}}));
    auto original = std::make_unique<KMRCompoundFile>();
    ASSERT_TRUE(original->Open(two));
    const Frames expected = Read(*original);

    KMRCompoundFile copy(*original);
    KMRCompoundFile assigned;
    ASSERT_TRUE(assigned.Open(one));
    assigned = *original;
    KMRCompoundFile& self = assigned;
    assigned = self;
    EXPECT_NE(copy.GetFrameList()[0], original->GetFrameList()[0]);
    original->Open(one);
    original.reset();
    EXPECT_EQ(2, copy.GetFrameCount());
    EXPECT_EQ(expected, Read(copy));
    EXPECT_EQ(2, assigned.GetFrameCount());
    EXPECT_EQ(expected, Read(assigned));
}

TEST_F(CompoundFiles, SaveAndCloseAreNotSupported)
{
    const KMRString path = Write("one.xml", CompoundText({{"z", "9"}}));
    KMRCompoundFile file;
    ASSERT_TRUE(file.Open(path));
    EXPECT_FALSE(file.Save(KMRString((m_Folder + "/out.xml").c_str())));
    EXPECT_FALSE(file.Close());
    EXPECT_EQ(1, file.GetFrameCount());
    EXPECT_FALSE(std::filesystem::exists(m_Folder + "/out.xml"));
}
