// Internal plumbing of KMRXML: libxml2 trees, handle access, errors and conversions.
#pragma once

#include <KMRXML/KMRCOMException.h>
#include <KMRXML/KMRXMLDocument.h>
#include <KMRXML/KMRXMLNamedNodeMap.h>
#include <KMRXML/KMRXMLNode.h>
#include <KMRXML/KMRXMLNodeList.h>

#include <KMRBase/KMRException.h>
#include <KMRBase/KMRString.h>

#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

namespace KMRXMLInternal
{
// Engine status codes, in the HRESULT form the exceptions carry.
constexpr uint32_t E_FAIL_STATUS = 0x80004005u;
constexpr uint32_t E_NOINTERFACE_STATUS = 0x80004002u;
constexpr uint32_t E_INVALIDARG_STATUS = 0x80070057u;
// An operating-system error number (errno) as a status.
inline uint32_t StatusFromErrno(int error_i)
{
    return 0x80070000u | (static_cast<uint32_t>(error_i) & 0xFFFFu);
}

// Initialises libxml2 once per process (safe from any thread).
void InitEngine();

// One libxml2 document with every node that was ever detached from it or created
// for it. libxml2 frees a node only with its tree, and handles may still point at
// detached nodes, so those are kept here and freed together with the document.
class Tree
{
public:
    // Takes ownership of doc_i. sDeclaration_i is the XML declaration the parsed
    // text began with ("<?xml ...", without "?>"), empty when it had none.
    Tree(xmlDocPtr doc_i, std::string sDeclaration_i);
    ~Tree();
    Tree(const Tree&) = delete;
    Tree& operator=(const Tree&) = delete;

    xmlDocPtr Doc() const { return m_pDoc; }
    xmlNodePtr DocNode() const { return reinterpret_cast<xmlNodePtr>(m_pDoc); }
    bool HasDeclaration() const { return !m_sDeclaration.empty(); }
    const std::string& Declaration() const { return m_sDeclaration; }
    // Records a node that is (or may become) detached; freed with the tree when it
    // has no parent then.
    void Track(xmlNodePtr node_i);

private:
    xmlDocPtr m_pDoc;
    std::string m_sDeclaration;
    std::mutex m_Mutex;
    std::unordered_set<xmlNodePtr> m_Detached;
};

// The document object shared by copies of one KMRXMLDocument: its current tree and
// its settings. Load replaces the tree; the old one lives on while handles use it.
class Document
{
public:
    // A new, empty document.
    Document();
    // A document around an existing tree.
    explicit Document(std::shared_ptr<Tree> tree_i);
    std::shared_ptr<Tree> GetTree() const;
    void SetTree(std::shared_ptr<Tree> tree_i);
    bool PreservesWhiteSpace() const;
    void SetPreserveWhiteSpace();

private:
    mutable std::mutex m_Mutex;
    std::shared_ptr<Tree> m_pTree;
    bool m_bPreserveWhiteSpace = false;
};

// A resolved handle: the node together with what keeps it alive.
struct NodeRef
{
    std::shared_ptr<Document> document;
    std::shared_ptr<Tree> tree;
    xmlNodePtr node = nullptr;
};

struct NodeListData
{
    std::shared_ptr<Document> document;
    std::shared_ptr<Tree> tree;
    std::vector<xmlNodePtr> nodes;
};

// Reads and builds the private parts of the public handles.
struct Access
{
    static NodeRef Resolve(const KMRXMLNode& node_i);
    static KMRXMLNode MakeNode(const NodeRef& ref_i);
    static KMRXMLNode MakeNode(const std::shared_ptr<Document>& document_i, const std::shared_ptr<Tree>& tree_i,
                               xmlNodePtr node_i);
    static KMRXMLDocument MakeDocument(const std::shared_ptr<Document>& document_i);
    static KMRXMLNodeList MakeList(const std::shared_ptr<Document>& document_i, const std::shared_ptr<Tree>& tree_i,
                                   std::vector<xmlNodePtr> nodes_i);
    static KMRXMLNamedNodeMap MakeMap(const NodeRef& element_i);
    static std::shared_ptr<Document> DocumentOf(const KMRXMLDocument& document_i);
};

// Collects the first error libxml2 reports on this thread while the object lives,
// and keeps libxml2 from printing anything.
class ErrorCapture
{
public:
    ErrorCapture();
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;

