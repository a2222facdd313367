// Fuzz target: arbitrary bytes loaded as an XML document, then queried, changed and saved.
#include <KMRXML/KMRXMLDocument.h>
#include <KMRXML/KMRXMLNamedNodeMap.h>
#include <KMRXML/KMRXMLNodeList.h>

#include <KMRBase/KMRException.h>

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

namespace
{
constexpr long MAX_NODES = 64;

// Reads what the scripts and content files read from a node.
void ReadNode(const KMRXMLNode& node_i)
{
    node_i.GetType();
    node_i.GetTypeString();
    node_i.GetName();
    node_i.GetPath();
    node_i.GetText();
    node_i.GetValueString();
    node_i.GetSingleAttribute("ImageFile");
    node_i.GetSingleAttributeBYTE("KC2Addr");
    node_i.GetSingleAttributeWORD("ComPort");
    node_i.GetSingleAttributeDWORD("Baudrate");
    node_i.GetSingleAttributeFromHex("ContentID");
    node_i.HasParent();
    node_i.GetParent().GetName();
    const KMRXMLNamedNodeMap attributes = node_i.GetAttributes();
    for (long i = 0; i < attributes.GetLength() && i < MAX_NODES; ++i)
        attributes.GetItem(i).GetValueString();
    const KMRXMLNodeList children = node_i.GetChildNodes();
    for (long i = 0; i < children.GetLength() && i < MAX_NODES; ++i)
        children.GetItem(i).GetName();
    try
    {
        node_i.GetXML();
    }
    catch (const KMRException&)
    {
    }
}

void Query(const KMRXMLNode& context_i, const char* query_i)
{
    const KMRXMLNodeList nodes = context_i.SelectNodes(query_i);
    for (long i = 0; i < nodes.GetLength() && i < MAX_NODES; ++i)
        ReadNode(nodes.GetItem(i));
}

// Changes a deep copy of the root element and moves nodes around in it.
void Change(const KMRXMLDocument& document_i)
{
    const KMRXMLNode root = document_i.SelectSingleNode("*");
    if (root.IsEmpty())
        return;
    KMRXMLNode copy = root.CreateRecursiveClone();
    KMRXMLNode first = copy.SelectSingleNode("*");
    if (!first.IsEmpty())
    {
        first.SetAttribute("KC2Addr", "7");
        copy.AppendChild(first.CreateRecursiveClone());
        KMRXMLNode text = copy.SelectSingleNode("text()");
        if (!text.IsEmpty())
            first.AppendChild(text);
        first.Delete();
    }
    copy.SetText("changed");
    copy.GetXML();
}

// Takes a copy of the whole document apart node by node while handles to the
// removed nodes stay in use.
void TakeApart(const KMRXMLDocument& document_i)
{
    const KMRXMLNode copy = document_i.CreateRecursiveClone();
    const KMRXMLNodeList nodes = copy.SelectNodes("//node() | //@*");
    const long length = nodes.GetLength() < MAX_NODES ? nodes.GetLength() : MAX_NODES;
    for (long i = length - 1; i >= 0; --i)
    {
        KMRXMLNode node = nodes.GetItem(i);
        KMRXMLNode parent = node.GetParent();
        node.Delete();
        if (!parent.IsEmpty() && i % 3 == 0)
        {
            try
            {
                parent.AppendChild(nodes.GetItem(i));
            }
            catch (const KMRException&)
            {
            }
        }
    }
    for (long i = 0; i < length; ++i)
        nodes.GetItem(i).GetXML();
    copy.GetXML();
}

bool Load(KMRXMLDocument& document_i, const std::string& bytes_i)
{
    std::istringstream stream(bytes_i);
    try
    {
        document_i.Load(stream);
        return true;
    }
    catch (const KMRException&)
    {
        return false;
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data_i, size_t size_i)
{
    KMRXMLDocument document;
    if (!Load(document, std::string(reinterpret_cast<const char*>(data_i), size_i)))
        return 0;
    try
    {
        Query(document, "FlashScript/FlashItem");
        Query(document, "FirmwareUploadScript/UploadItem");
        Query(document, "CompoundContent/Content/Frame/*");
        Query(document, "//*[@id]");
        Query(document, "//node()");
        Query(document, "//@*");
        Change(document);
        TakeApart(document);
        document.CreateRecursiveElement(KMRXMLNode(), "A/B[@c='d']", false, false);
    }
    catch (const KMRException&)
    {
    }
    try
    {
        document.GetXML();
    }
    catch (const KMRException&)
    {
    }

    // What the document writes it must read back.
    std::ostringstream saved;
    try
    {
        document.Save(saved);
    }
    catch (const KMRException&)
    {
        return 0;
    }
    KMRXMLDocument reloaded;
    if (!Load(reloaded, saved.str()))
        __builtin_trap();
    return 0;
}
