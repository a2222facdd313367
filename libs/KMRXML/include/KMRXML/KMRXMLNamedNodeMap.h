// KMRXMLNamedNodeMap: a shared handle to the attributes of an XML element.
#pragma once

#include <KMRXML/KMRXMLExport.h>
#include <KMRXML/KMRXMLNode.h>

#include <KMRBase/KMRCriticalSection.h>

#include <memory>

// The attribute map of one element, or none. The map is live: it reads the element's
// attributes at each call. Namespace declarations (xmlns) are not listed.
// Thread safety: each handle serialises its own operations with its own lock.
class KMRXML_API KMRXMLNamedNodeMap
{
public:
    KMRXMLNamedNodeMap();
    KMRXMLNamedNodeMap(const KMRXMLNamedNodeMap& other_i);
    KMRXMLNamedNodeMap& operator=(const KMRXMLNamedNodeMap& other_i);
    virtual ~KMRXMLNamedNodeMap();

    virtual void Empty();
    virtual bool IsEmpty() const;
    // Number of attributes; 0 for an empty handle.
    virtual long GetLength() const;
    // The attribute at iIndex_i (from 0); an empty node past the end or when empty.
    virtual KMRXMLNode GetItem(long iIndex_i) const;
    virtual void Reset();
    virtual KMRXMLNode GetNextNode();

    virtual bool HasNamedItem(const KMRString& sName_i) const;
    // The attribute of that (qualified) name; an empty node when missing.
    virtual KMRXMLNode GetNamedItem(const KMRString& sName_i) const;
    // Detaches the attribute; nothing when missing. Throws plausibility "m_pXMLNode" when empty.
    virtual void RemoveNamedItem(const KMRString& sName_i);
    // Adds a detached attribute node of the same document, replacing an attribute
    // of the same name. Throws KMRCOMException for another node kind, an attribute
    // that belongs to an element, or one of another document.
    virtual void AppendNamedItem(const KMRXMLNode& attribute_i);

private:
    friend struct KMRXMLInternal::Access;

    std::shared_ptr<KMRXMLInternal::Document> m_pDocument;
    std::shared_ptr<KMRXMLInternal::Tree> m_pTree;
    void* m_pXMLNode = nullptr; // the element
    long m_iPosition = 0;
    mutable KMRCriticalSection m_MapLock;
};