    bool HasError() const { return m_bHasError; }
    int Code() const { return m_iCode; }
    int Line() const { return m_iLine; }
    int Column() const { return m_iColumn; }
    const std::string& Message() const { return m_sMessage; }
    const std::string& File() const { return m_sFile; }
    // The message, or "" when nothing was reported.
    std::string Description() const { return m_bHasError ? m_sMessage : std::string(); }

private:
    static void _OnStructured(void* context_i, xmlErrorPtr error_i);
    static void _OnGeneric(void* context_i, const char* message_i, ...);

    xmlStructuredErrorFunc m_pPreviousStructured;
    void* m_pPreviousStructuredContext;
    xmlGenericErrorFunc m_pPreviousGeneric;
    void* m_pPreviousGenericContext;
    bool m_bHasError = false;
    int m_iCode = 0;
    int m_iLine = 0;
    int m_iColumn = 0;
    std::string m_sMessage;
    std::string m_sFile;
};

// Throws a plausibility failure (type 7) whose details are the broken condition.
[[noreturn]] void ThrowPlausibility(const char* module_i, int line_i, const char* where_i, const char* condition_i);
// Throws a KMRCOMException for a failed engine call.
[[noreturn]] void ThrowEngine(const char* module_i, int line_i, const char* where_i, const char* call_i,
                              const std::string& description_i, KMRExceptionType type_i, uint32_t hr_i);

// A KMRString from an engine string; frees it when bFree_i.
KMRString FromXml(const xmlChar* text_i);
KMRString TakeXml(xmlChar* text_i);
inline const xmlChar* ToXml(const KMRString& text_i)
{
    return reinterpret_cast<const xmlChar*>(text_i.GetString());
}

// The DOM view of libxml2's node types.
int DomType(xmlNodePtr node_i);
// The qualified name (prefix:local) of an element or attribute.
std::string QualifiedName(xmlNodePtr node_i);
// The element's attribute of that qualified name, or null.
xmlAttrPtr FindAttribute(xmlNodePtr element_i, const KMRString& sName_i);
// True when ancestor_i is node_i or one of its ancestors.
bool IsAncestorOrSelf(xmlNodePtr ancestor_i, xmlNodePtr node_i);
// Links a detached node as the last child of parent_i without merging text nodes
// (libxml2's xmlAddChild may free a text node it merges, which a handle may hold).
void LinkLastChild(xmlNodePtr parent_i, xmlNodePtr child_i);
// Whether the DOM shows the libxml2 children of the node as its children (entity
// references point at their declaration, a DTD holds declarations: neither is shown).
bool ExposesChildren(xmlNodePtr node_i);
// A new detached element of the tree (tracked). Throws KMRCOMException for a text
// that is not an XML name.
xmlNodePtr NewElement(Tree& tree_i, const KMRString& sName_i, const char* module_i, const char* where_i);
// Serialises a node (UTF-8, no declaration); throws KMRCOMException on failure.
std::string SerializeNode(xmlNodePtr node_i, int options_i, const char* module_i, const char* where_i);
// Evaluates an XPath expression with node_i as context; namespace nodes are left out.
// Throws KMRCOMException (type 5) for an invalid expression or a result that is no node set.
std::vector<xmlNodePtr> Select(xmlNodePtr node_i, const KMRString& sQuery_i, const char* module_i,
                               const char* where_i);

// Decimal conversion: leading white space and a sign, digits up to the first other
// character; no digits give 0; values outside [min, max] saturate.
int64_t ParseDecimal(const char* text_i, int64_t min_i, int64_t max_i);
// Unsigned hexadecimal with optional "0x"; 0 when there is no hexadecimal digit.
uint32_t ParseHex(const char* text_i);
} // namespace KMRXMLInternal
