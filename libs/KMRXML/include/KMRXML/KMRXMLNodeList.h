// KMRXMLNodeList: a shared handle to a list of XML nodes.
#pragma once

#include <KMRXML/KMRXMLExport.h>
#include <KMRXML/KMRXMLNode.h>

#include <KMRBase/KMRCriticalSection.h>

#include <memory>

namespace KMRXMLInternal
{
struct NodeListData;
} // namespace KMRXMLInternal

// A list of nodes (a query result or the children of a node), or none. The list is
// a snapshot taken when it was made; copies share it and keep its nodes alive.
// Each handle has its own position for Reset/GetNextNode.
// Thread safety: each handle serialises its own operations with its own lock.
class KMRXML_API KMRXMLNodeList
{
public:
    KMRXMLNodeList();
    KMRXMLNodeList(const KMRXMLNodeList& other_i);
    KMRXMLNodeList& operator=(const KMRXMLNodeList& other_i);
    virtual ~KMRXMLNodeList();

    // Drops the list; the handle becomes empty.
    virtual void Empty();
    virtual bool IsEmpty() const;
    // Number of entries; 0 for an empty handle.
    virtual long GetLength() const;
    // The entry at iIndex_i counting from 0; an empty node past the end, for a
    // negative index or for an empty handle.
    virtual KMRXMLNode GetItem(long iIndex_i) const;
    // Sequential reading: Reset goes back to the first entry; GetNextNode answers
    // the next entry, an empty node at the end.
    virtual void Reset();
    virtual KMRXMLNode GetNextNode();

private:
    friend struct KMRXMLInternal::Access;

    std::shared_ptr<const KMRXMLInternal::NodeListData> m_pList;
    long m_iPosition = 0;
    mutable KMRCriticalSection m_ListLock;
};
