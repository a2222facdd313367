// Test helper: a pseudo-terminal pair; the port under test opens the slave by its path.
#pragma once

#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <string>
#include <vector>

namespace kmrtest
{
class PtyPair
{
public:
    PtyPair()
    {
        char name[256] = {};
        if (::openpty(&m_iMaster, &m_iSlave, name, nullptr, nullptr) != 0)
            ADD_FAILURE() << "openpty failed";
        m_Path = name;
        // The master side stays raw so that test bytes pass unchanged in both directions.
        termios settings{};
        ::tcgetattr(m_iMaster, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(m_iMaster, TCSANOW, &settings);
    }
    ~PtyPair()
    {
        CloseMaster();
        if (m_iSlave >= 0)
            ::close(m_iSlave);
    }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    const char* SlavePath() const { return m_Path.c_str(); }
    int Master() const { return m_iMaster; }
    void CloseMaster()
    {
        if (m_iMaster >= 0)
            ::close(m_iMaster);
        m_iMaster = -1;
    }

    // Writes the bytes into the line, as the far end would.
    void Send(const std::vector<unsigned char>& bytes_i) const
    {
        size_t done = 0;
        while (done < bytes_i.size())
        {
            const ssize_t n = ::write(m_iMaster, bytes_i.data() + done, bytes_i.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else
            {
                pollfd item{m_iMaster, POLLOUT, 0};
                ::poll(&item, 1, -1);
            }
        }
    }

    // Reads exactly count_i bytes that the port under test wrote.
    std::vector<unsigned char> Receive(size_t count_i) const
    {
        std::vector<unsigned char> bytes(count_i);
        size_t done = 0;
        while (done < count_i)
        {
            const ssize_t n = ::read(m_iMaster, bytes.data() + done, count_i - done);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (n == 0)
                break;
        }
        bytes.resize(done);
        return bytes;
    }

private:
    int m_iMaster = -1;
    int m_iSlave = -1;
    std::string m_Path;
};
} // namespace kmrtest
