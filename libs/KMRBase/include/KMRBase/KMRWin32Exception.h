// KMRWin32Exception: a KMRException raised for an operating-system error number.
#pragma once

#include <KMRBase/KMRException.h>

// Carries the operating-system error number (an errno value on Linux) it was raised
// for; the details are the system's text for that number.
class KMRBase_API KMRWin32Exception : public KMRException
{
public:
    KMRWin32Exception(const std::string& where_i, uint32_t error_i);
    uint32_t GetError() const { return m_ulError; }

private:
    uint32_t m_ulError;
};
