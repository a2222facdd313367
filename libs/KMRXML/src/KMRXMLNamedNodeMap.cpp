// KMRXMLNamedNodeMap: a shared handle to the attributes of an XML element.
#include <KMRXML/KMRXMLNamedNodeMap.h>

#include "KMRXMLInternal.h"

using namespace KMRXMLInternal;

namespace
{
constexpr const char* MODULE = "KMRXMLNamedNodeMap";
} // namespace

KMRXMLNamedNodeMap::KMRXMLNamedNodeMap() = default;

KMRXMLNamedNodeMap::KMRXMLNamedNodeMap(const KMRXMLNamedNodeMap& other_i)
{
    KMRCriticalSection::Owner lock(other_i.m_MapLock);
    m_pDocument = other_i.m_pDocument;
    m_pTree = other_i.m_pTree;
    m_pXMLNode = other_i.m_pXMLNode;
    m_iPosition = other_i.m_iPosition;
}

KMRXMLNamedNodeMap& KMRXMLNamedNodeMap::operator=(const KMRXMLNamedNodeMap& other_i)
{
    if (this == &other_i)
        return *this;
    KMRXMLNamedNodeMap copy(other_i);
    KMRCriticalSection::Owner lock(m_MapLock);
    m_pDocument = std::move(copy.m_pDocument);
    m_pTree = std::move(copy.m_pTree);
    m_pXMLNode = copy.m_pXMLNode;
    m_iPosition = copy.m_iPosition;
    return *this;
}

KMRXMLNamedNodeMap::~KMRXMLNamedNodeMap() = default;

void KMRXMLNamedNodeMap::Empty()
{
    KMRCriticalSection::Owner lock(m_MapLock);
    m_pDocument.reset();
    m_pTree.reset();
    m_pXMLNode = nullptr;
    m_iPosition = 0;
}

bool KMRXMLNamedNodeMap::IsEmpty() const
{
    KMRCriticalSection::Owner lock(m_MapLock);
    return m_pXMLNode == nullptr;
}

long KMRXMLNamedNodeMap::GetLength() const
{
    KMRCriticalSection::Owner lock(m_MapLock);
    long count = 0;
    if (m_pXMLNode != nullptr)
    {
        for (xmlAttrPtr attr = static_cast<xmlNodePtr>(m_pXMLNode)->properties; attr != nullptr; attr = attr->next)
            ++count;
    }
    return count;
}

KMRXMLNode KMRXMLNamedNodeMap::GetItem(long iIndex_i) const
{
    KMRCriticalSection::Owner lock(m_MapLock);
    if (m_pXMLNode == nullptr || iIndex_i < 0)
        return KMRXMLNode();
    xmlAttrPtr attr = static_cast<xmlNodePtr>(m_pXMLNode)->properties;
    for (long i = 0; attr != nullptr && i < iIndex_i; ++i)
        attr = attr->next;
    return Access::MakeNode(m_pDocument, m_pTree, reinterpret_cast<xmlNodePtr>(attr));
}

void KMRXMLNamedNodeMap::Reset()
{
    KMRCriticalSection::Owner lock(m_MapLock);
    m_iPosition = 0;
}

KMRXMLNode KMRXMLNamedNodeMap::GetNextNode()
{
    KMRCriticalSection::Owner lock(m_MapLock);
    KMRXMLNode node = GetItem(m_iPosition);
    if (!node.IsEmpty())
        ++m_iPosition;
    return node;
}

bool KMRXMLNamedNodeMap::HasNamedItem(const KMRString& sName_i) const
{
    KMRCriticalSection::Owner lock(m_MapLock);
    return FindAttribute(static_cast<xmlNodePtr>(m_pXMLNode), sName_i) != nullptr;
}

KMRXMLNode KMRXMLNamedNodeMap::GetNamedItem(const KMRString& sName_i) const
{
    KMRCriticalSection::Owner lock(m_MapLock);
    xmlAttrPtr attr = FindAttribute(static_cast<xmlNodePtr>(m_pXMLNode), sName_i);
    return Access::MakeNode(m_pDocument, m_pTree, reinterpret_cast<xmlNodePtr>(attr));
}

void KMRXMLNamedNodeMap::RemoveNamedItem(const KMRString& sName_i)
{
    KMRCriticalSection::Owner lock(m_MapLock);
    if (m_pXMLNode == nullptr)
        ThrowPlausibility(MODULE, __LINE__, "KMRXMLNamedNodeMap::RemoveNamedItem", "m_pXMLNode");
    if (xmlAttrPtr attr = FindAttribute(static_cast<xmlNodePtr>(m_pXMLNode), sName_i))
    {
        xmlUnlinkNode(reinterpret_cast<xmlNodePtr>(attr));
        m_pTree->Track(reinterpret_cast<xmlNodePtr>(attr));
    }
}

void KMRXMLNamedNodeMap::AppendNamedItem(const KMRXMLNode& attribute_i)
{
    const NodeRef attribute = Access::Resolve(attribute_i);
    KMRCriticalSection::Owner lock(m_MapLock);
    const char* where = "KMRXMLNamedNodeMap::AppendNamedItem";
    if (m_pXMLNode == nullptr)
        ThrowPlausibility(MODULE, __LINE__, where, "m_pXMLNode");
    if (attribute.node == nullptr)
        ThrowPlausibility(MODULE, __LINE__, where, "Attribute.m_pXMLNode");
    if (attribute.node->type != XML_ATTRIBUTE_NODE)
        ThrowEngine(MODULE, __LINE__, where, "setNamedItem", "The node is not an attribute.\n",
                    KMR_EXC_OPERATING_SYSTEM, E_FAIL_STATUS);
    if (attribute.tree != m_pTree)
        ThrowEngine(MODULE, __LINE__, where, "setNamedItem", "The attribute belongs to another document.\n",
                    KMR_EXC_OPERATING_SYSTEM, E_FAIL_STATUS);
    auto* element = static_cast<xmlNodePtr>(m_pXMLNode);
    if (attribute.node->parent == element)
        return;
    if (attribute.node->parent != nullptr)
        ThrowEngine(MODULE, __LINE__, where, "setNamedItem", "The attribute belongs to another element.\n",
                    KMR_EXC_OPERATING_SYSTEM, E_FAIL_STATUS);
    // An attribute of the same name gives way to the new one.
    if (xmlAttrPtr old = FindAttribute(element, KMRString(QualifiedName(attribute.node))))
    {
        xmlUnlinkNode(reinterpret_cast<xmlNodePtr>(old));
        m_pTree->Track(reinterpret_cast<xmlNodePtr>(old));
    }
    auto* attr = reinterpret_cast<xmlAttrPtr>(attribute.node);
    attr->parent = element;
    attr->next = nullptr;
    attr->prev = nullptr;
    if (element->properties == nullptr)
    {
        element->properties = attr;
    }
    else
    {
        xmlAttrPtr last = element->properties;
        while (last->next != nullptr)
            last = last->next;
        last->next = attr;
        attr->prev = last;
    }
}
