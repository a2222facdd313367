// Internal plumbing of KMRXML: libxml2 trees, handle access, errors and conversions.
#include "KMRXMLInternal.h"

#include <libxml/globals.h>
#include <libxml/parser.h>
#include <libxml/xmlsave.h>
#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace KMRXMLInternal
{
void InitEngine()
{
    static std::once_flag once;
    std::call_once(once, [] { xmlInitParser(); });
}

// ---------------------------------------------------------------- Tree

Tree::Tree(xmlDocPtr doc_i, std::string sDeclaration_i) : m_pDoc(doc_i), m_sDeclaration(std::move(sDeclaration_i)) {}

Tree::~Tree()
{
    // Decide which nodes are roots of detached subtrees before freeing anything:
    // a tracked node inside another detached subtree goes with that subtree, one
    // that is back in the document goes with the document.
    std::vector<xmlNodePtr> roots;
    for (xmlNodePtr node : m_Detached)
    {
        if (node->parent == nullptr)
            roots.push_back(node);
    }
    for (xmlNodePtr node : roots)
        xmlFreeNode(node);
    xmlFreeDoc(m_pDoc);
}

void Tree::Track(xmlNodePtr node_i)
{
    if (node_i == nullptr || node_i == DocNode())
        return;
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Detached.insert(node_i);
}

// ---------------------------------------------------------------- Document

Document::Document()
{
    InitEngine();
    xmlDocPtr doc = xmlNewDoc(BAD_CAST "1.0");
    if (doc == nullptr)
        ThrowPlausibility("KMRXMLDocument", __LINE__, "KMRXMLDocument::KMRXMLDocument", "pXMLDoc");
    m_pTree = std::make_shared<Tree>(doc, std::string());
}

Document::Document(std::shared_ptr<Tree> tree_i) : m_pTree(std::move(tree_i)) {}

std::shared_ptr<Tree> Document::GetTree() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_pTree;
}

void Document::SetTree(std::shared_ptr<Tree> tree_i)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_pTree = std::move(tree_i);
}

bool Document::PreservesWhiteSpace() const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    return m_bPreserveWhiteSpace;
}

void Document::SetPreserveWhiteSpace()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bPreserveWhiteSpace = true;
}

// ---------------------------------------------------------------- Access

NodeRef Access::Resolve(const KMRXMLNode& node_i)
{
    KMRCriticalSection::Owner lock(node_i.m_NodeLock);
    NodeRef ref;
    ref.document = node_i.m_pDocument;
    if (node_i.m_bDocumentNode)
    {
        if (ref.document)
        {
            ref.tree = ref.document->GetTree();
            ref.node = ref.tree->DocNode();
        }
    }
    else
    {
        ref.tree = node_i.m_pTree;
        ref.node = static_cast<xmlNodePtr>(node_i.m_pXMLNode);
    }
    return ref;
}

KMRXMLNode Access::MakeNode(const NodeRef& ref_i)
{
    return MakeNode(ref_i.document, ref_i.tree, ref_i.node);
}

KMRXMLNode Access::MakeNode(const std::shared_ptr<Document>& document_i, const std::shared_ptr<Tree>& tree_i,
                            xmlNodePtr node_i)
{
    KMRXMLNode node;
    if (node_i != nullptr)
    {
        node.m_pDocument = document_i;
        node.m_pTree = tree_i;
        node.m_pXMLNode = node_i;
    }
    return node;
}

KMRXMLDocument Access::MakeDocument(const std::shared_ptr<Document>& document_i)
{
    return KMRXMLDocument(document_i);
}

KMRXMLNodeList Access::MakeList(const std::shared_ptr<Document>& document_i, const std::shared_ptr<Tree>& tree_i,
                                std::vector<xmlNodePtr> nodes_i)
{
    auto data = std::make_shared<NodeListData>();
    data->document = document_i;
    data->tree = tree_i;
    data->nodes = std::move(nodes_i);
    KMRXMLNodeList list;
    list.m_pList = std::move(data);
    return list;
}

KMRXMLNamedNodeMap Access::MakeMap(const NodeRef& element_i)
{
    KMRXMLNamedNodeMap map;
    if (element_i.node != nullptr && element_i.node->type == XML_ELEMENT_NODE)
    {
        map.m_pDocument = element_i.document;
        map.m_pTree = element_i.tree;
        map.m_pXMLNode = element_i.node;
    }
    return map;
}

std::shared_ptr<Document> Access::DocumentOf(const KMRXMLDocument& document_i)
{
    KMRCriticalSection::Owner lock(document_i.m_DocLock);
    return document_i.m_pXMLDoc;
}

// ---------------------------------------------------------------- ErrorCapture

ErrorCapture::ErrorCapture()
    : m_pPreviousStructured(xmlStructuredError), m_pPreviousStructuredContext(xmlStructuredErrorContext),
      m_pPreviousGeneric(xmlGenericError), m_pPreviousGenericContext(xmlGenericErrorContext)
{
    InitEngine();
    xmlSetStructuredErrorFunc(this, &ErrorCapture::_OnStructured);
    xmlSetGenericErrorFunc(this, &ErrorCapture::_OnGeneric);
}

