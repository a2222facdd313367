// KMRTransmission::KMRDeliveryThread: hands received telegrams to the receiver, in order.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMREvent.h>
#include <KMRComm/KMRThread.h>
#include <KMRComm/KMRTransmission.h>

#include <KMRBase/KMRCriticalSection.h>
#include <KMRLogging/KMRLogger.h>

#include <atomic>
#include <list>
#include <vector>

// The thread ("DeliveryThread") that calls the receiver's OnReceive for every queued
// telegram, first in first out, and releases each one afterwards. Processor faults and
// KMRExceptions thrown by OnReceive are logged at fatal level and delivery goes on;
// any other exception ends the process (see KMRThread).
// Thread safety: Add may be called from any thread; Stop from the owner.
class KMRComm_API KMRTransmission::KMRDeliveryThread : public KMRThread
{
public:
    explicit KMRDeliveryThread(KMRTransmission* pTransmission_i);
    // Releases telegrams still queued. The thread must have ended (Stop).
    ~KMRDeliveryThread() override;

    // Appends the telegram (owned from now on) and wakes the thread.
    void Add(KMRAbstractTelegram* pTelegram_i);
    // Appends all telegrams in order (owned from now on) with one wake-up.
    void Add(const std::vector<KMRAbstractTelegram*>& telegrams_i);
    // Signals the stop event: the thread ends after the telegram it is delivering.
    void RequestStop();
    // RequestStop, then waits for the thread to end.
    void Stop();

    int32_t Run() override;

private:
    void _Deliver(KMRAbstractTelegram* pTelegram_i);

    KMRLogger m_Logger;
    std::list<KMRAbstractTelegram*> m_Queue;
    KMRCriticalSection m_QueueLock;
    KMRTransmission* m_pTransmission;
    KMRManualResetEvent m_StopEvent;
    KMRAutoResetEvent m_TelegramEvent;
    std::atomic<bool> m_bStopRequested{false};
};
