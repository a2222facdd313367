// KMRXMLNode: a shared handle to one node of an XML document.
#include <KMRXML/KMRXMLNode.h>

#include "KMRXMLInternal.h"

#include <KMRXML/KMRXMLDocument.h>
#include <KMRXML/KMRXMLNamedNodeMap.h>
#include <KMRXML/KMRXMLNodeList.h>

#include <libxml/tree.h>

#include <climits>
#include <cstdio>

using namespace KMRXMLInternal;

namespace
{
constexpr const char* MODULE = "KMRXMLNode";

bool IsXmlSpace(char c_i)
{
    return c_i == ' ' || c_i == '\t' || c_i == '\r' || c_i == '\n';
}

KMRString TrimXmlSpace(const KMRString& text_i)
{
    int first = 0;
    int last = text_i.GetLength();
    while (first < last && IsXmlSpace(text_i.GetAt(first)))
        ++first;
    while (last > first && IsXmlSpace(text_i.GetAt(last - 1)))
        --last;
    return text_i.Mid(first, last - first);
}

KMRString NodeName(xmlNodePtr node_i)
{
    switch (node_i->type)
    {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE: return KMRString(QualifiedName(node_i));
    case XML_TEXT_NODE: return "#text";
    case XML_CDATA_SECTION_NODE: return "#cdata-section";
    case XML_COMMENT_NODE: return "#comment";
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE: return "#document";
    case XML_DOCUMENT_FRAG_NODE: return "#document-fragment";
    default: return FromXml(node_i->name);
    }
}

const char* TypeWord(int type_i)
{
    static const char* const WORDS[] = {"",
                                        "element",
                                        "attribute",
                                        "text",
                                        "cdatasection",
                                        "entityreference",
                                        "entity",
                                        "processinginstruction",
                                        "comment",
                                        "document",
                                        "documenttype",
                                        "documentfragment",
                                        "notation"};
    return type_i >= 0 && type_i <= 12 ? WORDS[type_i] : "";
}

KMRString NodeValue(xmlNodePtr node_i)
{
    switch (node_i->type)
    {
    case XML_ATTRIBUTE_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE: return TakeXml(xmlNodeGetContent(node_i));
    default: return KMRString();
    }
}

bool HasDomParent(xmlNodePtr node_i)
{
    return node_i->type != XML_ATTRIBUTE_NODE && node_i->parent != nullptr;
}

KMRString PathOf(xmlNodePtr node_i)
{
    KMRString name = NodeName(node_i);
    if (name.GetAt(0) == '#')
        name.Empty();
    if (!name.IsEmpty() && node_i->type == XML_ELEMENT_NODE && node_i->properties != nullptr)
    {
        xmlAttrPtr first = node_i->properties;
        name += "[@";
        name += QualifiedName(reinterpret_cast<xmlNodePtr>(first)).c_str();
        name += "='";
        name += TakeXml(xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(first)));
        name += "']";
    }
    if (HasDomParent(node_i))
        return PathOf(node_i->parent) + "/" + name;
    return name;
}

void Dump(xmlNodePtr node_i, int level_i)
{
    const std::string indent(static_cast<size_t>(level_i > 0 ? level_i * 3 : 0), ' ');
    std::printf("%s%s Name=%s Value='%s'\n", indent.c_str(), TypeWord(DomType(node_i)), NodeName(node_i).GetString(),
                NodeValue(node_i).GetString());
    if (node_i->type == XML_ELEMENT_NODE)
    {
        for (xmlAttrPtr attr = node_i->properties; attr != nullptr; attr = attr->next)
            Dump(reinterpret_cast<xmlNodePtr>(attr), level_i + 1);
    }
    if (ExposesChildren(node_i))
    {
        for (xmlNodePtr child = node_i->children; child != nullptr; child = child->next)
            Dump(child, level_i + 1);
    }
}

// Detaches the children of a node; handles to them stay valid.
void DetachChildren(const NodeRef& ref_i)
{
    if (!ExposesChildren(ref_i.node))
        return;
    while (ref_i.node->children != nullptr)
    {
        xmlNodePtr child = ref_i.node->children;
        xmlUnlinkNode(child);
        ref_i.tree->Track(child);
    }
}

