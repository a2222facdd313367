// Loading, saving and building XML documents.
#include <KMRXML/KMRXMLDocument.h>

#include "KMRXMLTestSupport.h"

#include <KMRXML/KMRCOMException.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

using ::testing::HasSubstr;
using ::testing::StartsWith;

namespace
{
class XmlDocumentFiles : public ::testing::Test
{
protected:
    ScratchFolder m_Folder;
};

KMRCOMException LoadFailure(KMRXMLDocument& document_i, const std::string& path_i)
{
    try
    {
        document_i.Load(KMRString(path_i));
    }
    catch (const KMRCOMException& e)
    {
        return e;
    }
    ADD_FAILURE() << "Load did not fail: " << path_i;
    return KMRCOMException("", 0, "", "", KMR_EXC_SOFTWARE, 0);
}
} // namespace

TEST_F(XmlDocumentFiles, NotWellFormedFileFailsWithParseErrorText)
{
    const std::string path = m_Folder.Write("broken.xml", "<?xml version=\"1.0\"?>\n<Script>\n  <Item></Itm>\n</Script>\n");
    KMRXMLDocument document;
    const KMRCOMException e = LoadFailure(document, path);
    EXPECT_EQ(KMR_EXC_CONFIGURATION, e.GetType());
    EXPECT_EQ(0x80004005u, e.GetHResult());
    EXPECT_STREQ("KMRXMLDocument::Load", e.GetWhereText());
    EXPECT_STREQ("Configuration", e.GetUserTitle());
    const std::string details = e.GetDetails();
    EXPECT_THAT(details, StartsWith("MSXML-Parserfehler: Code=0x"));
    EXPECT_THAT(details, HasSubstr("URL: " + path + "\r\n"));
    EXPECT_THAT(details, HasSubstr("Line: 3, Pos: "));
    EXPECT_THAT(details, HasSubstr("  <Item></Itm>\r\n"));
}

TEST_F(XmlDocumentFiles, LoadFailuresOfEveryKindAreParseErrors)
{
    struct Case
    {
        const char* name;
        std::string bytes; // empty: the file is not created
        const char* expected;
    };
    const Case cases[] = {
        {"missing.xml", "", "MSXML-Parserfehler: Code=0x80070002\r\n"},
        {"empty.xml", std::string(1, ' '), "MSXML-Parserfehler: Code=0x"},
        {"twoRoots.xml", "<a/><b/>", "MSXML-Parserfehler: Code=0x"},
        {"undeclaredPrefix.xml", "<a><x:b/></a>", "MSXML-Parserfehler: Code=0x"},
        {"external.xml", "<!DOCTYPE a [<!ENTITY e SYSTEM \"/etc/hostname\">]><a>&e;</a>", nullptr},
    };
    for (const Case& c : cases)
    {
        const std::string path = c.bytes.empty() ? m_Folder.File(c.name) : m_Folder.Write(c.name, c.bytes);
        KMRXMLDocument document;
        if (c.expected == nullptr)
        {
            // External entities are never fetched: the reference stays empty.
            document.Load(KMRString(path));
            EXPECT_EQ("", document.SelectSingleNode("a").GetText()) << c.name;
            continue;
        }
        const KMRCOMException e = LoadFailure(document, path);
        EXPECT_EQ(KMR_EXC_CONFIGURATION, e.GetType()) << c.name;
        EXPECT_THAT(e.GetDetails(), StartsWith(c.expected)) << c.name;
        EXPECT_THAT(e.GetDetails(), HasSubstr("Line: ")) << c.name;
    }
}

TEST_F(XmlDocumentFiles, FailedLoadKeepsThePreviousContent)
{
    KMRXMLDocument document;
    document.SetXML("<Script><Item id=\"1\"/></Script>");
    EXPECT_THROW(document.SetXML("<Script>"), KMRCOMException);
    EXPECT_EQ("1", document.SelectSingleNode("Script/Item").GetSingleAttribute("id"));
}

TEST_F(XmlDocumentFiles, SaveWritesTheDocumentIndented)
{
    const std::string path = m_Folder.Write("one-line.xml", "<?xml version=\"1.0\"?><a><b x=\"1\"><c>t</c></b><b/></a>");
    KMRXMLDocument document;
    document.Load(KMRString(path));
    const std::string saved = m_Folder.File("saved.xml");
    document.Save(KMRString(saved));
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n  <b x=\"1\">\n    <c>t</c>\n  </b>\n  <b/>\n</a>\n",
              ReadBytes(saved));

    // The stream form writes the document as it is.
    std::ostringstream stream;
    document.Save(stream);
    EXPECT_THAT(stream.str(), HasSubstr("<a><b x=\"1\"><c>t</c></b><b/></a>"));
}

