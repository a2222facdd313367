// Reading, navigating and changing nodes, lists and attribute maps.
#include <KMRXML/KMRXMLNode.h>

#include "KMRXMLTestSupport.h"

#include <KMRXML/KMRCOMException.h>
#include <KMRXML/KMRXMLDocument.h>
#include <KMRXML/KMRXMLNamedNodeMap.h>
#include <KMRXML/KMRXMLNodeList.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using ::testing::HasSubstr;

namespace
{
// A flash-script-like document shared by the reading tests.
class XmlScript : public ::testing::Test
{
protected:
    XmlScript()
    {
        m_Document.SetXML("<?xml version=\"1.0\"?>\n"
                          "<Script>\n"
                          "  <Item id=\"7\" Byte=\"300\" Neg=\" -1\" Mixed=\"12abc\" Word=\"70000\" Hex=\"1A\""
                          " Hex0x=\"0x1A\" HexSpace=\" 0x1a\" HexBad=\"G1\" Big=\"99999999999\">first</Item>\n"
                          "  <Item id=\"8\"><!--note--><![CDATA[<raw>]]><?pi data?>second</Item>\n"
                          "  <Other/>\n"
                          "</Script>\n");
    }
    KMRXMLDocument m_Document;
};
} // namespace

TEST_F(XmlScript, QueriesWithChildPathsDescendantsAndPredicates)
{
    EXPECT_EQ(2, m_Document.SelectNodes("Script/Item").GetLength());
    EXPECT_EQ(2, m_Document.SelectNodes("//Item").GetLength());
    // Text includes CDATA sections, not comments or processing instructions.
    EXPECT_EQ("<raw>second", m_Document.SelectSingleNode("//Item[@id='8']").GetText());
    const KMRXMLNode script = m_Document.SelectSingleNode("Script");
    EXPECT_EQ("first", script.SelectSingleNode("Item").GetText());
    EXPECT_EQ("8", script.SelectSingleNode("Item[2]/@id").GetValueString());
    EXPECT_EQ("Script", script.SelectSingleNode("/Script").GetName());
}

TEST_F(XmlScript, MissingNodesReadAsEmpty)
{
    const KMRXMLNode none = m_Document.SelectSingleNode("Script/Nothing");
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ("", none.GetSingleAttribute("id"));
    EXPECT_EQ(0u, none.GetSingleAttributeBYTE("id"));
    EXPECT_EQ(0u, none.GetSingleAttributeWORD("id"));
    EXPECT_EQ(0u, none.GetSingleAttributeDWORD("id"));
    EXPECT_EQ(0u, none.GetSingleAttributeFromHex("id"));
    EXPECT_EQ("", none.GetText());
    EXPECT_EQ("", none.GetPath());
    EXPECT_TRUE(none.SelectSingleNode("x").IsEmpty());
    EXPECT_TRUE(none.SelectNodes("x").IsEmpty());
    EXPECT_EQ(0, none.SelectNodes("x").GetLength());

    const KMRXMLNodeList items = m_Document.SelectNodes("Script/Item");
    EXPECT_TRUE(items.GetItem(items.GetLength()).IsEmpty());
    EXPECT_TRUE(items.GetItem(-1).IsEmpty());
    EXPECT_TRUE(KMRXMLNodeList().GetItem(0).IsEmpty());
    EXPECT_FALSE(m_Document.SelectNodes("Script/Nothing").IsEmpty());
    EXPECT_EQ(0, m_Document.SelectNodes("Script/Nothing").GetLength());
}

