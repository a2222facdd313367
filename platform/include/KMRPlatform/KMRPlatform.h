// POSIX helpers behind the transport classes: event descriptors, waits, serial speeds,
// COM port names and socket error numbers.
#pragma once

#include <poll.h>

#include <cstdint>
#include <string>

namespace kmr::platform
{
// A time-out value meaning "wait for ever".
inline constexpr uint32_t WAIT_INFINITE = 0xFFFFFFFFu;

// Event descriptors (eventfd, non-blocking, close-on-exec). A set event is a
// readable descriptor; consuming it reads the counter back to zero.
// Answers the descriptor, or -1 with errno set.
int EventCreate(bool initialState_i);
// Makes the descriptor readable; answers 0 or an errno value.
int EventSignal(int fd_i);
// Reads the counter back to zero. Answers true when this call consumed a signal,
// false when the event was not set (another waiter was first).
bool EventConsume(int fd_i);
// True when the event is set, without consuming it.
bool EventIsSet(int fd_i);

// poll() that restarts after signals with the remaining time. timeoutMs_i may be
// WAIT_INFINITE. Answers the number of ready descriptors, 0 on time-out, or -1 with
// errno set.
int PollFor(pollfd* fds_i, nfds_t count_i, uint32_t timeoutMs_i);

// Bit rates through termios2 (BOTHER), so that odd rates such as 31250 or 93750
// work like the standard ones. Both answer 0 or an errno value.
int SetLineSpeed(int fd_i, uint32_t baud_i);
int GetLineSpeed(int fd_i, uint32_t& baud_o);

// "COMn" and "\\.\COMn" resolve through the environment variable KMR_COMn, else
// to /dev/ttyS(n-1); every other name is a device path and used as it is.
std::string ResolveSerialDeviceName(const std::string& name_i);

// The socket library error number (10035, 10054, ...) for an errno value; values
// without a counterpart are answered unchanged.
int SocketErrorFromErrno(int errno_i);
} // namespace kmr::platform