TEST_F(XmlDocumentFiles, SaveToAnUnwritablePathFailsWithTheSystemText)
{
    KMRXMLDocument document;
    document.SetXML("<a/>");
    try
    {
        document.Save(KMRString(m_Folder.File("no/such/folder/x.xml")));
        FAIL() << "no exception";
    }
    catch (const KMRCOMException& e)
    {
        EXPECT_EQ(KMR_EXC_CONFIGURATION, e.GetType());
        EXPECT_EQ(0x80070002u, e.GetHResult());
        EXPECT_THAT(e.GetDetails(), HasSubstr("No such file or directory"));
        EXPECT_THAT(e.GetDetails(), HasSubstr("(HRESULT=0x80070002)"));
    }
}

TEST_F(XmlDocumentFiles, Latin1TextIsReadAsUtf8AndSavedBackInLatin1)
{
    const std::string path =
        m_Folder.Write("latin1.xml", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><a name=\"Gr\xFC\xDF\"/>");
    KMRXMLDocument document;
    document.Load(KMRString(path));
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F", document.SelectSingleNode("a").GetSingleAttribute("name"));
    const std::string saved = m_Folder.File("saved.xml");
    document.Save(KMRString(saved));
    EXPECT_THAT(ReadBytes(saved), HasSubstr("name=\"Gr\xFC\xDF\""));
}

TEST(XmlDocument, WhiteSpaceOnlyTextIsDroppedUnlessPreserved)
{
    const KMRString text = "<a>\n  <b> x </b>\n  <c xml:space=\"preserve\">  </c>\n</a>";
    KMRXMLDocument dropping;
    dropping.SetXML(text);
    EXPECT_EQ(2, dropping.SelectSingleNode("a").GetChildNodes().GetLength());
    EXPECT_EQ(1, dropping.SelectSingleNode("a/c").GetChildNodes().GetLength());
    EXPECT_EQ("x", dropping.SelectSingleNode("a/b").GetText());

    KMRXMLDocument keeping;
    keeping.PreserveWhiteSpace();
    keeping.SetXML(text);
    EXPECT_EQ(5, keeping.SelectSingleNode("a").GetChildNodes().GetLength());
    EXPECT_EQ(" x ", keeping.SelectSingleNode("a/b").GetText());
}

TEST(XmlDocument, GetXmlStatesTheEncodingInTheDeclaration)
{
    struct Case
    {
        const char* text;
        const char* expected; // null: a plausibility failure with this condition
        const char* condition;
    };
    const Case cases[] = {
        {"<?xml version=\"1.0\"?><a/>", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a/>\n", nullptr},
        {"<?xml version=\"1.0\" standalone=\"yes\"?><a>\xC3\xA4</a>",
         "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<a>\xC3\xA4</a>\n", nullptr},
        {"<a/>", nullptr, "sXML.Left(5) == \"<?xml\""},
        {"<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>", nullptr, "sDeclaration.Find(\"encoding\") == -1"},
    };
    for (const Case& c : cases)
    {
        KMRXMLDocument document;
        document.SetXML(c.text);
        if (c.expected != nullptr)
            EXPECT_EQ(c.expected, document.GetXML()) << c.text;
        else
            EXPECT_EQ(c.condition, PlausibilityDetails([&] { document.GetXML(); })) << c.text;
    }
}

TEST(XmlDocument, Utf16TextComesBackAsUtf8WithItsDeclaration)
{
    // "<?xml version="1.0" standalone="no"?><a>ä</a>" in UTF-16LE with a byte order mark.
    std::string bytes = "\xFF\xFE";
    for (const char c : std::string("<?xml version=\"1.0\" standalone=\"no\"?><a>"))
        bytes += std::string(1, c) + '\0';
    bytes += std::string("\xE4\0<\0/\0a\0>\0", 10);
    std::istringstream stream(bytes);
    KMRXMLDocument document;
    document.Load(stream);
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"no\"?>\n<a>\xC3\xA4</a>\n", document.GetXML());
}

TEST(XmlDocument, AddEncodingAttributeChecksTheDeclaration)
{
    KMRString missingEnd = "<?xml version=\"1.0\"";
    EXPECT_EQ("iEndOfTag > -1", PlausibilityDetails([&] { KMRXMLDocument::AddEncodingAttribute(missingEnd); }));
    KMRString plain = "<?xml version=\"1.0\"?><a/>";
    KMRXMLDocument::AddEncodingAttribute(plain);
    EXPECT_EQ("<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>", plain);
}

TEST(XmlDocument, CopiesShareOneDocumentAndHandlesOutliveIt)
{
    KMRXMLNode item;
    {
        KMRXMLDocument first;
        first.SetXML("<Script><Item id=\"1\"/></Script>");
        KMRXMLDocument second(first);
        item = first.SelectSingleNode("Script/Item");
        second.SetXML("<Script><Item id=\"2\"/></Script>");
        EXPECT_EQ("2", first.SelectSingleNode("Script/Item").GetSingleAttribute("id"));
        KMRXMLDocument third;
        third = second;
        EXPECT_EQ("2", third.SelectSingleNode("Script/Item").GetSingleAttribute("id"));
    }
    // The node of the replaced content stays readable after all documents are gone.
    EXPECT_EQ("1", item.GetSingleAttribute("id"));
    EXPECT_EQ("/Script/Item[@id='1']", item.GetPath());
}

