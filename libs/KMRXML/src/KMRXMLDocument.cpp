// KMRXMLDocument: an XML document that is loaded, queried, changed and saved.
#include <KMRXML/KMRXMLDocument.h>

#include "KMRXMLInternal.h"

#include <libxml/parser.h>
#include <libxml/xmlsave.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

using namespace KMRXMLInternal;

namespace
{
constexpr const char* MODULE = "KMRXMLDocument";
constexpr size_t MAX_DECLARATION = 1024;

bool IsXmlSpace(char c_i)
{
    return c_i == ' ' || c_i == '\t' || c_i == '\r' || c_i == '\n';
}

// The XML declaration at the start of the bytes ("<?xml ..." up to, without, "?>"),
// read in UTF-8 or, after a byte order mark or by its first bytes, in UTF-16;
// empty when the text does not start with one.
std::string LeadingDeclaration(const std::string& bytes_i)
{
    size_t start = 0;
    size_t step = 1;
    size_t offset = 0; // position of the ASCII byte inside a UTF-16 unit
    const auto at = [&bytes_i](size_t i) { return static_cast<unsigned char>(bytes_i[i]); };
    const size_t size = bytes_i.size();
    if (size >= 3 && at(0) == 0xEF && at(1) == 0xBB && at(2) == 0xBF)
        start = 3;
    else if (size >= 2 && at(0) == 0xFF && at(1) == 0xFE)
        start = 2, step = 2, offset = 0;
    else if (size >= 2 && at(0) == 0xFE && at(1) == 0xFF)
        start = 2, step = 2, offset = 1;
    else if (size >= 2 && at(0) == '<' && at(1) == 0)
        step = 2, offset = 0;
    else if (size >= 2 && at(0) == 0 && at(1) == '<')
        step = 2, offset = 1;
    std::string text;
    for (size_t i = start; i + step - 1 < size && text.size() < MAX_DECLARATION; i += step)
    {
        if (step == 2 && at(i + 1 - offset) != 0)
            break;
        const char c = static_cast<char>(at(i + offset));
        if (c == '\0')
            break;
        text += c;
        if (text.size() >= 2 && text.compare(text.size() - 2, 2, "?>") == 0)
        {
            text.resize(text.size() - 2);
            break;
        }
    }
    if (text.size() < 6 || text.compare(0, 5, "<?xml") != 0 || !IsXmlSpace(text[5]))
        return std::string();
    return text;
}

bool IsWhiteSpaceOnly(const xmlChar* text_i)
{
    if (text_i == nullptr)
        return true;
    for (const xmlChar* p = text_i; *p != 0; ++p)
    {
        if (!IsXmlSpace(static_cast<char>(*p)))
            return false;
    }
    return true;
}

// Removes white-space-only text outside xml:space="preserve" (freshly parsed tree:
// no handle points into it yet, so the nodes are freed at once).
void StripWhiteSpace(xmlNodePtr node_i)
{
    xmlNodePtr child = node_i->children;
    while (child != nullptr)
    {
        xmlNodePtr next = child->next;
        if (child->type == XML_TEXT_NODE && IsWhiteSpaceOnly(child->content) && xmlNodeGetSpacePreserve(node_i) != 1)
        {
            xmlUnlinkNode(child);
            xmlFreeNode(child);
        }
        else if (child->type == XML_ELEMENT_NODE)
        {
            StripWhiteSpace(child);
        }
        child = next;
    }
}

// The text of line iLine_i (from 1) of the bytes, at most 256 bytes, without line end.
std::string SourceLine(const std::string& bytes_i, int iLine_i, long& lineStart_o)
{
    lineStart_o = 0;
    if (iLine_i < 1)
        return std::string();
    size_t pos = 0;
    for (int line = 1; line < iLine_i; ++line)
    {
        pos = bytes_i.find('\n', pos);
        if (pos == std::string::npos)
            return std::string();
        ++pos;
    }
    lineStart_o = static_cast<long>(pos);
    size_t end = bytes_i.find('\n', pos);
    if (end == std::string::npos)
        end = bytes_i.size();
    std::string line = bytes_i.substr(pos, std::min<size_t>(end - pos, 256));
    while (!line.empty() && (line.back() == '\r' || line.back() == '\0'))
        line.pop_back();
    return line;
}

// The parse-error text: code, reason, URL, position and the offending line.
std::string ParseErrorText(uint32_t code_i, const std::string& reason_i, const std::string& url_i, long line_i,
                           long pos_i, long filePos_i, const std::string& source_i)
{
    if (code_i == 0)
        return std::string();
    char buffer[160];
    std::snprintf(buffer, sizeof(buffer), "MSXML-Parserfehler: Code=0x%08x\r\n", code_i);
    std::string text = buffer;
    text += reason_i;
    if (!url_i.empty())
        text += "URL: " + url_i + "\r\n";
    std::snprintf(buffer, sizeof(buffer), "Line: %ld, Pos: %ld (FilePos: %ld)\r\n", line_i, pos_i, filePos_i);
    text += buffer;
    if (!source_i.empty())
        text += source_i + "\r\n";
    return text;
}

void ThrowLoadFailure(int line_i, const char* where_i, const std::string& text_i)
{
    throw KMRCOMException(MODULE, line_i, where_i, text_i.c_str(), KMR_EXC_CONFIGURATION, E_FAIL_STATUS);
}

std::string Serialize(const Tree& tree_i, int options_i, const char* where_i)
{
    xmlDocPtr doc = tree_i.Doc();
    ErrorCapture errors;
    xmlBufferPtr buffer = xmlBufferCreate();
    if (buffer == nullptr)
        ThrowEngine(MODULE, __LINE__, where_i, "xmlBufferCreate", errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    std::unique_ptr<xmlBuffer, void (*)(xmlBufferPtr)> guard(buffer, xmlBufferFree);
    const char* encoding = doc->encoding != nullptr ? reinterpret_cast<const char*>(doc->encoding) : "UTF-8";
    xmlSaveCtxtPtr save = xmlSaveToBuffer(buffer, encoding, options_i | XML_SAVE_AS_XML);
    if (save == nullptr)
        ThrowEngine(MODULE, __LINE__, where_i, "xmlSaveToBuffer", errors.Description(), KMR_EXC_CONFIGURATION,
                    E_FAIL_STATUS);
    const long saved = xmlSaveDoc(save, doc);
    const int closed = xmlSaveClose(save);
    if (saved < 0 || closed < 0)
        ThrowEngine(MODULE, __LINE__, where_i, "xmlSaveDoc", errors.Description(), KMR_EXC_CONFIGURATION,
                    E_FAIL_STATUS);
    return std::string(reinterpret_cast<const char*>(xmlBufferContent(buffer)),
                       static_cast<size_t>(xmlBufferLength(buffer)));
}
} // namespace

KMRXMLDocument::KMRXMLDocument() : m_pXMLDoc(std::make_shared<Document>())
{
    m_pDocument = m_pXMLDoc;
    m_bDocumentNode = true;
}

KMRXMLDocument::KMRXMLDocument(std::shared_ptr<Document> document_i) : m_pXMLDoc(std::move(document_i))
{
    m_pDocument = m_pXMLDoc;
    m_bDocumentNode = true;
}

KMRXMLDocument::KMRXMLDocument(const KMRXMLDocument& source_i) : KMRXMLNode(source_i)
{
    m_pXMLDoc = Access::DocumentOf(source_i);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::KMRXMLDocument", "Source.m_pXMLDoc");
}

KMRXMLDocument& KMRXMLDocument::operator=(const KMRXMLDocument& source_i)
{
    if (this == &source_i)
        return *this;
    std::shared_ptr<Document> document = Access::DocumentOf(source_i);
    if (!document)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::operator=", "Source.m_pXMLDoc");
    KMRCriticalSection::Owner lock(m_DocLock);
    KMRXMLNode::operator=(source_i);
    m_pXMLDoc = std::move(document);
    return *this;
}

KMRXMLDocument::~KMRXMLDocument() = default;

KMRString KMRXMLDocument::GetXML() const
{
    KMRCriticalSection::Owner lock(m_DocLock);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::GetXML", "m_pXMLDoc");
    const std::shared_ptr<Tree> tree = m_pXMLDoc->GetTree();
    // The declaration comes back as the text had it; the body is UTF-8, which
    // AddEncodingAttribute then states in the declaration.
    KMRString xml;
    if (tree->HasDeclaration())
    {
        xml = tree->Declaration();
        xml += "?>\n";
    }
    xml += KMRString(SerializeNode(tree->DocNode(), 0, MODULE, "KMRXMLDocument::GetXML"));
    AddEncodingAttribute(xml);
    return xml;
}

void KMRXMLDocument::Empty()
{
    KMRCriticalSection::Owner lock(m_DocLock);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::Empty", "m_pXMLDoc");
    m_pXMLDoc.reset();
    KMRXMLNode::Empty();
}

void KMRXMLDocument::Load(std::istream& source_i)
{
    KMRCriticalSection::Owner lock(m_DocLock);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::Load", "m_pXMLDoc");
    const std::string bytes((std::istreambuf_iterator<char>(source_i)), std::istreambuf_iterator<char>());
    _LoadBytes(bytes, nullptr, nullptr, "KMRXMLDocument::Load");
}

void KMRXMLDocument::Load(const KMRString& sPath_i)
{
    KMRCriticalSection::Owner lock(m_DocLock);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::Load", "m_pXMLDoc");
    std::ifstream file(sPath_i.GetString(), std::ios::binary);
    if (!file)
    {
        const int error = errno != 0 ? errno : ENOENT;
        const std::string reason = GetLastErrorMessage(static_cast<uint32_t>(error)) + "\r\n";
        ThrowLoadFailure(__LINE__, "KMRXMLDocument::Load",
                         ParseErrorText(StatusFromErrno(error), reason, sPath_i.GetString(), 0, 0, 0, ""));
    }
    std::ostringstream content;
    content << file.rdbuf();
    if (file.bad())
    {
        const int error = errno != 0 ? errno : EIO;
        const std::string reason = GetLastErrorMessage(static_cast<uint32_t>(error)) + "\r\n";
        ThrowLoadFailure(__LINE__, "KMRXMLDocument::Load",
                         ParseErrorText(StatusFromErrno(error), reason, sPath_i.GetString(), 0, 0, 0, ""));
    }
    _LoadBytes(content.str(), sPath_i.GetString(), nullptr, "KMRXMLDocument::Load");
}

void KMRXMLDocument::SetXML(const KMRString& sText_i)
{
    KMRCriticalSection::Owner lock(m_DocLock);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::SetXML", "m_pXMLDoc");
    // The system's 8-bit strings are UTF-8, whatever a declaration in the text claims.
    _LoadBytes(std::string(sText_i.GetString(), static_cast<size_t>(sText_i.GetLength())), nullptr, "UTF-8",
               "KMRXMLDocument::SetXML");
}

void KMRXMLDocument::_LoadBytes(const std::string& bytes_i, const char* url_i, const char* forcedEncoding_i,
                                const char* where_i)
{
    InitEngine();
    if (bytes_i.size() > static_cast<size_t>(INT_MAX))
        ThrowLoadFailure(__LINE__, where_i,
                         ParseErrorText(E_FAIL_STATUS, "The document is too large.\r\n", url_i ? url_i : "", 0, 0, 0,
                                        ""));
    ErrorCapture errors;
    std::unique_ptr<xmlParserCtxt, void (*)(xmlParserCtxtPtr)> context(xmlNewParserCtxt(), xmlFreeParserCtxt);
    if (!context)
        ThrowEngine(MODULE, __LINE__, where_i, "xmlNewParserCtxt", errors.Description(), KMR_EXC_CONFIGURATION,
                    E_FAIL_STATUS);
    // No network, no external entities or DTDs; names outside a dictionary so a
    // tree owns all its strings.
    const int options = XML_PARSE_NONET | XML_PARSE_NODICT;
    xmlDocPtr doc = xmlCtxtReadMemory(context.get(), bytes_i.data(), static_cast<int>(bytes_i.size()), url_i,
                                      forcedEncoding_i, options);
    if (errors.HasError())
    {
        // Errors the parser recovered from still make the document unusable.
        xmlFreeDoc(doc);
        long lineStart = 0;
        const std::string source = SourceLine(bytes_i, errors.Line(), lineStart);
        const long pos = errors.Column();
        const long filePos = errors.Line() > 0 ? lineStart + (pos > 0 ? pos - 1 : 0) : 0;
        const std::string text =
            ParseErrorText(static_cast<uint32_t>(errors.Code()), errors.Message(), url_i != nullptr ? url_i : "",
                           errors.Line(), pos, filePos, source);
        if (!text.empty())
            ThrowLoadFailure(__LINE__, where_i, text);
        doc = nullptr;
    }
    if (doc == nullptr)
        ThrowPlausibility(MODULE, __LINE__, where_i, "vbRet == VARIANT_TRUE");
    if (!m_pXMLDoc->PreservesWhiteSpace())
        StripWhiteSpace(reinterpret_cast<xmlNodePtr>(doc));
    m_pXMLDoc->SetTree(std::make_shared<Tree>(doc, LeadingDeclaration(bytes_i)));
}

void KMRXMLDocument::Save(std::ostream& target_i)
{
    KMRCriticalSection::Owner lock(m_DocLock);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::Save", "m_pXMLDoc");
    const std::string bytes = Serialize(*m_pXMLDoc->GetTree(), 0, "KMRXMLDocument::Save");
    target_i.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!target_i)
        ThrowEngine(MODULE, __LINE__, "KMRXMLDocument::Save", "save(stream)", "The stream cannot be written.\n",
                    KMR_EXC_CONFIGURATION, E_FAIL_STATUS);
}

