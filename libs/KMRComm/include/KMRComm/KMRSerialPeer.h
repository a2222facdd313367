// KMRSerialPeer: a serial port with a listener thread that reports port events.
#pragma once

#include <KMRComm/KMRSerial.h>

#include <atomic>
#include <thread>

// A serial port that is always opened for overlapped I/O and has a listener thread:
// the thread waits for the events of the port's mask and calls OnEvent for each
// wake-up that carries at least one of them. The listener ends quietly when its wait
// fails (for instance when the far end of the line is gone); the owner sees that only
// in the port's last error.
// Thread safety: OnServerStart and OnEvent run on the listener thread. StopListener
// and Close wait for the listener and must not be called from inside OnEvent (they
// answer ERROR_INVALID_FUNCTION there). A subclass must Close the port in its own
// destructor, so that no OnEvent runs while the subclass is being destroyed.
class KMRComm_API KMRSerialPeer : public KMRSerial
{
public:
    KMRSerialPeer();
    ~KMRSerialPeer() override;

    // Opens the port for overlapped I/O; bStartListener_i also starts the listener.
    int32_t Open(const char* device_i, uint32_t dwInQueue_i = 0, uint32_t dwOutQueue_i = 0,
                 bool bStartListener_i = false) override;
    // Stops the listener (without time-out) and closes the port.
    int32_t Close() override;

    // Slot 19. Starts the listener thread; 0 when it already runs.
    virtual int32_t StartListener();
    // Slot 20. Stops the listener, waiting up to the time-out. When it has not ended in
    // time, the thread is kept (and stopped for good by a later StopListener or Close)
    // and ERROR_TIMEOUT is answered.
    virtual int32_t StopListener(uint32_t dwTimeout_i = INFINITE_WAIT);
    bool IsListening() const { return m_Thread.joinable(); }

protected:
    // Slot 21. Called once on the listener thread before its first wait.
    virtual int32_t OnServerStart() { return 0; }
    // Slot 22. Called on the listener thread with the event bits (within the mask) and
    // the line errors collected since the last call.
    virtual void OnEvent(ESerialEvent eEvent_i, ESerialError eError_i) = 0;

private:
    void _ListenerLoop();

    std::atomic<bool> m_bStopping;
    std::thread m_Thread;
    // Set by the listener thread when it ends.
    int m_hListenerEvent;
};
