// KMRSimFd: owns one file descriptor and closes it.
#pragma once

#include <unistd.h>

#include <utility>

// Move-only owner of a descriptor; -1 means none. Thread safety: not locked.
class KMRSimFd
{
public:
    KMRSimFd() = default;
    explicit KMRSimFd(int fd_i) : m_iFd(fd_i) {}
    KMRSimFd(const KMRSimFd&) = delete;
    KMRSimFd& operator=(const KMRSimFd&) = delete;
    KMRSimFd(KMRSimFd&& other_i) noexcept : m_iFd(std::exchange(other_i.m_iFd, -1)) {}
    KMRSimFd& operator=(KMRSimFd&& other_i) noexcept
    {
        if (this != &other_i)
        {
            Reset(std::exchange(other_i.m_iFd, -1));
        }
        return *this;
    }
    ~KMRSimFd() { Reset(); }

    int Get() const { return m_iFd; }
    bool IsOpen() const { return m_iFd >= 0; }
    void Reset(int fd_i = -1)
    {
        if (m_iFd >= 0)
        {
            ::close(m_iFd);
        }
        m_iFd = fd_i;
    }

private:
    int m_iFd = -1;
};
