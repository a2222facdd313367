// KMRException: the exception every library of the suite throws, with its type table.
#pragma once

#include <KMRBase/KMRBaseExport.h>

#include <cstdint>
#include <string>

// Kinds of failure; each maps to a message-box title and a text for the end user.
enum KMRExceptionType : int
{
    KMR_EXC_RESSOURCE = 0,
    KMR_EXC_RESSOURCE_ALLOC = 1,
    KMR_EXC_CONFIGURATION = 2,
    KMR_EXC_CONFIGURATION_READ = 3,
    KMR_EXC_CREATE_OBJECT = 4,
    KMR_EXC_OPERATING_SYSTEM = 5,
    KMR_EXC_OPERATING_SYSTEM_CALL = 6,
    KMR_EXC_PLAUSIBILITY = 7,
    KMR_EXC_SOFTWARE = 8,
    KMR_EXC_DATA = 9,
    KMR_EXC_SIZE = 10,
    KMR_EXC_ACCESS = 11,
    KMR_EXC_ARGUMENT = 12
};

// A failure with its origin (source module, line, "Class::Operation"), a details
// text of at most 2047 characters, and a title and user text for a message box.
// Copyable by value; a copy owns its own copy of a handed-over details buffer.
// Thread safety: an object is not shared between threads while it is modified.
class KMRBase_API KMRException
{
public:
    static constexpr int MAX_DETAILS = 2048;

    // Copies up to 2047 characters of details_i; keeps the other pointers (static texts).
    KMRException(const char* sourceFile_i, int line_i, const char* where_i, const char* details_i,
                 const char* userText_i, const char* title_i);
    // As above, and takes ownership of details_i, a buffer from GetWinStatusDetails
    // (allocated with new[]).
    KMRException(const char* sourceFile_i, int line_i, const char* where_i, char* details_i,
                 const char* userText_i, const char* title_i);
    // Records both texts; source file, title and user text are empty, line 0.
    KMRException(const std::string& where_i, const std::string& details_i);

    KMRException(const KMRException& other_i);
    KMRException& operator=(const KMRException& other_i);
    virtual ~KMRException();

    // Both answer an empty string; kept for the interface of derived classes.
    virtual std::string GetWhere() const;
    virtual std::string GetMessage() const;

    const char* GetDetails() const;
    const char* GetUserText() const { return m_pUserText; }
    const char* GetUserTitle() const { return m_pTitle; }
    int GetLineNumber() const { return m_iLine; }
    const char* GetSourceFile() const { return m_pSourceFile; }
    uint32_t GetErrorCode() const { return m_ulErrorCode; }
    void SetErrorCode(uint32_t code_i) { m_ulErrorCode = code_i; }

    // The operation that raised the exception ("Class::Operation"); never null.
    const char* GetWhereText() const { return m_pWhere; }

    static const char* GetUserTextFromType(KMRExceptionType type_i);
    static const char* GetTitleFromType(KMRExceptionType type_i);

    // A new[]-allocated text "prefix: <system text for the calling thread's errno>".
    // Hand it to the owning constructor or free it with FreeWinStatusDetails.
    static char* GetWinStatusDetails(const char* prefix_i);
    static void FreeWinStatusDetails(char* details_i);

private:
    void _CopyFrom(const KMRException& other_i);

    const char* m_pSourceFile;
    int32_t m_iLine;
    const char* m_pWhere;
    char* m_pDetails;
    char m_szDetails[MAX_DETAILS];
    bool m_bOwnDetails;
    const char* m_pUserText;
    const char* m_pTitle;
    uint32_t m_ulErrorCode;
    // Storage for texts given as std::string (third constructor).
    std::string m_strWhere;
};

// The system's text for an operating-system error number (errno value), at most 511 characters.
KMRBase_API std::string GetLastErrorMessage(uint32_t error_i);

// Throws a KMRException of the given type from the current source line.
#define KMR_THROW(type_i, where_i, details_i)                                                             \
    throw KMRException(__FILE__, __LINE__, (where_i), static_cast<const char*>(details_i),              \
                       KMRException::GetUserTextFromType(type_i), KMRException::GetTitleFromType(type_i))
