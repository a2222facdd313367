// KMRXMLHelper: one-call queries on an XML file.
#include <KMRXML/KMRXMLHelper.h>

#include "KMRXMLInternal.h"

#include <KMRXML/KMRXMLDocument.h>

#include <climits>

using namespace KMRXMLInternal;

namespace
{
KMRXMLDocument LoadFile(const KMRString& sFile_i)
{
    KMRXMLDocument document;
    document.Load(sFile_i);
    return document;
}

int64_t AttributeValue(const KMRString& sFile_i, const KMRString& sQuery_i, const KMRString& sAttribute_i)
{
    const KMRString text = KMRXMLHelper::GetAttribute(sFile_i, sQuery_i, sAttribute_i);
    return ParseDecimal(text.GetString(), INT64_MIN, INT64_MAX);
}
} // namespace

KMRXMLNode KMRXMLHelper::GetNode(const KMRString& sFile_i, const KMRString& sQuery_i)
{
    return LoadFile(sFile_i).SelectSingleNode(sQuery_i);
}

bool KMRXMLHelper::ExistNode(const KMRString& sFile_i, const KMRString& sQuery_i)
{
    return !GetNode(sFile_i, sQuery_i).IsEmpty();
}

KMRString KMRXMLHelper::GetNodeString(const KMRString& sFile_i, const KMRString& sQuery_i)
{
    return GetNode(sFile_i, sQuery_i).GetText();
}

int KMRXMLHelper::GetNodeInt(const KMRString& sFile_i, const KMRString& sQuery_i)
{
    return static_cast<int>(ParseDecimal(GetNodeString(sFile_i, sQuery_i).GetString(), INT_MIN, INT_MAX));
}

KMRXMLNodeList KMRXMLHelper::GetNodeList(const KMRString& sFile_i, const KMRString& sQuery_i)
{
    return LoadFile(sFile_i).SelectNodes(sQuery_i);
}

KMRString KMRXMLHelper::GetAttribute(const KMRString& sFile_i, const KMRString& sQuery_i,
                                     const KMRString& sAttribute_i)
{
    return GetNode(sFile_i, sQuery_i).GetSingleAttribute(sAttribute_i);
}

uint16_t KMRXMLHelper::GetAttributeWORD(const KMRString& sFile_i, const KMRString& sQuery_i,
                                        const KMRString& sAttribute_i)
{
    return static_cast<uint16_t>(AttributeValue(sFile_i, sQuery_i, sAttribute_i));
}

uint32_t KMRXMLHelper::GetAttributeDWORD(const KMRString& sFile_i, const KMRString& sQuery_i,
                                         const KMRString& sAttribute_i)
{
    return static_cast<uint32_t>(AttributeValue(sFile_i, sQuery_i, sAttribute_i));
}
