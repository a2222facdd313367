// One-call queries on XML files.
#include <KMRXML/KMRXMLHelper.h>

#include "KMRXMLTestSupport.h"

#include <KMRXML/KMRCOMException.h>

#include <gtest/gtest.h>

TEST(XmlHelper, AnswersFromAFreshlyLoadedFile)
{
    ScratchFolder folder;
    const KMRString path = folder.Write("script.xml", "<FlashScript>\n"
                                                      "  <FlashItem KC2Addr=\"300\" Baudrate=\"70000\" Big=\"4294967297\"/>\n"
                                                      "  <Count> 42 </Count>\n"
                                                      "</FlashScript>\n")
                               .c_str();
    EXPECT_TRUE(KMRXMLHelper::ExistNode(path, "FlashScript/FlashItem"));
    EXPECT_FALSE(KMRXMLHelper::ExistNode(path, "FlashScript/Missing"));
    EXPECT_EQ("FlashItem", KMRXMLHelper::GetNode(path, "//FlashItem").GetName());
    EXPECT_EQ("42", KMRXMLHelper::GetNodeString(path, "FlashScript/Count"));
    EXPECT_EQ(42, KMRXMLHelper::GetNodeInt(path, "FlashScript/Count"));
    EXPECT_EQ(0, KMRXMLHelper::GetNodeInt(path, "FlashScript/Missing"));
    EXPECT_EQ(2, KMRXMLHelper::GetNodeList(path, "FlashScript/*").GetLength());
    EXPECT_EQ("300", KMRXMLHelper::GetAttribute(path, "FlashScript/FlashItem", "KC2Addr"));
    EXPECT_EQ(4464u, KMRXMLHelper::GetAttributeWORD(path, "FlashScript/FlashItem", "Baudrate"));
    EXPECT_EQ(70000u, KMRXMLHelper::GetAttributeDWORD(path, "FlashScript/FlashItem", "Baudrate"));
    // The 64-bit conversion cuts, it does not saturate at 32 bits.
    EXPECT_EQ(1u, KMRXMLHelper::GetAttributeDWORD(path, "FlashScript/FlashItem", "Big"));
    EXPECT_THROW(KMRXMLHelper::GetNode(KMRString(folder.File("missing.xml").c_str()), "a"), KMRCOMException);
}