// Replaces the children of an element, attribute or fragment by one text node.
void ReplaceByText(const NodeRef& ref_i, const KMRString& sText_i)
{
    DetachChildren(ref_i);
    if (sText_i.IsEmpty())
        return;
    xmlNodePtr text = xmlNewDocText(ref_i.tree->Doc(), ToXml(sText_i));
    if (text == nullptr)
        ThrowEngine(MODULE, __LINE__, "KMRXMLNode::SetText", "createTextNode", "", KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    LinkLastChild(ref_i.node, text);
}

// Whether child_i may become a child of parent_i (DOM hierarchy rules).
const char* HierarchyProblem(xmlNodePtr parent_i, xmlNodePtr child_i)
{
    switch (child_i->type)
    {
    case XML_ELEMENT_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE: break;
    default: return "This node type cannot be inserted.\n";
    }
    switch (parent_i->type)
    {
    case XML_ELEMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE: break;
    case XML_DOCUMENT_NODE:
        if (child_i->type == XML_ELEMENT_NODE && xmlDocGetRootElement(parent_i->doc) != nullptr)
            return "Only one top level element is allowed in an XML document.\n";
        if (child_i->type != XML_ELEMENT_NODE && child_i->type != XML_PI_NODE && child_i->type != XML_COMMENT_NODE)
            return "This node type cannot be a child of the document.\n";
        break;
    default: return "This node type cannot have children.\n";
    }
    if (IsAncestorOrSelf(child_i, parent_i))
        return "A node cannot be inserted into its own subtree.\n";
    return nullptr;
}

KMRXMLNode Clone(const NodeRef& ref_i, int extended_i, const char* where_i)
{
    if (ref_i.node == nullptr)
        return KMRXMLNode();
    ErrorCapture errors;
    if (ref_i.node->type == XML_DOCUMENT_NODE)
    {
        // A document copies into a document of its own.
        xmlDocPtr copy = xmlCopyDoc(ref_i.tree->Doc(), extended_i == 1 ? 1 : 0);
        if (copy == nullptr)
            ThrowEngine(MODULE, __LINE__, where_i, "cloneNode", errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                        E_FAIL_STATUS);
        auto tree = std::make_shared<Tree>(copy, ref_i.tree->Declaration());
        auto document = std::make_shared<Document>(tree);
        return Access::MakeNode(document, tree, tree->DocNode());
    }
    switch (ref_i.node->type)
    {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_ENTITY_REF_NODE:
    case XML_PI_NODE:
    case XML_COMMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE: break;
    default:
        ThrowEngine(MODULE, __LINE__, where_i, "cloneNode", "This node type cannot be cloned.\n",
                    KMR_EXC_OPERATING_SYSTEM, E_FAIL_STATUS);
    }
    xmlNodePtr copy = xmlDocCopyNode(ref_i.node, ref_i.tree->Doc(), extended_i);
    if (copy == nullptr)
        ThrowEngine(MODULE, __LINE__, where_i, "cloneNode", errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    ref_i.tree->Track(copy);
    return Access::MakeNode(ref_i.document, ref_i.tree, copy);
}
} // namespace

KMRXMLNode::KMRXMLNode() = default;

KMRXMLNode::KMRXMLNode(const KMRXMLDocument& document_i, const KMRString& sName_i)
{
    if (sName_i.IsEmpty())
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLNode::KMRXMLNode", "!sName.IsEmpty()");
    std::shared_ptr<Document> document = Access::DocumentOf(document_i);
    if (!document)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLNode::KMRXMLNode", "m_pXMLDoc");
    std::shared_ptr<Tree> tree = document->GetTree();
    m_pXMLNode = NewElement(*tree, sName_i, MODULE, "KMRXMLNode::KMRXMLNode");
    m_pDocument = std::move(document);
    m_pTree = std::move(tree);
}

KMRXMLNode::KMRXMLNode(const KMRXMLNode& other_i)
{
    KMRCriticalSection::Owner lock(other_i.m_NodeLock);
    m_pDocument = other_i.m_pDocument;
    m_pTree = other_i.m_pTree;
    m_pXMLNode = other_i.m_pXMLNode;
    m_bDocumentNode = other_i.m_bDocumentNode;
}

KMRXMLNode& KMRXMLNode::operator=(const KMRXMLNode& other_i)
{
    if (this == &other_i)
        return *this;
    std::shared_ptr<Document> document;
    std::shared_ptr<Tree> tree;
    void* node = nullptr;
    bool documentNode = false;
    {
        KMRCriticalSection::Owner lock(other_i.m_NodeLock);
        document = other_i.m_pDocument;
        tree = other_i.m_pTree;
        node = other_i.m_pXMLNode;
        documentNode = other_i.m_bDocumentNode;
    }
    KMRCriticalSection::Owner lock(m_NodeLock);
    m_pDocument = std::move(document);
    m_pTree = std::move(tree);
    m_pXMLNode = node;
    m_bDocumentNode = documentNode;
    return *this;
}

KMRXMLNode::~KMRXMLNode() = default;

int KMRXMLNode::GetType() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    return DomType(Access::Resolve(*this).node);
}