void KMRXMLDocument::Save(const KMRString& sPath_i)
{
    KMRCriticalSection::Owner lock(m_DocLock);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::Save", "m_pXMLDoc");
    // Serialise first: a document that cannot be written leaves the file untouched.
    const std::string bytes = Serialize(*m_pXMLDoc->GetTree(), XML_SAVE_FORMAT, "KMRXMLDocument::Save");
    const std::string call = std::string("save(\"") + sPath_i.GetString() + "\")";
    errno = 0;
    std::ofstream file(sPath_i.GetString(), std::ios::binary | std::ios::trunc);
    if (!file)
        ThrowEngine(MODULE, __LINE__, "KMRXMLDocument::Save", call.c_str(), "",
                    KMR_EXC_CONFIGURATION, StatusFromErrno(errno != 0 ? errno : EACCES));
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    file.flush();
    if (!file)
        ThrowEngine(MODULE, __LINE__, "KMRXMLDocument::Save", call.c_str(), "",
                    KMR_EXC_CONFIGURATION, StatusFromErrno(errno != 0 ? errno : EIO));
    file.close();
    if (file.fail())
        ThrowEngine(MODULE, __LINE__, "KMRXMLDocument::Save", call.c_str(), "",
                    KMR_EXC_CONFIGURATION, StatusFromErrno(errno != 0 ? errno : EIO));
}

