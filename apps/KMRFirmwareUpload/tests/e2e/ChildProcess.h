// ChildProcess: runs a program of the suite with its output captured, for end-to-end tests.
#pragma once

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

// A started program whose standard output (and error) arrive on one pipe. The
// destructor ends it with SIGTERM and reaps it, so no test leaves a process behind.
class ChildProcess
{
public:
    explicit ChildProcess(const std::vector<std::string>& argv_i)
    {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDERR_FILENO);
        std::vector<char*> args;
        for (const std::string& a : argv_i)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        if (::posix_spawn(&m_Pid, args[0], &actions, nullptr, args.data(), environ) != 0)
            m_Pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        m_iOut = fds[0];
    }
    ~ChildProcess()
    {
        Stop();
        if (m_iOut >= 0)
            ::close(m_iOut);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // Reads output until a line starting with prefix_i arrives (answers it) or the program ends ("").
    std::string WaitForLine(const std::string& prefix_i)
    {
        for (;;)
        {
            const size_t eol = m_strBuffer.find('\n');
            if (eol != std::string::npos)
            {
                std::string line = m_strBuffer.substr(0, eol);
                m_strBuffer.erase(0, eol + 1);
                m_strAll += line + "\n";
                if (line.rfind(prefix_i, 0) == 0)
                    return line;
                continue;
            }
            if (!_ReadSome())
                return std::string();
        }
    }
    // Waits for the end; answers the exit status (-1 when killed). All output is in Output().
    int Wait()
    {
        while (_ReadSome())
        {
        }
        m_strAll += m_strBuffer;
        m_strBuffer.clear();
        return _Reap();
    }
    void Stop()
    {
        if (m_Pid > 0)
        {
            ::kill(m_Pid, SIGTERM);
            _Reap();
        }
    }
    const std::string& Output() const { return m_strAll; }

private:
    bool _ReadSome()
    {
        char chunk[4096];
        const ssize_t n = ::read(m_iOut, chunk, sizeof(chunk));
        if (n <= 0)
            return false;
        m_strBuffer.append(chunk, static_cast<size_t>(n));
        return true;
    }
    int _Reap()
    {
        if (m_Pid <= 0)
            return m_iStatus;
        int status = 0;
        ::waitpid(m_Pid, &status, 0);
        m_Pid = -1;
        m_iStatus = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return m_iStatus;
    }

    pid_t m_Pid = -1;
    int m_iOut = -1;
    int m_iStatus = -1;
    std::string m_strBuffer;
    std::string m_strAll;
};
