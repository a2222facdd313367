// KMRXMLTools: a class kept for the library's interface; it has no members.
#pragma once

#include <KMRXML/KMRXMLExport.h>

// Holds nothing; only copying by assignment exists.
class KMRXML_API KMRXMLTools
{
public:
    KMRXMLTools& operator=(const KMRXMLTools&) = default;
};
