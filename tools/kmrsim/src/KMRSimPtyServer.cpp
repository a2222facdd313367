// KMRSimPtyServer: serves the simulated controller on a pseudo-terminal, as on a serial line.
#include "KMRSim/KMRSimPtyServer.h"

#include <KMRBase/KMRException.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>

namespace
{
[[noreturn]] void _ThrowSystem(const char* what_i)
{
    throw KMRException(__FILE__, __LINE__, "KMRSimPtyServer::Start", KMRException::GetWinStatusDetails(what_i),
                       KMRException::GetUserTextFromType(KMR_EXC_OPERATING_SYSTEM_CALL),
                       KMRException::GetTitleFromType(KMR_EXC_OPERATING_SYSTEM_CALL));
}
} // namespace

KMRSimPtyServer::KMRSimPtyServer(KMRSimProtocol& protocol_i) : KMRSimTransportServer(protocol_i) {}

KMRSimPtyServer::~KMRSimPtyServer()
{
    Stop();
}

void KMRSimPtyServer::Start()
{
    int master = -1;
    int slave = -1;
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0)
    {
        _ThrowSystem("openpty");
    }
    m_fdMaster.Reset(master);
    m_fdSlave.Reset(slave);
    ::fcntl(master, F_SETFD, FD_CLOEXEC);
    ::fcntl(slave, F_SETFD, FD_CLOEXEC);
    if (::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK) != 0)
    {
        _ThrowSystem("fcntl O_NONBLOCK");
    }
    // Raw: no echo, no line editing, no translation of CR/LF or of any control byte.
    termios settings{};
    if (::tcgetattr(slave, &settings) != 0)
    {
        _ThrowSystem("tcgetattr");
    }
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    if (::tcsetattr(slave, TCSANOW, &settings) != 0)
    {
        _ThrowSystem("tcsetattr");
    }
    char path[PATH_MAX];
    if (::ttyname_r(slave, path, sizeof(path)) != 0)
    {
        _ThrowSystem("ttyname_r");
    }
    m_strPath = path;
    _StartThread();
}

void KMRSimPtyServer::_Run()
{
    uint8_t buffer[512];
    std::vector<uint8_t> frame;
    while (_Wait(m_fdMaster.Get(), POLLIN))
    {
        const ssize_t received = ::read(m_fdMaster.Get(), buffer, sizeof(buffer));
        if (received < 0)
        {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
            {
                continue;
            }
            _Log(std::string("pty read: ") + std::strerror(errno));
            return;
        }
        m_splitter.Append(buffer, static_cast<std::size_t>(received));
        while (m_splitter.Next(frame))
        {
            const auto answer = m_protocol.Process(frame.data(), frame.size());
            if (!answer)
            {
                continue;
            }
            if (!_Pause(m_protocol.GetDelayMs()) || !_WriteAll(*answer))
            {
                return;
            }
        }
    }
}

bool KMRSimPtyServer::_WriteAll(const std::vector<uint8_t>& bytes_i)
{
    std::size_t done = 0;
    while (done < bytes_i.size())
    {
        const ssize_t written = ::write(m_fdMaster.Get(), bytes_i.data() + done, bytes_i.size() - done);
        if (written >= 0)
        {
            done += static_cast<std::size_t>(written);
            continue;
        }
        if (errno == EINTR)
        {
            continue;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK)
        {
            _Log(std::string("pty write: ") + std::strerror(errno));
            return false;
        }
        if (!_Wait(m_fdMaster.Get(), POLLOUT))
        {
            return false;
        }
    }
    return true;
}
