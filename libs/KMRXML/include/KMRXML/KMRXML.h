// KMRXML: all public classes of the XML library.
#pragma once

#include <KMRXML/KMRCOMException.h>
#include <KMRXML/KMRXMLDocument.h>
#include <KMRXML/KMRXMLHelper.h>
#include <KMRXML/KMRXMLNamedNodeMap.h>
#include <KMRXML/KMRXMLNode.h>
#include <KMRXML/KMRXMLNodeList.h>
#include <KMRXML/KMRXMLTools.h>
