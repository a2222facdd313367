// KMRXMLNodeList: a shared handle to a list of XML nodes.
#include <KMRXML/KMRXMLNodeList.h>

#include "KMRXMLInternal.h"

using namespace KMRXMLInternal;

KMRXMLNodeList::KMRXMLNodeList() = default;

KMRXMLNodeList::KMRXMLNodeList(const KMRXMLNodeList& other_i)
{
    KMRCriticalSection::Owner lock(other_i.m_ListLock);
    m_pList = other_i.m_pList;
    m_iPosition = other_i.m_iPosition;
}

KMRXMLNodeList& KMRXMLNodeList::operator=(const KMRXMLNodeList& other_i)
{
    if (this == &other_i)
        return *this;
    std::shared_ptr<const NodeListData> list;
    long position = 0;
    {
        KMRCriticalSection::Owner lock(other_i.m_ListLock);
        list = other_i.m_pList;
        position = other_i.m_iPosition;
    }
    KMRCriticalSection::Owner lock(m_ListLock);
    m_pList = std::move(list);
    m_iPosition = position;
    return *this;
}

KMRXMLNodeList::~KMRXMLNodeList() = default;

void KMRXMLNodeList::Empty()
{
    KMRCriticalSection::Owner lock(m_ListLock);
    m_pList.reset();
    m_iPosition = 0;
}

bool KMRXMLNodeList::IsEmpty() const
{
    KMRCriticalSection::Owner lock(m_ListLock);
    return !m_pList;
}

long KMRXMLNodeList::GetLength() const
{
    KMRCriticalSection::Owner lock(m_ListLock);
    return m_pList ? static_cast<long>(m_pList->nodes.size()) : 0;
}

KMRXMLNode KMRXMLNodeList::GetItem(long iIndex_i) const
{
    KMRCriticalSection::Owner lock(m_ListLock);
    if (!m_pList || iIndex_i < 0 || static_cast<size_t>(iIndex_i) >= m_pList->nodes.size())
        return KMRXMLNode();
    return Access::MakeNode(m_pList->document, m_pList->tree, m_pList->nodes[static_cast<size_t>(iIndex_i)]);
}

void KMRXMLNodeList::Reset()
{
    KMRCriticalSection::Owner lock(m_ListLock);
    m_iPosition = 0;
}

KMRXMLNode KMRXMLNodeList::GetNextNode()
{
    KMRCriticalSection::Owner lock(m_ListLock);
    KMRXMLNode node = GetItem(m_iPosition);
    if (!node.IsEmpty())
        ++m_iPosition;
    return node;
}