KMRString KMRXMLNode::GetTypeString() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    return TypeWord(DomType(Access::Resolve(*this).node));
}

KMRString KMRXMLNode::GetName() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    return ref.node != nullptr ? NodeName(ref.node) : KMRString();
}

KMRString KMRXMLNode::GetPath() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    return ref.node != nullptr ? PathOf(ref.node) : KMRString();
}

KMRString KMRXMLNode::GetText() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        return KMRString();
    const KMRString text = TakeXml(xmlNodeGetContent(ref.node));
    if (ref.document && ref.document->PreservesWhiteSpace())
        return text;
    return TrimXmlSpace(text);
}

KMRString KMRXMLNode::GetValueString() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    return ref.node != nullptr ? NodeValue(ref.node) : KMRString();
}

KMRString KMRXMLNode::GetSingleAttribute(const KMRString& sName_i) const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    xmlAttrPtr attr = FindAttribute(ref.node, sName_i);
    return attr != nullptr ? TakeXml(xmlNodeGetContent(reinterpret_cast<xmlNodePtr>(attr))) : KMRString();
}

KMRXMLNamedNodeMap KMRXMLNode::GetAttributes() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    return Access::MakeMap(Access::Resolve(*this));
}

KMRString KMRXMLNode::GetXML() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        return KMRString();
    std::string xml = SerializeNode(ref.node, 0, MODULE, "KMRXMLNode::GetXML");
    // An attribute is written as it appears inside its element, with a leading space.
    if (ref.node->type == XML_ATTRIBUTE_NODE && !xml.empty() && xml[0] == ' ')
        xml.erase(0, 1);
    return KMRString(xml);
}

bool KMRXMLNode::IsEmpty() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    return Access::Resolve(*this).node == nullptr;
}

void KMRXMLNode::DumpRecursive(int iLevel_i) const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node != nullptr)
        Dump(ref.node, iLevel_i);
}

KMRXMLDocument KMRXMLNode::GetDocument() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr || !ref.document)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLNode::GetDocument", "m_pXMLNode");
    return Access::MakeDocument(ref.document);
}

bool KMRXMLNode::HasParent() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    return ref.node != nullptr && HasDomParent(ref.node);
}

KMRXMLNode KMRXMLNode::GetParent() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr || !HasDomParent(ref.node))
        return KMRXMLNode();
    return Access::MakeNode(ref.document, ref.tree, ref.node->parent);
}

bool KMRXMLNode::HasChildNodes() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    return ref.node != nullptr && ExposesChildren(ref.node) && ref.node->children != nullptr;
}

KMRXMLNodeList KMRXMLNode::GetChildNodes() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        return KMRXMLNodeList();
    std::vector<xmlNodePtr> children;
    if (ExposesChildren(ref.node))
    {
        for (xmlNodePtr child = ref.node->children; child != nullptr; child = child->next)
            children.push_back(child);
    }
    return Access::MakeList(ref.document, ref.tree, std::move(children));
}

KMRXMLNode KMRXMLNode::SelectSingleNode(const KMRString& sQuery_i) const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        return KMRXMLNode();
    const std::vector<xmlNodePtr> nodes = Select(ref.node, sQuery_i, MODULE, "KMRXMLNode::SelectSingleNode");
    return nodes.empty() ? KMRXMLNode() : Access::MakeNode(ref.document, ref.tree, nodes.front());
}

KMRXMLNodeList KMRXMLNode::SelectNodes(const KMRString& sQuery_i) const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        return KMRXMLNodeList();
    return Access::MakeList(ref.document, ref.tree, Select(ref.node, sQuery_i, MODULE, "KMRXMLNode::SelectNodes"));
}

void KMRXMLNode::SetText(const KMRString& sText_i)
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLNode::SetText", "m_pXMLNode");
    switch (ref.node->type)
    {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_DOCUMENT_FRAG_NODE: ReplaceByText(ref, sText_i); break;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
    case XML_COMMENT_NODE:
    case XML_PI_NODE: xmlNodeSetContent(ref.node, ToXml(sText_i)); break;
    default:
        ThrowEngine(MODULE, __LINE__, "KMRXMLNode::SetText", "put_text", "The text of this node type is read-only.\n",
                    KMR_EXC_OPERATING_SYSTEM, E_FAIL_STATUS);
    }
}