ErrorCapture::~ErrorCapture()
{
    xmlSetStructuredErrorFunc(m_pPreviousStructuredContext, m_pPreviousStructured);
    xmlSetGenericErrorFunc(m_pPreviousGenericContext, m_pPreviousGeneric);
}

void ErrorCapture::_OnStructured(void* context_i, xmlErrorPtr error_i)
{
    auto* self = static_cast<ErrorCapture*>(context_i);
    // Warnings do not make a document unusable; the first real error is the one
    // that explains the failure.
    if (self == nullptr || error_i == nullptr || error_i->level < XML_ERR_ERROR || self->m_bHasError)
        return;
    self->m_bHasError = true;
    self->m_iCode = error_i->code;
    self->m_iLine = error_i->line;
    self->m_iColumn = error_i->int2;
    self->m_sMessage = error_i->message != nullptr ? error_i->message : "";
    self->m_sFile = error_i->file != nullptr ? error_i->file : "";
}

void ErrorCapture::_OnGeneric(void*, const char*, ...)
{
    // Unstructured messages repeat what the structured handler has seen.
}

// ---------------------------------------------------------------- exceptions

void ThrowPlausibility(const char* module_i, int line_i, const char* where_i, const char* condition_i)
{
    throw KMRException(module_i, line_i, where_i, condition_i, KMRException::GetUserTextFromType(KMR_EXC_PLAUSIBILITY),
                       KMRException::GetTitleFromType(KMR_EXC_PLAUSIBILITY));
}

void ThrowEngine(const char* module_i, int line_i, const char* where_i, const char* call_i,
                 const std::string& description_i, KMRExceptionType type_i, uint32_t hr_i)
{
    const std::string details = KMRCOMException::FormatDetails(call_i, description_i, hr_i);
    throw KMRCOMException(module_i, line_i, where_i, details.c_str(), type_i, hr_i);
}

// ---------------------------------------------------------------- texts and nodes

KMRString FromXml(const xmlChar* text_i)
{
    return KMRString(reinterpret_cast<const char*>(text_i));
}

KMRString TakeXml(xmlChar* text_i)
{
    KMRString result = FromXml(text_i);
    xmlFree(text_i);
    return result;
}

int DomType(xmlNodePtr node_i)
{
    if (node_i == nullptr)
        return 0;
    switch (node_i->type)
    {
    case XML_ELEMENT_NODE: return 1;
    case XML_ATTRIBUTE_NODE: return 2;
    case XML_TEXT_NODE: return 3;
    case XML_CDATA_SECTION_NODE: return 4;
    case XML_ENTITY_REF_NODE: return 5;
    case XML_ENTITY_NODE:
    case XML_ENTITY_DECL: return 6;
    case XML_PI_NODE: return 7;
    case XML_COMMENT_NODE: return 8;
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE: return 9;
    case XML_DOCUMENT_TYPE_NODE:
    case XML_DTD_NODE: return 10;
    case XML_DOCUMENT_FRAG_NODE: return 11;
    case XML_NOTATION_NODE: return 12;
    default: return 0;
    }
}

std::string QualifiedName(xmlNodePtr node_i)
{
    std::string name = node_i->name != nullptr ? reinterpret_cast<const char*>(node_i->name) : "";
    if ((node_i->type == XML_ELEMENT_NODE || node_i->type == XML_ATTRIBUTE_NODE) && node_i->ns != nullptr &&
        node_i->ns->prefix != nullptr)
        name = std::string(reinterpret_cast<const char*>(node_i->ns->prefix)) + ":" + name;
    return name;
}

xmlAttrPtr FindAttribute(xmlNodePtr element_i, const KMRString& sName_i)
{
    if (element_i == nullptr || element_i->type != XML_ELEMENT_NODE)
        return nullptr;
    for (xmlAttrPtr attr = element_i->properties; attr != nullptr; attr = attr->next)
    {
        if (QualifiedName(reinterpret_cast<xmlNodePtr>(attr)) == sName_i.GetString())
            return attr;
    }
    return nullptr;
}

bool IsAncestorOrSelf(xmlNodePtr ancestor_i, xmlNodePtr node_i)
{
    for (xmlNodePtr cur = node_i; cur != nullptr; cur = cur->parent)
    {
        if (cur == ancestor_i)
            return true;
    }
    return false;
}

bool ExposesChildren(xmlNodePtr node_i)
{
    switch (node_i->type)
    {
    case XML_ELEMENT_NODE:
    case XML_ATTRIBUTE_NODE:
    case XML_DOCUMENT_NODE:
    case XML_HTML_DOCUMENT_NODE:
    case XML_DOCUMENT_FRAG_NODE: return true;
    default: return false;
    }
}

