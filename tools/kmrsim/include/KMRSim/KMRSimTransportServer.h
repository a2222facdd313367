// KMRSimTransportServer: the serving thread shared by the simulator's transports, with its stop signal.
#pragma once

#include "KMRSim/KMRSimFd.h"
#include "KMRSim/KMRSimProtocol.h"

#include <cstdint>
#include <functional>
#include <string>
#include <thread>

// One thread that waits with poll on the transport's descriptor and an eventfd; Stop sets
// the eventfd, so the thread ends within one pass however long it was waiting or pausing.
// Thread safety: Start and Stop are called by the owner's thread; the rest runs on the
// serving thread.
class KMRSimTransportServer
{
public:
    KMRSimTransportServer(const KMRSimTransportServer&) = delete;
    KMRSimTransportServer& operator=(const KMRSimTransportServer&) = delete;
    virtual ~KMRSimTransportServer();

    // Ends the serving thread and waits for it; idempotent. Derived destructors call it
    // before their descriptors go away.
    void Stop();
    // Where problems of the transport are reported (one line each); empty: silent.
    void SetLog(std::function<void(const std::string&)> log_i) { m_log = std::move(log_i); }

protected:
    explicit KMRSimTransportServer(KMRSimProtocol& protocol_i);

    // Creates the stop signal and starts _Run on the serving thread. Throws KMRException
    // when the eventfd cannot be created.
    void _StartThread();
    virtual void _Run() = 0;
    // Waits until fd_i has the events_i; false when stopped first.
    bool _Wait(int fd_i, short events_i);
    // Waits delay_i milliseconds; false when stopped first.
    bool _Pause(uint32_t delayMs_i);
    void _Log(const std::string& line_i) const;

    KMRSimProtocol& m_protocol;

private:
    KMRSimFd m_fdStop;
    std::thread m_thread;
    std::function<void(const std::string&)> m_log;
};