void KMRXMLNode::SetAttribute(const KMRString& sName_i, const KMRString& sValue_i)
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLNode::SetAttribute", "m_pXMLNode");
    if (ref.node->type != XML_ELEMENT_NODE)
        ThrowEngine(MODULE, __LINE__, "KMRXMLNode::SetAttribute", "QueryInterface(IXMLDOMElement)",
                    "The node is not an element.\n", KMR_EXC_CONFIGURATION_READ, E_NOINTERFACE_STATUS);
    if (xmlAttrPtr attr = FindAttribute(ref.node, sName_i))
    {
        NodeRef attrRef = ref;
        attrRef.node = reinterpret_cast<xmlNodePtr>(attr);
        ReplaceByText(attrRef, sValue_i);
        return;
    }
    ErrorCapture errors;
    if (xmlValidateName(ToXml(sName_i), 0) != 0)
        ThrowEngine(MODULE, __LINE__, "KMRXMLNode::SetAttribute", "setAttribute", "The name is not a valid XML name.\n",
                    KMR_EXC_OPERATING_SYSTEM, E_INVALIDARG_STATUS);
    if (xmlNewProp(ref.node, ToXml(sName_i), ToXml(sValue_i)) == nullptr)
        ThrowEngine(MODULE, __LINE__, "KMRXMLNode::SetAttribute", "setAttribute", errors.Description(),
                    KMR_EXC_OPERATING_SYSTEM, E_FAIL_STATUS);
}

void KMRXMLNode::Empty()
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    m_pDocument.reset();
    m_pTree.reset();
    m_pXMLNode = nullptr;
    m_bDocumentNode = false;
}

void KMRXMLNode::Delete()
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        return;
    if (ref.node->type != XML_DOCUMENT_NODE && ref.node->parent != nullptr)
    {
        xmlUnlinkNode(ref.node);
        ref.tree->Track(ref.node);
    }
    KMRXMLNode::Empty();
}

void KMRXMLNode::AppendChild(const KMRXMLNode& child_i)
{
    const NodeRef child = Access::Resolve(child_i);
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLNode::AppendChild", "m_pXMLNode");
    if (child.node == nullptr)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLNode::AppendChild", "Child.m_pXMLNode");
    if (child.tree != ref.tree)
        ThrowEngine(MODULE, __LINE__, "KMRXMLNode::AppendChild", "appendChild",
                    "The node belongs to another document.\n", KMR_EXC_OPERATING_SYSTEM, E_FAIL_STATUS);
    if (const char* problem = HierarchyProblem(ref.node, child.node))
        ThrowEngine(MODULE, __LINE__, "KMRXMLNode::AppendChild", "appendChild", problem, KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    if (child.node->parent != nullptr)
        xmlUnlinkNode(child.node);
    LinkLastChild(ref.node, child.node);
    // A moved element may use prefixes declared at its old place.
    if (child.node->type == XML_ELEMENT_NODE)
        xmlReconciliateNs(ref.tree->Doc(), child.node);
}

void KMRXMLNode::DeleteChildren()
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    const NodeRef ref = Access::Resolve(*this);
    if (ref.node == nullptr)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLNode::DeleteChildren", "m_pXMLNode");
    DetachChildren(ref);
}

KMRXMLNode KMRXMLNode::CreateClone() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    return Clone(Access::Resolve(*this), 2, "KMRXMLNode::CreateClone");
}

KMRXMLNode KMRXMLNode::CreateRecursiveClone() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    return Clone(Access::Resolve(*this), 1, "KMRXMLNode::CreateRecursiveClone");
}

uint8_t KMRXMLNode::GetSingleAttributeBYTE(const KMRString& sName_i) const
{
    return static_cast<uint8_t>(GetSingleAttributeDWORD(sName_i));
}

uint16_t KMRXMLNode::GetSingleAttributeWORD(const KMRString& sName_i) const
{
    return static_cast<uint16_t>(GetSingleAttributeDWORD(sName_i));
}

uint32_t KMRXMLNode::GetSingleAttributeDWORD(const KMRString& sName_i) const
{
    const KMRString text = GetSingleAttribute(sName_i);
    return static_cast<uint32_t>(static_cast<int32_t>(ParseDecimal(text.GetString(), INT32_MIN, INT32_MAX)));
}

uint32_t KMRXMLNode::GetSingleAttributeFromHex(const KMRString& sName_i) const
{
    return ParseHex(GetSingleAttribute(sName_i).GetString());
}

void* KMRXMLNode::GetNativeNode() const
{
    KMRCriticalSection::Owner lock(m_NodeLock);
    return Access::Resolve(*this).node;
}
