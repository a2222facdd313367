// KMRException, its type table and the operating-system error texts.
#include <KMRBase/KMRException.h>
#include <KMRBase/KMRWin32Exception.h>

#include <cerrno>
#include <cstring>

namespace
{
struct TypeText
{
    const char* title;
    const char* userText;
};

constexpr TypeText TYPE_TABLE[] = {
    {"Ressources", "Internal Ressource not available."},
    {"Ressources", "Internal Ressource not available."},
    {"Configuration", "Wrong Configuration."},
    {"Configuration", "Wrong Configuration."},
    {"Software", "Unable to create object."},
    {"Operating System", "Unexpected Operating System behaviour."},
    {"Operating System", "Unexpected Operating System behaviour."},
    {"Plausibility", "Internal plausibility check failed."},
    {"Software", "Internal software error occurred."},
    {"Data", "Invalid data found."},
    {"Size", "Data size too long."},
    {"Access", "Access not allowed."},
    {"Argument", "Invalid argument found."},
};
constexpr TypeText UNKNOWN_TYPE = {"Software", "Unexpected error occurred."};

const TypeText& Lookup(KMRExceptionType type_i)
{
    const auto index = static_cast<unsigned>(type_i);
    return index < std::size(TYPE_TABLE) ? TYPE_TABLE[index] : UNKNOWN_TYPE;
}

void CopyDetails(char* target_i, const char* details_i)
{
    if (details_i == nullptr)
    {
        target_i[0] = '\0';
        return;
    }
    std::strncpy(target_i, details_i, KMRException::MAX_DETAILS - 1);
    target_i[KMRException::MAX_DETAILS - 1] = '\0';
}

char* Duplicate(const char* text_i)
{
    const size_t length = std::strlen(text_i);
    char* copy = new char[length + 1];
    std::memcpy(copy, text_i, length + 1);
    return copy;
}
} // namespace

KMRException::KMRException(const char* sourceFile_i, int line_i, const char* where_i, const char* details_i,
                           const char* userText_i, const char* title_i)
    : m_pSourceFile(sourceFile_i != nullptr ? sourceFile_i : ""), m_iLine(line_i),
      m_pWhere(where_i != nullptr ? where_i : ""), m_pDetails(nullptr), m_bOwnDetails(false),
      m_pUserText(userText_i != nullptr ? userText_i : ""), m_pTitle(title_i != nullptr ? title_i : ""),
      m_ulErrorCode(0)
{
    CopyDetails(m_szDetails, details_i);
}

KMRException::KMRException(const char* sourceFile_i, int line_i, const char* where_i, char* details_i,
                           const char* userText_i, const char* title_i)
    : KMRException(sourceFile_i, line_i, where_i, static_cast<const char*>(details_i), userText_i, title_i)
{
    m_pDetails = details_i;
    m_bOwnDetails = details_i != nullptr;
}

KMRException::KMRException(const std::string& where_i, const std::string& details_i)
    : m_pSourceFile(""), m_iLine(0), m_pWhere(""), m_pDetails(nullptr), m_bOwnDetails(false), m_pUserText(""),
      m_pTitle(""), m_ulErrorCode(0), m_strWhere(where_i)
{
    m_pWhere = m_strWhere.c_str();
    CopyDetails(m_szDetails, details_i.c_str());
}

KMRException::KMRException(const KMRException& other_i) : m_pDetails(nullptr), m_bOwnDetails(false)
{
    _CopyFrom(other_i);
}

KMRException& KMRException::operator=(const KMRException& other_i)
{
    if (this != &other_i)
    {
        if (m_bOwnDetails)
            delete[] m_pDetails;
        m_pDetails = nullptr;
        m_bOwnDetails = false;
        _CopyFrom(other_i);
    }
    return *this;
}

void KMRException::_CopyFrom(const KMRException& other_i)
{
    m_pSourceFile = other_i.m_pSourceFile;
    m_iLine = other_i.m_iLine;
    m_strWhere = other_i.m_strWhere;
    m_pWhere = other_i.m_pWhere == other_i.m_strWhere.c_str() ? m_strWhere.c_str() : other_i.m_pWhere;
    std::memcpy(m_szDetails, other_i.m_szDetails, sizeof(m_szDetails));
    if (other_i.m_bOwnDetails && other_i.m_pDetails != nullptr)
    {
        m_pDetails = Duplicate(other_i.m_pDetails);
        m_bOwnDetails = true;
    }
    m_pUserText = other_i.m_pUserText;
    m_pTitle = other_i.m_pTitle;
    m_ulErrorCode = other_i.m_ulErrorCode;
}

KMRException::~KMRException()
{
    if (m_bOwnDetails)
        delete[] m_pDetails;
}

std::string KMRException::GetWhere() const
{
    return std::string();
}

std::string KMRException::GetMessage() const
{
    return std::string();
}

const char* KMRException::GetDetails() const
{
    return m_pDetails != nullptr ? m_pDetails : m_szDetails;
}

const char* KMRException::GetUserTextFromType(KMRExceptionType type_i)
{
    return Lookup(type_i).userText;
}

const char* KMRException::GetTitleFromType(KMRExceptionType type_i)
{
    return Lookup(type_i).title;
}

char* KMRException::GetWinStatusDetails(const char* prefix_i)
{
    const uint32_t error = static_cast<uint32_t>(errno);
    std::string text = prefix_i != nullptr ? prefix_i : "";
    text += ": ";
    text += GetLastErrorMessage(error);
    return Duplicate(text.c_str());
}

void KMRException::FreeWinStatusDetails(char* details_i)
{
    delete[] details_i;
}

std::string GetLastErrorMessage(uint32_t error_i)
{
    // strerror_r with a per-call buffer: safe from any thread. Unknown numbers
    // get the system's own "Unknown error N" text.
    char buffer[512];
    const char* text = ::strerror_r(static_cast<int>(error_i), buffer, sizeof(buffer));
    if (text == nullptr)
        return std::string();
    std::string result(text);
    if (result.size() > 511)
        result.resize(511);
    return result;
}

KMRWin32Exception::KMRWin32Exception(const std::string& where_i, uint32_t error_i)
    : KMRException(where_i, GetLastErrorMessage(error_i)), m_ulError(error_i)
{
}
