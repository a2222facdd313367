// KMRTransmission: the abstract base of every first-generation transport.
#pragma once

#include <KMRComm/IKMRSender.h>
#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMREvent.h>

#include <KMRLogging/KMRLogger.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

class IKMRReceiver;
class IKMRTelegramFactory;
class KMRAbstractTelegram;

// The contract between a transport and its user: the user hands in a receiver and a
// telegram factory, calls Initialize, sends with Send, and gets every received telegram
// back on the transmission's own delivery thread, one at a time in arrival order.
// Subclasses supply the connection and the sending, and queue what they receive with
// AddReceiveTelegram. Traffic can be logged byte by byte on "org.kelmar.comm.sniffer".
//
// Thread safety: Send, Initialize, UnInitialize and the line-in-use operations are
// called by the user's threads; AddReceiveTelegram by the subclass's reading thread,
// also while UnInitialize runs (a telegram that finds no delivery thread is released).
class KMRComm_API KMRTransmission : public IKMRSender
{
public:
    class KMRDeliveryThread;

    // Starts the delivery thread; receiver_i and factory_i are not owned (either may be
    // null). With a factory, a prototype telegram for stream splitting is created.
    KMRTransmission(IKMRReceiver* pReceiver_i, IKMRTelegramFactory* pFactory_i);
    KMRTransmission(const KMRTransmission&) = delete;
    KMRTransmission& operator=(const KMRTransmission&) = delete;

    // Slots 1 to 3: the line is free while the (manual-reset) line event is set; it
    // starts out in use.
    void SetCommunicationLineInUse() override;
    void ResetCommunicationLineInUse() override;
    bool WaitWhileCommunicationLineInUse(uint32_t ulTimeout_i) override;
    // Slot 4: stops a delivery thread that still runs (queued telegrams are released),
    // then releases the prototype telegram. It does not call CloseConnection.
    ~KMRTransmission() override;
    // Slots 5, 6.
    virtual void SetSniffCommunication(bool bSniff_i);
    virtual bool GetSniffCommunication();
    // Slots 7, 8.
    virtual bool EstablishConnection() = 0;
    virtual bool CloseConnection() = 0;

protected:
    // Slots 9 to 12: one info line "[TX] " / "[RX] " with the bytes as "XX " (or the
    // telegram's text), cut at 2 047 characters; nothing when sniffing is off.
    virtual void LogTX(const unsigned char* pData_i, int iSize_i);
    virtual void LogTX(KMRAbstractTelegram* pTelegram_i);
    virtual void LogRX(const unsigned char* pData_i, int iSize_i);
    virtual void LogRX(KMRAbstractTelegram* pTelegram_i);

public:
    // Slot 13: EstablishConnection(). A KMRWin32Exception from it becomes a
    // KMRCommException "Unable to establish connection due to the following reason: ...";
    // other exceptions pass unchanged.
    virtual void Initialize();
    // Slot 14: stops and destroys the delivery thread (queued telegrams are released, not
    // delivered), then CloseConnection(). Safe to call twice.
    virtual void UnInitialize();
    // Slot 15: destroys the object.
    virtual void Release() = 0;

    // Queues a received telegram for delivery and takes ownership of it. Null is queued
    // and logged as an error on delivery. Without a delivery thread the telegram is released.
    void AddReceiveTelegram(KMRAbstractTelegram* pTelegram_i);
    // The same for several telegrams at once, in order, with one wake-up of the thread.
    void AddReceiveTelegrams(const std::vector<KMRAbstractTelegram*>& telegrams_i);

    IKMRReceiver* GetReceiver() const { return m_pReceiver; }
    IKMRTelegramFactory* GetFactory() const { return m_pFactory; }

protected:
    // The prototype whose SplitTelegram cuts received byte streams; null without factory.
    KMRAbstractTelegram* GetSplitTelegram() const { return m_pSplitTelegram; }
    void _StopDeliveryThread();

    IKMRReceiver* m_pReceiver;
    std::unique_ptr<KMRDeliveryThread> m_pDeliveryThread;
    KMRAbstractTelegram* m_pSplitTelegram;
    IKMRTelegramFactory* m_pFactory;
    KMRLogger m_Logger;
    KMRManualResetEvent m_LineFree;
    KMRLogger m_SnifferLogger;
    std::atomic<bool> m_bSniff;

private:
    void _Log(const char* prefix_i, const unsigned char* pData_i, int iSize_i);
    void _Log(const char* prefix_i, KMRAbstractTelegram* pTelegram_i);

    // Guards m_pDeliveryThread against AddReceiveTelegram during UnInitialize.
    std::mutex m_DeliveryLock;
};
