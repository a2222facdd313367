// KMRXMLNode: a shared handle to one node of an XML document.
#pragma once

#include <KMRXML/KMRXMLExport.h>

#include <KMRBase/KMRCriticalSection.h>
#include <KMRBase/KMRString.h>

#include <cstdint>
#include <memory>

class KMRXMLDocument;
class KMRXMLNodeList;
class KMRXMLNamedNodeMap;

namespace KMRXMLInternal
{
class Document;
class Tree;
struct Access;
} // namespace KMRXMLInternal

// A handle to one DOM node, or to none (an empty node). Copies share the node:
// changes through one handle are seen through every other. A handle keeps the
// node's document alive, so a node stays usable after its document object is gone
// and after it was removed from its tree.
//
// Failures throw KMRException (type 7, "Plausibility", for a broken precondition)
// or KMRCOMException (a failed engine call). Reading operations on an empty handle
// answer an empty text, 0, false, an empty node or an empty list instead.
//
// Thread safety: each handle serialises its own operations with its own lock.
// Handles that share one document must not be changed from several threads at once.
class KMRXML_API KMRXMLNode
{
public:
    // An empty node.
    KMRXMLNode();
    // A new element named sName_i in the document, not yet attached to any parent.
    // Throws: plausibility "!sName.IsEmpty()" or "m_pXMLDoc"; KMRCOMException for a
    // text that is not an XML name.
    KMRXMLNode(const KMRXMLDocument& document_i, const KMRString& sName_i);
    KMRXMLNode(const KMRXMLNode& other_i);
    KMRXMLNode& operator=(const KMRXMLNode& other_i);
    virtual ~KMRXMLNode();

    // DOM node type number: 1 element, 2 attribute, 3 text, 4 CDATA section, 5 entity
    // reference, 7 processing instruction, 8 comment, 9 document, 10 document type;
    // 0 for an empty node.
    virtual int GetType() const;
    // DOM type word: "element", "attribute", "text", "cdatasection", "comment", ...
    virtual KMRString GetTypeString() const;
    // DOM node name: the element or attribute name, "#text", "#comment", "#document", ...
    virtual KMRString GetName() const;
    // An address of the node from the root, for example /Script/Item[@id='7'].
    virtual KMRString GetPath() const;
    // Concatenated text of the node and its descendants. Unless the document keeps
    // white space, leading and trailing white space is trimmed.
    virtual KMRString GetText() const;
    // The node value (attribute value, text, comment); empty for elements and documents.
    virtual KMRString GetValueString() const;
    // The named attribute's value; empty when the node is empty, no element, or
    // has no such attribute.
    virtual KMRString GetSingleAttribute(const KMRString& sName_i) const;
    virtual KMRXMLNamedNodeMap GetAttributes() const;
    // The node serialised as UTF-8 XML text.
    virtual KMRString GetXML() const;
    virtual bool IsEmpty() const;
    // Prints the subtree to standard output, one line per node, indented by level.
    virtual void DumpRecursive(int iLevel_i) const;
    // The document the node belongs to. Throws plausibility "m_pXMLNode" when empty.
    virtual KMRXMLDocument GetDocument() const;
    // Attributes, documents and detached nodes have no parent.
    virtual bool HasParent() const;
    virtual KMRXMLNode GetParent() const;
    virtual bool HasChildNodes() const;
    // A snapshot of the children in document order.
    virtual KMRXMLNodeList GetChildNodes() const;
    // The first node matched by the XPath 1.0 expression, evaluated with this node
    // as context; an empty node when nothing matches or this node is empty.
    // Throws KMRCOMException (type 5) for an invalid expression.
    virtual KMRXMLNode SelectSingleNode(const KMRString& sQuery_i) const;
    // All nodes matched, in document order; an empty list when this node is empty.
    virtual KMRXMLNodeList SelectNodes(const KMRString& sQuery_i) const;
    // Replaces the node's text content (all children of an element).
    virtual void SetText(const KMRString& sText_i);
    // Sets an existing attribute's value or adds the attribute (elements only).
    virtual void SetAttribute(const KMRString& sName_i, const KMRString& sValue_i);
    // Drops the reference; the handle becomes empty.
    virtual void Empty();
    // Detaches the node from its parent and empties the handle; nothing on an empty node.
    virtual void Delete();
    // Moves child_i (detaching it from where it is) to the end of this node's children.
    // Both must belong to the same document; a node cannot become its own descendant.
    virtual void AppendChild(const KMRXMLNode& child_i);
    // Removes all children, first child first.
    virtual void DeleteChildren();
    // A detached copy of the node alone (with its attributes), or with its subtree.
    virtual KMRXMLNode CreateClone() const;
    virtual KMRXMLNode CreateRecursiveClone() const;

    // The attribute read as a decimal integer (leading white space and a sign accepted,
    // stops at the first non-digit, no digits give 0; values outside 32 bits saturate)
    // and cut to 8, 16 or 32 bits; 0 when the node is empty or the attribute missing.
    uint8_t GetSingleAttributeBYTE(const KMRString& sName_i) const;
    uint16_t GetSingleAttributeWORD(const KMRString& sName_i) const;
    uint32_t GetSingleAttributeDWORD(const KMRString& sName_i) const;
    // The attribute read as an unsigned hexadecimal number (leading white space and
    // an optional "0x" accepted, saturating at 0xFFFFFFFF); 0 when the node is empty,
    // the attribute missing or its text not hexadecimal.
    uint32_t GetSingleAttributeFromHex(const KMRString& sName_i) const;

    // The engine node (a libxml2 xmlNodePtr), or null. Valid while a handle lives.
    void* GetNativeNode() const;

protected:
    friend struct KMRXMLInternal::Access;

    // The document object this handle belongs to (null for an empty node).
    std::shared_ptr<KMRXMLInternal::Document> m_pDocument;
    // The tree that owns m_pXMLNode; keeps the engine nodes alive.
    std::shared_ptr<KMRXMLInternal::Tree> m_pTree;
    // The libxml2 node; unused when m_bDocumentNode is set.
    void* m_pXMLNode = nullptr;
    // True for the document's own node reference: it always denotes the node of the
    // document's current content, also after a new Load.
    bool m_bDocumentNode = false;
    mutable KMRCriticalSection m_NodeLock;
};
