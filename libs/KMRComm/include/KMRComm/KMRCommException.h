// KMRCommException: the exception for communication failures, with its own type table.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <KMRBase/KMRException.h>

// Kinds of communication failure; each maps to a title and a user text.
enum KMRCommExceptionType : int
{
    KMR_COMM_EXC_SOCKET = 0,       // socket failures
    KMR_COMM_EXC_SERIAL = 1,       // serial line failures and failed connection set-up
    KMR_COMM_EXC_TELEGRAM = 2,     // invalid telegram data and response fields
    KMR_COMM_EXC_SENDTELEGRAM = 3  // invalid request frames
};

// A communication failure. Adds no members to KMRException; raisers pass the texts of
// GetUserTextFromType/GetTitleFromType (KMR_COMM_THROW does). Thread safety as KMRException.
class KMRComm_API KMRCommException : public KMRException
{
public:
    // Copies details_i (see KMRException).
    KMRCommException(const char* sourceFile_i, int line_i, const char* where_i, const char* details_i,
                     const char* userText_i, const char* title_i);
    // Takes ownership of details_i, a new[]-allocated text such as GetWin32StatusDetails returns.
    KMRCommException(const char* sourceFile_i, int line_i, const char* where_i, char* details_i,
                     const char* userText_i, const char* title_i);

    // Texts of the type table; unknown types give the "Software" texts. Never null.
    static const char* GetUserTextFromType(KMRCommExceptionType type_i);
    static const char* GetTitleFromType(KMRCommExceptionType type_i);

    // New[]-allocated "prefix: <system text of the calling thread's last error>". Read errno
    // before anything else can change it. Hand the text to the owning constructor or free it
    // with KMRException::FreeWinStatusDetails.
    static char* GetWin32StatusDetails(const char* prefix_i);
    // The same for the last socket error (sockets report through errno here).
    static char* GetWinSocketStatusDetails(const char* prefix_i);
    // The system text of the last socket error alone, new[]-allocated.
    static char* GetWinSocketStatusDetails();
};

// Throws a KMRCommException of the given type from the current source line.
#define KMR_COMM_THROW(type_i, where_i, details_i)                                                        \
    throw KMRCommException(__FILE__, __LINE__, (where_i), static_cast<const char*>(details_i),          \
                           KMRCommException::GetUserTextFromType(type_i),                                \
                           KMRCommException::GetTitleFromType(type_i))
