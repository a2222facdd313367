// Internal: raising the socket exceptions with the socket library's error numbers.
#pragma once

#include <KMRComm/KMRCommException.h>

#include <KMRPlatform/KMRPlatform.h>

#include <cstring>
#include <string>

namespace kmr::transport
{
// Throws a KMRCommException of the socket type: details "<text>: <system text>",
// error code the socket library's number for errno_i.
[[noreturn]] inline void ThrowSocketError(const char* sourceFile_i, int line_i, const char* where_i,
                                          const char* text_i, int errno_i)
{
    const std::string details = std::string(text_i) + ": " + std::strerror(errno_i);
    KMRCommException exception(sourceFile_i, line_i, where_i, details.c_str(),
                               KMRCommException::GetUserTextFromType(KMR_COMM_EXC_SOCKET),
                               KMRCommException::GetTitleFromType(KMR_COMM_EXC_SOCKET));
    exception.SetErrorCode(static_cast<uint32_t>(kmr::platform::SocketErrorFromErrno(errno_i)));
    throw exception;
}
} // namespace kmr::transport

#define KMR_SOCKET_THROW(where_i, text_i, errno_i) \
    ::kmr::transport::ThrowSocketError(__FILE__, __LINE__, (where_i), (text_i), (errno_i))