KMRXMLNode KMRXMLDocument::CreateRecursiveElement(const KMRXMLNode& parent_i, const KMRString& sQuery_i,
                                                  bool bReturnParentOnly_i, bool bAlwaysCreate_i)
{
    KMRCriticalSection::Owner lock(m_DocLock);
    const char* where = "KMRXMLDocument::CreateRecursiveElement";
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, where, "m_pXMLDoc");
    if (sQuery_i.IsEmpty())
        ThrowPlausibility(MODULE, __LINE__, where, "!sQueryString.IsEmpty()");
    const int lastSlash = sQuery_i.ReverseFind('/');
    if (lastSlash == sQuery_i.GetLength() - 1)
        ThrowPlausibility(MODULE, __LINE__, where, "iLastSlash < sQueryString.GetLength() - 1");
    const KMRString parentPath = lastSlash > 0 ? sQuery_i.Left(lastSlash) : KMRString();
    const KMRString step = sQuery_i.Mid(lastSlash + 1);

    const KMRXMLNode base = parent_i.IsEmpty() ? static_cast<const KMRXMLNode&>(*this) : parent_i;
    KMRXMLNode current = base;
    if (!parentPath.IsEmpty())
    {
        current = base.SelectSingleNode(parentPath);
        if (current.IsEmpty())
            current = CreateRecursiveElement(parent_i, parentPath, false, false);
    }
    if (bReturnParentOnly_i)
        return current;
    if (current.IsEmpty())
        ThrowPlausibility(MODULE, __LINE__, where, "!Parent.IsEmpty()");
    if (!bAlwaysCreate_i)
    {
        KMRXMLNode existing = current.SelectSingleNode(step);
        if (!existing.IsEmpty())
            return existing;
    }

    // The step is a name, optionally followed by one predicate [@attr="value"] (or
    // with single quotes) that ends the step.
    KMRString name = step;
    KMRString attrName;
    KMRString attrValue;
    const int predicate = step.Find("[@");
    if (predicate >= 0)
        name = step.Left(predicate);
    if (predicate >= 1 && step.Right(1) == "]")
    {
        const KMRString inner = step.Mid(predicate + 2, step.GetLength() - predicate - 3);
        const int equals = inner.Find('=');
        if (equals > 0)
        {
            attrName = inner.Left(equals);
            attrValue = inner.Mid(equals + 1);
            const char quote = attrValue.Find('"') >= 0 ? '"' : '\'';
            if (attrValue.GetLength() >= 2 && attrValue.GetAt(0) == quote &&
                attrValue.GetAt(attrValue.GetLength() - 1) == quote)
                attrValue = attrValue.Mid(1, attrValue.GetLength() - 2);
        }
    }
    const NodeRef parentRef = Access::Resolve(current);
    KMRXMLNode element = Access::MakeNode(parentRef.document, parentRef.tree,
                                          NewElement(*parentRef.tree, name, MODULE, where));
    if (!attrName.IsEmpty())
        element.SetAttribute(attrName, attrValue);
    current.AppendChild(element);
    return element;
}