TEST(XmlDocument, EmptiedDocumentRefusesDocumentOperations)
{
    KMRXMLDocument document;
    document.Empty();
    EXPECT_TRUE(document.IsEmpty());
    EXPECT_EQ("m_pXMLDoc", PlausibilityDetails([&] { document.SetXML("<a/>"); }));
    EXPECT_EQ("m_pXMLDoc", PlausibilityDetails([&] { document.Load(KMRString("x.xml")); }));
    EXPECT_EQ("m_pXMLDoc", PlausibilityDetails([&] { document.Save(KMRString("x.xml")); }));
    EXPECT_EQ("m_pXMLDoc", PlausibilityDetails([&] { document.GetXML(); }));
    EXPECT_EQ("m_pXMLDoc", PlausibilityDetails([&] { document.PreserveWhiteSpace(); }));
    EXPECT_EQ("m_pXMLDoc", PlausibilityDetails([&] { document.Empty(); }));
    EXPECT_EQ("Source.m_pXMLDoc", PlausibilityDetails([&] { KMRXMLDocument copy(document); }));
    EXPECT_TRUE(document.SelectSingleNode("a").IsEmpty());
}

TEST(XmlDocument, CreateRecursiveElementBuildsAPathOnce)
{
    KMRXMLDocument document;
    const KMRXMLNode c = document.CreateRecursiveElement(KMRXMLNode(), "A/B/C", false, false);
    EXPECT_EQ("/A/B/C", c.GetPath());
    EXPECT_EQ(c.GetNativeNode(), document.CreateRecursiveElement(KMRXMLNode(), "A/B/C", false, false).GetNativeNode());
    const KMRXMLNode another = document.CreateRecursiveElement(KMRXMLNode(), "A/B/C", false, true);
    EXPECT_NE(c.GetNativeNode(), another.GetNativeNode());
    EXPECT_EQ(2, document.SelectNodes("A/B/C").GetLength());
    EXPECT_EQ("B", document.CreateRecursiveElement(KMRXMLNode(), "A/B/X", true, false).GetName());
    EXPECT_TRUE(document.SelectSingleNode("A/B/X").IsEmpty());
}

TEST(XmlDocument, CreateRecursiveElementGivesTheNewElementThePredicateAttribute)
{
    struct Case
    {
        const char* query;
        const char* path;
    };
    const Case cases[] = {
        {"Items/Item[@id=\"7\"]", "/Script/Items/Item[@id='7']"},
        {"Items/Item[@id='8']", "/Script/Items/Item[@id='8']"},
        {"Items/I[@id='9']", "/Script/Items/I[@id='9']"},
        {"/Script/Other", "/Script/Other"},
    };
    KMRXMLDocument document;
    document.CreateRootElement("Script");
    document.CreateRootElement("Script");
    EXPECT_EQ(1, document.SelectNodes("Script").GetLength());
    const KMRXMLNode script = document.SelectSingleNode("Script");
    for (const Case& c : cases)
    {
        const KMRXMLNode created = document.CreateRecursiveElement(script, c.query, false, false);
        EXPECT_EQ(c.path, created.GetPath()) << c.query;
        // Asked again, the query finds what it created.
        EXPECT_EQ(created.GetNativeNode(), document.CreateRecursiveElement(script, c.query, false, false).GetNativeNode())
            << c.query;
    }
}

TEST(XmlDocument, CreateRecursiveElementRefusesBrokenQueries)
{
    KMRXMLDocument document;
    EXPECT_EQ("!sQueryString.IsEmpty()",
              PlausibilityDetails([&] { document.CreateRecursiveElement(KMRXMLNode(), "", false, false); }));
    EXPECT_EQ("iLastSlash < sQueryString.GetLength() - 1",
              PlausibilityDetails([&] { document.CreateRecursiveElement(KMRXMLNode(), "A/", false, false); }));
    EXPECT_THROW(document.CreateRecursiveElement(KMRXMLNode(), "A/1bad", false, false), KMRCOMException);
}

TEST(XmlDocument, AppendSubTreeCopiesNodesOfAnotherDocument)
{
    KMRXMLDocument source;
    source.SetXML("<s><i n=\"1\"><j/></i><i n=\"2\"/></s>");
    KMRXMLDocument target;
    target.CreateRootElement("t");
    KMRXMLNode root = target.SelectSingleNode("t");
    target.AppendSubTree(root, source.SelectNodes("s/i"));
    target.AppendSubTree(root, source.SelectSingleNode("s/i/j"));
    EXPECT_EQ("<t><i n=\"1\"><j/></i><i n=\"2\"/><j/></t>", root.GetXML());
    // The source is unchanged.
    EXPECT_EQ(2, source.SelectNodes("s/i").GetLength());
}