TEST_F(XmlScript, AttributeNumbers)
{
    const KMRXMLNode item = m_Document.SelectSingleNode("Script/Item");
    EXPECT_EQ(44u, item.GetSingleAttributeBYTE("Byte"));
    EXPECT_EQ(255u, item.GetSingleAttributeBYTE("Neg"));
    EXPECT_EQ(0xFFFFFFFFu, item.GetSingleAttributeDWORD("Neg"));
    EXPECT_EQ(12u, item.GetSingleAttributeDWORD("Mixed"));
    EXPECT_EQ(4464u, item.GetSingleAttributeWORD("Word"));
    EXPECT_EQ(1u, item.GetSingleAttributeDWORD("Hex")); // decimal reading stops at A
    EXPECT_EQ(0x7FFFFFFFu, item.GetSingleAttributeDWORD("Big"));
    EXPECT_EQ(26u, item.GetSingleAttributeFromHex("Hex"));
    EXPECT_EQ(26u, item.GetSingleAttributeFromHex("Hex0x"));
    EXPECT_EQ(26u, item.GetSingleAttributeFromHex("HexSpace"));
    EXPECT_EQ(0u, item.GetSingleAttributeFromHex("HexBad"));
    EXPECT_EQ(0u, item.GetSingleAttributeFromHex("Missing"));
}

TEST_F(XmlScript, NodeKindsNamesAndValues)
{
    struct Case
    {
        const char* query;
        int type;
        const char* typeWord;
        const char* name;
        const char* value;
    };
    const Case cases[] = {
        {"/", 9, "document", "#document", ""},
        {"Script", 1, "element", "Script", ""},
        {"Script/Item/@id", 2, "attribute", "id", "7"},
        {"Script/Item/text()", 3, "text", "#text", "first"},
        {"Script/Item[2]/comment()", 8, "comment", "#comment", "note"},
        {"Script/Item[2]/node()[2]", 4, "cdatasection", "#cdata-section", "<raw>"},
        {"Script/Item[2]/processing-instruction()", 7, "processinginstruction", "pi", "data"},
    };
    for (const Case& c : cases)
    {
        const KMRXMLNode node = m_Document.SelectSingleNode(c.query);
        EXPECT_EQ(c.type, node.GetType()) << c.query;
        EXPECT_EQ(c.typeWord, node.GetTypeString()) << c.query;
        EXPECT_EQ(c.name, node.GetName()) << c.query;
        EXPECT_EQ(c.value, node.GetValueString()) << c.query;
    }
    EXPECT_EQ(0, KMRXMLNode().GetType());
}

TEST_F(XmlScript, PathsNavigationAndDump)
{
    const KMRXMLNode item = m_Document.SelectSingleNode("Script/Item");
    EXPECT_EQ("/Script/Item[@id='7']", item.GetPath());
    EXPECT_EQ("/Script/Other", m_Document.SelectSingleNode("Script/Other").GetPath());
    EXPECT_EQ("Script", item.GetParent().GetName());
    EXPECT_TRUE(item.HasParent());
    EXPECT_FALSE(m_Document.HasParent());
    // Attributes have no parent, as in the DOM.
    EXPECT_FALSE(item.GetAttributes().GetItem(0).HasParent());
    EXPECT_TRUE(item.HasChildNodes());
    EXPECT_FALSE(m_Document.SelectSingleNode("Script/Other").HasChildNodes());
    EXPECT_EQ(3, m_Document.SelectSingleNode("Script").GetChildNodes().GetLength());
    EXPECT_EQ("first", item.GetDocument().SelectSingleNode("Script/Item").GetText());
    EXPECT_EQ("m_pXMLNode", PlausibilityDetails([] { KMRXMLNode().GetDocument(); }));

    ::testing::internal::CaptureStdout();
    m_Document.SelectSingleNode("Script/Other").DumpRecursive(1);
    item.SelectSingleNode("text()").DumpRecursive(0);
    EXPECT_EQ("   element Name=Other Value=''\ntext Name=#text Value='first'\n",
              ::testing::internal::GetCapturedStdout());
}

TEST_F(XmlScript, InvalidQueriesFailAsEngineCalls)
{
    for (const char* query : {"Script/[", "count(//Item)", "x:Item"})
    {
        try
        {
            m_Document.SelectNodes(query);
            ADD_FAILURE() << query;
        }
        catch (const KMRCOMException& e)
        {
            EXPECT_EQ(KMR_EXC_OPERATING_SYSTEM, e.GetType()) << query;
            EXPECT_THAT(e.GetDetails(), HasSubstr("(HRESULT=0x80004005)")) << query;
        }
    }
}

