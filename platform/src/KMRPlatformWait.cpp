// poll() with a deadline that survives interruptions by signals.
#include <KMRPlatform/KMRPlatform.h>

#include <cerrno>
#include <chrono>

namespace kmr::platform
{
int PollFor(pollfd* fds_i, nfds_t count_i, uint32_t timeoutMs_i)
{
    using Clock = std::chrono::steady_clock;
    const bool infinite = timeoutMs_i == WAIT_INFINITE;
    const auto deadline = Clock::now() + std::chrono::milliseconds(infinite ? 0 : timeoutMs_i);
    for (;;)
    {
        int timeout = -1;
        if (!infinite)
        {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            timeout = left > 0 ? static_cast<int>(left) : 0;
        }
        const int result = ::poll(fds_i, count_i, timeout);
        if (result >= 0 || errno != EINTR)
            return result;
    }
}
} // namespace kmr::platform
