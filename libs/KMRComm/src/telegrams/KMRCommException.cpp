// KMRCommException: the communication exception's type table and error texts.
#include <KMRComm/KMRCommException.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace
{
char* Duplicate(const std::string& text_i)
{
    char* copy = new char[text_i.size() + 1];
    std::memcpy(copy, text_i.c_str(), text_i.size() + 1);
    return copy;
}
} // namespace

KMRCommException::KMRCommException(const char* sourceFile_i, int line_i, const char* where_i,
                                   const char* details_i, const char* userText_i, const char* title_i)
    : KMRException(sourceFile_i, line_i, where_i, details_i, userText_i, title_i)
{
}

KMRCommException::KMRCommException(const char* sourceFile_i, int line_i, const char* where_i, char* details_i,
                                   const char* userText_i, const char* title_i)
    : KMRException(sourceFile_i, line_i, where_i, details_i, userText_i, title_i)
{
}

const char* KMRCommException::GetUserTextFromType(KMRCommExceptionType type_i)
{
    if (type_i == KMR_COMM_EXC_SOCKET)
        return "A socket error occurred.";
    return "An unexpected error occurred.";
}

const char* KMRCommException::GetTitleFromType(KMRCommExceptionType type_i)
{
    if (type_i == KMR_COMM_EXC_SOCKET)
        return "Socket";
    return "Software";
}

char* KMRCommException::GetWin32StatusDetails(const char* prefix_i)
{
    const auto error = static_cast<uint32_t>(errno);
    std::string text = prefix_i != nullptr ? prefix_i : "";
    text += ": ";
    text += GetLastErrorMessage(error);
    return Duplicate(text);
}

char* KMRCommException::GetWinSocketStatusDetails(const char* prefix_i)
{
    return GetWin32StatusDetails(prefix_i);
}

char* KMRCommException::GetWinSocketStatusDetails()
{
    return Duplicate(GetLastErrorMessage(static_cast<uint32_t>(errno)));
}
