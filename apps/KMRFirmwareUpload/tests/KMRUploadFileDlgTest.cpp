// Upload scripts: number formats, extensions and script items.
#include "KMRUploadFileDlg.h"

#include <gtest/gtest.h>

#include <fstream>

TEST(KMRUploadFileDlg, NumberConversions)
{
    struct Case
    {
        const char* text;
        uint32_t value;
    };
    const Case converted[] = {{"0x02", 2}, {"2", 2}, {"02", 2}, {"0x00FF", 255}, {"255", 255},
                              {"FF", 0},   {"", 0},  {"12abc", 12}, {"0x1a0x2b", 0x1A2B}};
    for (const Case& c : converted)
        EXPECT_EQ(c.value, KMRUploadFileDlg::_ConvertStringToInt(c.text)) << c.text;
    const Case hex[] = {{"1a2g", 0x1A2}, {"0X1F", 0x1F}, {"", 0}, {"fff0", 0xFFF0}, {"123456789", 0x23456789}};
    for (const Case& c : hex)
        EXPECT_EQ(c.value, KMRUploadFileDlg::_httoi(c.text)) << c.text;
}

TEST(KMRUploadFileDlg, ExtensionStartsAtTheFirstDotOfTheFileName)
{
    EXPECT_STREQ(".final.bmp", KMRUploadFileDlg::GetExtension("pic.final.bmp"));
    EXPECT_STREQ(".bmp", KMRUploadFileDlg::GetExtension("C:\\show\\a.bmp"));
    EXPECT_STREQ(".bmp", KMRUploadFileDlg::GetExtension("/home/tech/site.v2/a.bmp"));
    EXPECT_STREQ("", KMRUploadFileDlg::GetExtension(".profile"));
    EXPECT_STREQ("", KMRUploadFileDlg::GetExtension("noext"));
}

TEST(KMRUploadFileDlg, ReadsScriptItems)
{
    const std::string path = ::testing::TempDir() + "upload_script.xml";
    std::ofstream(path) << R"(<?xml version="1.0"?>
<FirmwareUploadScript>
  <UploadItem FunctionByte="0x02" FileName="a.cid" ContentID="0x00FF" DeleteBeforeUpload="TRUE" FileFormat="1"/>
  <UploadItem FunctionByte="0" FileName="pic.bmp" ContentID="FF" DeleteBeforeUpload="yes" FileFormat="8"/>
</FirmwareUploadScript>)";
    std::vector<KMRUploadFileDlg::ScriptFileStruc> items;
    ASSERT_TRUE(KMRUploadFileDlg::ReadScript(path.c_str(), items));
    ASSERT_EQ(2u, items.size());
    EXPECT_EQ(2, items[0].m_ucFunction);
    EXPECT_EQ(255u, items[0].m_ulContentID);
    EXPECT_TRUE(items[0].m_bDeleteBeforeUpload);
    EXPECT_STREQ("pic.bmp", items[1].m_strFileName);
    EXPECT_EQ(0u, items[1].m_ulContentID);
    EXPECT_FALSE(items[1].m_bDeleteBeforeUpload);
    EXPECT_EQ(8, items[1].m_ucFileFormat);
    EXPECT_FALSE(KMRUploadFileDlg::ReadScript("/nonexistent/script.xml", items));
}
