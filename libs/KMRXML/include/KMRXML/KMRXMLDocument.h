// KMRXMLDocument: an XML document that is loaded, queried, changed and saved.
#pragma once

#include <KMRXML/KMRXMLExport.h>
#include <KMRXML/KMRXMLNode.h>
#include <KMRXML/KMRXMLNodeList.h>

#include <KMRBase/KMRCriticalSection.h>
#include <KMRBase/KMRString.h>

#include <iosfwd>
#include <memory>

// A document; as a node it is the document node, so every node operation (queries
// above all) applies to it. Copies share one document: a Load through one copy is
// seen by all. A new document is empty; white-space-only text is dropped when
// loading unless PreserveWhiteSpace was called. No external entities or DTDs are
// fetched.
//
// Failures: a document without content object (after Empty) fails with plausibility
// "m_pXMLDoc"; a document that is not well formed throws KMRCOMException of type 2
// whose details read "MSXML-Parserfehler: Code=0x...\r\n<reason>URL: ...\r\nLine: ..."
// A failed load keeps the previous content.
//
// Thread safety: document-level operations are serialised by the document lock;
// copies shared between threads are not protected beyond that.
class KMRXML_API KMRXMLDocument : public KMRXMLNode
{
public:
    // A new, empty document.
    KMRXMLDocument();
    // Shares the source's document; a source without document fails with
    // plausibility "Source.m_pXMLDoc" (copy and assignment).
    KMRXMLDocument(const KMRXMLDocument& source_i);
    KMRXMLDocument& operator=(const KMRXMLDocument& source_i);
    ~KMRXMLDocument() override;

    // The serialised document with the encoding inserted into its declaration
    // (see AddEncodingAttribute). Fails with a plausibility failure when the loaded
    // text had no XML declaration or its declaration already names an encoding.
    KMRString GetXML() const override;
    // Drops the document; afterwards IsEmpty() is true and document operations fail.
    void Empty() override;

    // Parses the bytes of the stream (any encoding the declaration or a byte order
    // mark names) as the document's new content.
    virtual void Load(std::istream& source_i);
    // Reads the file and parses it as the document's new content.
    virtual void Load(const KMRString& sPath_i);
    // Parses the text (UTF-8, whatever the declaration says) as the new content.
    virtual void SetXML(const KMRString& sText_i);
    // Writes the document unchanged (no re-indentation) in its own encoding.
    virtual void Save(std::ostream& target_i);
    // Writes the document re-indented to the file, in its own encoding.
    // Throws KMRCOMException of type 2 when the file cannot be written.
    virtual void Save(const KMRString& sPath_i);
    // Creates the elements of a path as needed and answers the last one.
    // sQuery_i is "A/B/C", the last step optionally "Name[@attr=\"value\"]";
    // parent_i empty means the document node. See docs/KMRXML.md.
    virtual KMRXMLNode CreateRecursiveElement(const KMRXMLNode& parent_i, const KMRString& sQuery_i,
                                              bool bReturnParentOnly_i, bool bAlwaysCreate_i);
    // Appends deep copies of the source nodes (of any document) as children of target_i.
    virtual void AppendSubTree(KMRXMLNode& target_i, const KMRXMLNodeList& source_i);
    virtual void AppendSubTree(KMRXMLNode& target_i, const KMRXMLNode& source_i);

    // From now on white-space-only text is kept when loading.
    void PreserveWhiteSpace();
    // Appends an element sName_i to the document unless a node matches sName_i already.
    void CreateRootElement(const KMRString& sName_i);

    // Inserts ' encoding="UTF-8"' (the encoding of the system's 8-bit strings) into
    // the XML declaration at the start of sXML_io: before " standalone" when present,
    // else before "?>". Plausibility failures: no "<?xml" at the start
    // ("sXML.Left(5) == \"<?xml\""), no "?>" ("iEndOfTag > -1"), an encoding already
    // named ("sDeclaration.Find(\"encoding\") == -1").
    static void AddEncodingAttribute(KMRString& sXML_io);

    // The engine document (a libxml2 xmlDocPtr) of the current content, or null.
    void* GetNativeDocument() const;

private:
    friend struct KMRXMLInternal::Access;

    explicit KMRXMLDocument(std::shared_ptr<KMRXMLInternal::Document> document_i);
    void _LoadBytes(const std::string& bytes_i, const char* url_i, const char* forcedEncoding_i,
                    const char* where_i);

    std::shared_ptr<KMRXMLInternal::Document> m_pXMLDoc;
    mutable KMRCriticalSection m_DocLock;
};