TEST_F(XmlScript, ListsAndAttributeMapsIterate)
{
    KMRXMLNodeList items = m_Document.SelectNodes("Script/Item");
    EXPECT_EQ("7", items.GetNextNode().GetSingleAttribute("id"));
    EXPECT_EQ("8", items.GetNextNode().GetSingleAttribute("id"));
    EXPECT_TRUE(items.GetNextNode().IsEmpty());
    items.Reset();
    EXPECT_EQ("7", items.GetNextNode().GetSingleAttribute("id"));

    KMRXMLNamedNodeMap attributes = m_Document.SelectSingleNode("Script/Item").GetAttributes();
    EXPECT_EQ(10, attributes.GetLength());
    EXPECT_EQ("id", attributes.GetNextNode().GetName());
    EXPECT_TRUE(attributes.HasNamedItem("Hex"));
    EXPECT_EQ("1A", attributes.GetNamedItem("Hex").GetValueString());
    EXPECT_TRUE(attributes.GetNamedItem("none").IsEmpty());
    EXPECT_TRUE(m_Document.SelectSingleNode("Script").GetAttributes().GetItem(0).IsEmpty());
    EXPECT_TRUE(m_Document.GetAttributes().IsEmpty());
}

TEST(XmlNodeChanges, TextAndAttributes)
{
    KMRXMLDocument document;
    document.SetXML("<a x=\"1\"><b>old<c/></b></a>");
    KMRXMLNode b = document.SelectSingleNode("a/b");
    const KMRXMLNode c = b.SelectSingleNode("c");
    b.SetText("new & <text>");
    EXPECT_EQ("<b>new &amp; &lt;text&gt;</b>", b.GetXML());
    // A handle to a replaced child stays usable.
    EXPECT_EQ("c", c.GetName());
    EXPECT_FALSE(c.HasParent());

    KMRXMLNode a = document.SelectSingleNode("a");
    a.SetAttribute("x", "2");
    a.SetAttribute("y", "\"3\"");
    EXPECT_EQ("2", a.GetSingleAttribute("x"));
    EXPECT_EQ("<a x=\"2\" y=\"&quot;3&quot;\"><b>new &amp; &lt;text&gt;</b></a>", a.GetXML());
    EXPECT_THROW(a.SetAttribute("1y", "v"), KMRCOMException);
    KMRXMLNode text = b.SelectSingleNode("text()");
    EXPECT_THROW(text.SetAttribute("y", "v"), KMRCOMException);
    text.SetText("plain");
    EXPECT_EQ("plain", b.GetText());

    KMRXMLNode empty;
    EXPECT_EQ("m_pXMLNode", PlausibilityDetails([&] { empty.SetText("x"); }));
    EXPECT_EQ("m_pXMLNode", PlausibilityDetails([&] { empty.SetAttribute("x", "1"); }));
    EXPECT_EQ("m_pXMLNode", PlausibilityDetails([&] { empty.DeleteChildren(); }));
    EXPECT_EQ("m_pXMLNode", PlausibilityDetails([&] { empty.AppendChild(a); }));
    EXPECT_EQ("Child.m_pXMLNode", PlausibilityDetails([&] { a.AppendChild(empty); }));
    EXPECT_EQ("!sName.IsEmpty()", PlausibilityDetails([&] { KMRXMLNode(document, ""); }));
}