void KMRXMLDocument::AppendSubTree(KMRXMLNode& target_i, const KMRXMLNodeList& source_i)
{
    KMRCriticalSection::Owner lock(m_DocLock);
    const long length = source_i.GetLength();
    for (long i = 0; i < length; ++i)
        AppendSubTree(target_i, source_i.GetItem(i));
}

void KMRXMLDocument::AppendSubTree(KMRXMLNode& target_i, const KMRXMLNode& source_i)
{
    KMRCriticalSection::Owner lock(m_DocLock);
    const char* where = "KMRXMLDocument::AppendSubTree";
    const NodeRef target = Access::Resolve(target_i);
    const NodeRef source = Access::Resolve(source_i);
    if (target.node == nullptr)
        ThrowPlausibility(MODULE, __LINE__, where, "Target.m_pXMLNode");
    if (source.node == nullptr)
        ThrowPlausibility(MODULE, __LINE__, where, "Source.m_pXMLNode");
    if (source.node->type == XML_DOCUMENT_NODE || source.node->type == XML_ATTRIBUTE_NODE ||
        source.node->type == XML_DTD_NODE)
        ThrowEngine(MODULE, __LINE__, where, "appendChild", "This node type cannot be inserted.\n",
                    KMR_EXC_OPERATING_SYSTEM, E_FAIL_STATUS);
    ErrorCapture errors;
    xmlNodePtr copy = xmlDocCopyNode(source.node, target.tree->Doc(), 1);
    if (copy == nullptr)
        ThrowEngine(MODULE, __LINE__, where, "cloneNode", errors.Description(), KMR_EXC_OPERATING_SYSTEM,
                    E_FAIL_STATUS);
    target.tree->Track(copy);
    target_i.AppendChild(Access::MakeNode(target.document, target.tree, copy));
}

