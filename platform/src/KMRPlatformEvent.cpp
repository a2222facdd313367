// Event descriptors on eventfd.
#include <KMRPlatform/KMRPlatform.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace kmr::platform
{
int EventCreate(bool initialState_i)
{
    return ::eventfd(initialState_i ? 1 : 0, EFD_NONBLOCK | EFD_CLOEXEC);
}

int EventSignal(int fd_i)
{
    const uint64_t one = 1;
    for (;;)
    {
        if (::write(fd_i, &one, sizeof(one)) == static_cast<ssize_t>(sizeof(one)))
            return 0;
        // The counter is saturated: the event is set anyway.
        if (errno == EAGAIN)
            return 0;
        if (errno != EINTR)
            return errno;
    }
}

bool EventConsume(int fd_i)
{
    uint64_t value = 0;
    for (;;)
    {
        if (::read(fd_i, &value, sizeof(value)) == static_cast<ssize_t>(sizeof(value)))
            return true;
        if (errno != EINTR)
            return false;
    }
}

bool EventIsSet(int fd_i)
{
    pollfd item{fd_i, POLLIN, 0};
    return PollFor(&item, 1, 0) > 0 && (item.revents & POLLIN) != 0;
}
} // namespace kmr::platform
