// KMRXMLHelper: one-call queries on an XML file.
#pragma once

#include <KMRXML/KMRXMLExport.h>
#include <KMRXML/KMRXMLNode.h>
#include <KMRXML/KMRXMLNodeList.h>

#include <KMRBase/KMRString.h>

#include <cstdint>

// Each function loads the file afresh into a new document and runs one query on it.
// Load failures propagate as the exceptions of KMRXMLDocument::Load.
// Thread safety: no shared state.
class KMRXML_API KMRXMLHelper
{
public:
    static KMRXMLNode GetNode(const KMRString& sFile_i, const KMRString& sQuery_i);
    static bool ExistNode(const KMRString& sFile_i, const KMRString& sQuery_i);
    static KMRString GetNodeString(const KMRString& sFile_i, const KMRString& sQuery_i);
    // The node text as a decimal integer (0 when absent; saturates outside 32 bits).
    static int GetNodeInt(const KMRString& sFile_i, const KMRString& sQuery_i);
    static KMRXMLNodeList GetNodeList(const KMRString& sFile_i, const KMRString& sQuery_i);
    static KMRString GetAttribute(const KMRString& sFile_i, const KMRString& sQuery_i,
                                  const KMRString& sAttribute_i);
    // The attribute as a decimal integer (64-bit conversion) cut to 16 or 32 bits.
    static uint16_t GetAttributeWORD(const KMRString& sFile_i, const KMRString& sQuery_i,
                                     const KMRString& sAttribute_i);
    static uint32_t GetAttributeDWORD(const KMRString& sFile_i, const KMRString& sQuery_i,
                                      const KMRString& sAttribute_i);
};