void KMRXMLDocument::PreserveWhiteSpace()
{
    KMRCriticalSection::Owner lock(m_DocLock);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::PreserveWhiteSpace", "m_pXMLDoc");
    m_pXMLDoc->SetPreserveWhiteSpace();
}

void KMRXMLDocument::CreateRootElement(const KMRString& sName_i)
{
    KMRCriticalSection::Owner lock(m_DocLock);
    if (!m_pXMLDoc)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLDocument::CreateRootElement", "m_pXMLDoc");
    if (!SelectSingleNode(sName_i).IsEmpty())
        return;
    AppendChild(KMRXMLNode(*this, sName_i));
}

void KMRXMLDocument::AddEncodingAttribute(KMRString& sXML_io)
{
    const char* where = "KMRXMLDocument::AddEncodingAttribute";
    if (sXML_io.Left(5) != "<?xml")
        ThrowPlausibility(MODULE, __LINE__, where, "sXML.Left(5) == \"<?xml\"");
    const int endOfTag = sXML_io.Find("?>");
    if (endOfTag < 0)
        ThrowPlausibility(MODULE, __LINE__, where, "iEndOfTag > -1");
    const KMRString declaration = sXML_io.Left(endOfTag);
    if (declaration.Find("encoding") >= 0)
        ThrowPlausibility(MODULE, __LINE__, where, "sDeclaration.Find(\"encoding\") == -1");
    const char* attribute = " encoding=\"UTF-8\"";
    const int standalone = declaration.Find(" standalone");
    sXML_io.Insert(standalone >= 0 ? standalone : endOfTag, attribute);
}

void* KMRXMLDocument::GetNativeDocument() const
{
    KMRCriticalSection::Owner lock(m_DocLock);
    return m_pXMLDoc ? m_pXMLDoc->GetTree()->Doc() : nullptr;
}
