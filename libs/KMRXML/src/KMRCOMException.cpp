// KMRCOMException: a failure of the XML engine, with the engine's 32-bit status code.
#include <KMRXML/KMRCOMException.h>

#include <cstdio>

KMRCOMException::KMRCOMException(const char* sourceModule_i, int line_i, const char* where_i, const char* details_i,
                                 KMRExceptionType type_i, uint32_t hr_i)
    : KMRException(sourceModule_i, line_i, where_i, details_i, KMRException::GetUserTextFromType(type_i),
                   KMRException::GetTitleFromType(type_i)),
      m_ulHResult(hr_i), m_eType(type_i)
{
    SetErrorCode(hr_i);
}

std::string KMRCOMException::FormatDetails(const char* call_i, const std::string& description_i, uint32_t hr_i)
{
    std::string details = call_i != nullptr ? call_i : "";
    details += ": ";
    if (!description_i.empty())
        details += description_i;
    else if ((hr_i & 0xFFFF0000u) == 0x80070000u)
        details += GetLastErrorMessage(hr_i & 0xFFFFu) + "\n";
    else
        details += "No error message of IErrorInfo\n";
    char status[32];
    std::snprintf(status, sizeof(status), "(HRESULT=0x%08x)", hr_i);
    details += status;
    return details;
}
