// KMRSimTransportServer: the serving thread shared by the simulator's transports, with its stop signal.
#include "KMRSim/KMRSimTransportServer.h"

#include <KMRBase/KMRException.h>

#include <cerrno>
#include <poll.h>
#include <sys/eventfd.h>

KMRSimTransportServer::KMRSimTransportServer(KMRSimProtocol& protocol_i) : m_protocol(protocol_i) {}

KMRSimTransportServer::~KMRSimTransportServer()
{
    Stop();
}

void KMRSimTransportServer::_StartThread()
{
    m_fdStop.Reset(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!m_fdStop.IsOpen())
    {
        KMR_THROW(KMR_EXC_OPERATING_SYSTEM_CALL, "KMRSimTransportServer::_StartThread", "eventfd failed");
    }
    m_thread = std::thread([this]() { _Run(); });
}

void KMRSimTransportServer::Stop()
{
    if (!m_thread.joinable())
    {
        return;
    }
    const uint64_t one = 1;
    // An eventfd write of 1 cannot fail short of a counter overflow; the thread sees it on its next poll.
    [[maybe_unused]] const ssize_t written = ::write(m_fdStop.Get(), &one, sizeof(one));
    m_thread.join();
}

bool KMRSimTransportServer::_Wait(int fd_i, short events_i)
{
    for (;;)
    {
        pollfd fds[2] = {{m_fdStop.Get(), POLLIN, 0}, {fd_i, events_i, 0}};
        const int ready = ::poll(fds, 2, -1);
        if (ready < 0 && errno == EINTR)
        {
            continue;
        }
        if (ready < 0 || (fds[0].revents & POLLIN) != 0)
        {
            return false;
        }
        if (fds[1].revents != 0)
        {
            return true;
        }
    }
}

bool KMRSimTransportServer::_Pause(uint32_t delayMs_i)
{
    if (delayMs_i == 0)
    {
        return true;
    }
    pollfd fd{m_fdStop.Get(), POLLIN, 0};
    // An interrupted pause ends early; a delay is a fault to show, not a clock.
    return ::poll(&fd, 1, static_cast<int>(delayMs_i)) == 0 || (fd.revents & POLLIN) == 0;
}

void KMRSimTransportServer::_Log(const std::string& line_i) const
{
    if (m_log)
    {
        m_log(line_i);
    }
}
