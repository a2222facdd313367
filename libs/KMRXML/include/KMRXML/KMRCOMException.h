// KMRCOMException: a failure of the XML engine, with the engine's 32-bit status code.
#pragma once

#include <KMRXML/KMRXMLExport.h>

#include <KMRBase/KMRException.h>

#include <cstdint>
#include <string>

// Raised when a call into the XML engine fails. Besides the usual record it keeps
// the engine status (an HRESULT-style code, for example 0x80004005) and the failure
// type it was raised with (2 load/parse/save, 3 wrong node kind, 5 other operations).
// Thread safety: like KMRException, a value that is not shared while modified.
class KMRXML_API KMRCOMException : public KMRException
{
public:
    // sourceModule_i and where_i must be static texts; details_i is copied.
    KMRCOMException(const char* sourceModule_i, int line_i, const char* where_i, const char* details_i,
                    KMRExceptionType type_i, uint32_t hr_i);

    uint32_t GetHResult() const { return m_ulHResult; }
    KMRExceptionType GetType() const { return m_eType; }

    // The details of a failed engine call: "<call>: <description>(HRESULT=0x%08x)".
    // Without a description the operating-system text of an 0x8007xxxx status is
    // used, else "No error message of IErrorInfo\n".
    static std::string FormatDetails(const char* call_i, const std::string& description_i, uint32_t hr_i);

private:
    uint32_t m_ulHResult;
    KMRExceptionType m_eType;
};