xmlNodePtr NewElement(Tree& tree_i, const KMRString& sName_i, const char* module_i, const char* where_i)
{
    ErrorCapture errors;
    if (xmlValidateName(ToXml(sName_i), 0) != 0)
    {
        const std::string call = std::string("createElement(\"") + sName_i.GetString() + "\")";
        ThrowEngine(module_i, __LINE__, where_i, call.c_str(), "The name is not a valid XML name.\n",
                    KMR_EXC_OPERATING_SYSTEM, E_INVALIDARG_STATUS);
    }
    xmlNodePtr element = xmlNewDocNode(tree_i.Doc(), nullptr, ToXml(sName_i), nullptr);
    if (element == nullptr)
        ThrowEngine(module_i, __LINE__, where_i, "createElement", errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    tree_i.Track(element);
    return element;
}

void LinkLastChild(xmlNodePtr parent_i, xmlNodePtr child_i)
{
    child_i->parent = parent_i;
    child_i->next = nullptr;
    child_i->prev = parent_i->last;
    if (parent_i->last != nullptr)
        parent_i->last->next = child_i;
    else
        parent_i->children = child_i;
    parent_i->last = child_i;
}

std::string SerializeNode(xmlNodePtr node_i, int options_i, const char* module_i, const char* where_i)
{
    ErrorCapture errors;
    xmlBufferPtr buffer = xmlBufferCreate();
    if (buffer == nullptr)
        ThrowEngine(module_i, __LINE__, where_i, "xmlBufferCreate", errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    std::unique_ptr<xmlBuffer, void (*)(xmlBufferPtr)> guard(buffer, xmlBufferFree);
    xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer, "UTF-8", options_i | XML_SAVE_NO_DECL | XML_SAVE_AS_XML);
    if (save == nullptr)
        ThrowEngine(module_i, __LINE__, where_i, "xmlSaveToBuffer", errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    const long saved = xmlSaveTree(save, node_i);
    const int closed = xmlSaveClose(save);
    if (saved < 0 || closed < 0)
        ThrowEngine(module_i, __LINE__, where_i, "xmlSaveTree", errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    const xmlChar* content = xmlBufferContent(buffer);
    return std::string(reinterpret_cast<const char*>(content), static_cast<size_t>(xmlBufferLength(buffer)));
}

std::vector<xmlNodePtr> Select(xmlNodePtr node_i, const KMRString& sQuery_i, const char* module_i, const char* where_i)
{
    ErrorCapture errors;
    std::unique_ptr<xmlXPathContext, void (*)(xmlXPathContextPtr)> context(xmlXPathNewContext(node_i->doc),
                                                                            xmlXPathFreeContext);
    if (!context)
        ThrowEngine(module_i, __LINE__, where_i, "xmlXPathNewContext", errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    std::unique_ptr<xmlXPathObject, void (*)(xmlXPathObjectPtr)> result(
        xmlXPathNodeEval(node_i, ToXml(sQuery_i), context.get()), xmlXPathFreeObject);
    if (!result)
    {
        const std::string call = std::string(where_i) + "(\"" + sQuery_i.GetString() + "\")";
        ThrowEngine(module_i, __LINE__, where_i, call.c_str(), errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    }
    if (result->type != XPATH_NODESET)
    {
        const std::string call = std::string(where_i) + "(\"" + sQuery_i.GetString() + "\")";
        ThrowEngine(module_i, __LINE__, where_i, call.c_str(), "Expression does not return a DOM node.\n",
                    KMR_EXC_OPERATING_SYSTEM, E_FAIL_STATUS);
    }
    std::vector<xmlNodePtr> nodes;
    if (result->nodesetval != nullptr)
    {
        nodes.reserve(static_cast<size_t>(result->nodesetval->nodeNr));
        for (int i = 0; i < result->nodesetval->nodeNr; ++i)
        {
            xmlNodePtr node = result->nodesetval->nodeTab[i];
            // Namespace nodes are copies owned by the result: no handle may keep them.
            if (node != nullptr && node->type != XML_NAMESPACE_DECL)
                nodes.push_back(node);
        }
    }
    return nodes;
}

// ---------------------------------------------------------------- numbers

int64_t ParseDecimal(const char* text_i, int64_t min_i, int64_t max_i)
{
    if (text_i == nullptr)
        return 0;
    errno = 0;
    char* end = nullptr;
    long long value = std::strtoll(text_i, &end, 10);
    if (end == text_i)
        return 0;
    // strtoll saturates at its own limits; narrow to the caller's.
    if (value < min_i)
        value = min_i;
    if (value > max_i)
        value = max_i;
    return value;
}

uint32_t ParseHex(const char* text_i)
{
    if (text_i == nullptr)
        return 0;
    const char* p = text_i;
    while (*p != '\0' && std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && std::isxdigit(static_cast<unsigned char>(p[2])))
        p += 2;
    uint64_t value = 0;
    bool digits = false;
    for (; std::isxdigit(static_cast<unsigned char>(*p)); ++p)
    {
        digits = true;
        const char c = static_cast<char>(std::toupper(static_cast<unsigned char>(*p)));
        value = value * 16 + static_cast<uint64_t>(c <= '9' ? c - '0' : c - 'A' + 10);
        if (value > 0xFFFFFFFFull)
            return 0xFFFFFFFFu;
    }
    return digits ? static_cast<uint32_t>(value) : 0;
}
} // namespace KMRXMLInternal