TEST(XmlNodeChanges, AppendMovesAndRefusesWhatTheDomRefuses)
{
    KMRXMLDocument document;
    document.SetXML("<a><b>t1</b><c/></a>");
    KMRXMLNode a = document.SelectSingleNode("a");
    KMRXMLNode b = document.SelectSingleNode("a/b");
    KMRXMLNode c = document.SelectSingleNode("a/c");
    c.AppendChild(b);
    EXPECT_EQ("<a><c><b>t1</b></c></a>", a.GetXML());

    // A text node appended next to another text node stays a node of its own.
    KMRXMLNode text = b.SelectSingleNode("text()");
    KMRXMLNode textCopy = text.CreateClone();
    b.AppendChild(textCopy);
    EXPECT_EQ(2, b.GetChildNodes().GetLength());
    EXPECT_EQ("t1", textCopy.GetValueString());
    EXPECT_EQ("t1t1", b.GetText());

    KMRXMLNode fresh(document, "d");
    EXPECT_FALSE(fresh.HasParent());
    a.AppendChild(fresh);
    EXPECT_EQ("/a/d", fresh.GetPath());

    KMRXMLDocument other;
    other.SetXML("<z/>");
    EXPECT_THROW(a.AppendChild(other.SelectSingleNode("z")), KMRCOMException); // another document
    EXPECT_THROW(b.AppendChild(a), KMRCOMException);                           // own ancestor
    EXPECT_THROW(b.AppendChild(b), KMRCOMException);                           // itself
    EXPECT_THROW(document.AppendChild(KMRXMLNode(document, "second")), KMRCOMException); // second root
    EXPECT_THROW(text.AppendChild(fresh), KMRCOMException);                    // text has no children
    EXPECT_EQ("<a><c><b>t1t1</b></c><d/></a>", a.GetXML());
}

TEST(XmlNodeChanges, DeleteDetachesAndClonesAreDetachedCopies)
{
    KMRXMLDocument document;
    document.SetXML("<a><b n=\"1\"><x/></b><c/><d/></a>");
    KMRXMLNode b = document.SelectSingleNode("a/b");
    const KMRXMLNode keep = b;
    const KMRXMLNode shallow = b.CreateClone();
    const KMRXMLNode deep = b.CreateRecursiveClone();
    b.Delete();
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ("<b n=\"1\"><x/></b>", keep.GetXML());
    EXPECT_FALSE(keep.HasParent());
    EXPECT_EQ("<b n=\"1\"/>", shallow.GetXML());
    EXPECT_EQ("<b n=\"1\"><x/></b>", deep.GetXML());
    EXPECT_EQ("<a><c/><d/></a>", document.SelectSingleNode("a").GetXML());
    b.Delete(); // on an empty node: nothing

    KMRXMLNode a = document.SelectSingleNode("a");
    const KMRXMLNodeList children = a.GetChildNodes();
    a.DeleteChildren();
    EXPECT_FALSE(a.HasChildNodes());
    EXPECT_EQ("c", children.GetItem(0).GetName());
    a.AppendChild(deep);
    EXPECT_EQ("<a><b n=\"1\"><x/></b></a>", a.GetXML());

    KMRXMLNode whole = document.CreateRecursiveClone();
    EXPECT_EQ(9, whole.GetType());
    EXPECT_EQ("1", whole.SelectSingleNode("a/b").GetSingleAttribute("n"));
}

TEST(XmlNodeChanges, AttributeMapsRemoveAndAppend)
{
    KMRXMLDocument document;
    document.SetXML("<a><b x=\"1\" y=\"2\"/><c x=\"9\"/></a>");
    KMRXMLNamedNodeMap fromB = document.SelectSingleNode("a/b").GetAttributes();
    const KMRXMLNode x = fromB.GetNamedItem("x");
    fromB.RemoveNamedItem("x");
    fromB.RemoveNamedItem("missing");
    EXPECT_EQ(1, fromB.GetLength());
    EXPECT_EQ("1", x.GetValueString());

    KMRXMLNamedNodeMap fromC = document.SelectSingleNode("a/c").GetAttributes();
    fromC.AppendNamedItem(x);
    EXPECT_EQ("<c x=\"1\"/>", document.SelectSingleNode("a/c").GetXML());
    EXPECT_THROW(fromB.AppendNamedItem(x), KMRCOMException); // still owned by c
    EXPECT_THROW(fromB.AppendNamedItem(document.SelectSingleNode("a")), KMRCOMException);
    EXPECT_EQ("m_pXMLNode", PlausibilityDetails([] { KMRXMLNamedNodeMap().RemoveNamedItem("x"); }));
}
