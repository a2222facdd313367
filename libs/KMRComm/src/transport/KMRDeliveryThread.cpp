// KMRTransmission::KMRDeliveryThread: FIFO delivery of received telegrams on its own thread.
#include <KMRComm/KMRDeliveryThread.h>

#include <KMRComm/IKMRReceiver.h>
#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRSETranslator.h>

#include <KMRBase/KMRException.h>

#include <cinttypes>
#include <cstdio>
#include <string>

namespace
{
// At most this many characters of a telegram's text go into a fatal log line.
constexpr unsigned long TELEGRAM_TEXT = 1024;

std::string TelegramText(const KMRAbstractTelegram* pTelegram_i)
{
    char text[TELEGRAM_TEXT + 1] = {};
    pTelegram_i->ToString(text, sizeof(text));
    return text;
}
} // namespace

KMRTransmission::KMRDeliveryThread::KMRDeliveryThread(KMRTransmission* pTransmission_i)
    : KMRThread("DeliveryThread"), m_pTransmission(pTransmission_i), m_StopEvent(false), m_TelegramEvent(false)
{
    m_Logger.SetLogger("org.kelmar.comm.telegramsupplier");
}

KMRTransmission::KMRDeliveryThread::~KMRDeliveryThread()
{
    KMRCriticalSection::Owner guard(m_QueueLock);
    for (KMRAbstractTelegram* telegram : m_Queue)
        KMRAbstractTelegram::Release(telegram);
    m_Queue.clear();
}

void KMRTransmission::KMRDeliveryThread::Add(KMRAbstractTelegram* pTelegram_i)
{
    Add(std::vector<KMRAbstractTelegram*>{pTelegram_i});
}

void KMRTransmission::KMRDeliveryThread::Add(const std::vector<KMRAbstractTelegram*>& telegrams_i)
{
    if (telegrams_i.empty())
        return;
    bool wasEmpty = false;
    {
        KMRCriticalSection::Owner guard(m_QueueLock);
        wasEmpty = m_Queue.empty();
        m_Queue.insert(m_Queue.end(), telegrams_i.begin(), telegrams_i.end());
    }
    // The thread empties the whole queue on each wake-up, so a burst needs one signal:
    // a telegram added to a non-empty queue is found before the queue is seen empty.
    if (wasEmpty)
        m_TelegramEvent.Set();
}

void KMRTransmission::KMRDeliveryThread::RequestStop()
{
    m_bStopRequested = true;
    m_StopEvent.Set();
}

void KMRTransmission::KMRDeliveryThread::Stop()
{
    RequestStop();
    if (GetHandle() >= 0)
        Wait();
}

int32_t KMRTransmission::KMRDeliveryThread::Run()
{
    // Processor faults in a receiver become exceptions on this thread (see _Deliver).
    KMRSETranslator translator;
    // The flag mirrors the stop event, so that testing it costs no system call per telegram.
    while (!m_bStopRequested)
    {
        const int woken = KMREvent::WaitForAny({&m_StopEvent, &m_TelegramEvent}, KMREvent::INFINITE_WAIT);
        m_Logger.Debug("AFTER WaitForMultipleObjects in KMRDeliveryThread");
        if (woken == 0)
            break;
        if (woken != 1)
            continue;
        for (;;)
        {
            KMRAbstractTelegram* telegram = nullptr;
            {
                KMRCriticalSection::Owner guard(m_QueueLock);
                if (m_Queue.empty())
                    break;
                telegram = m_Queue.front();
                m_Queue.pop_front();
            }
            if (telegram == nullptr)
            {
                m_Logger.Error("KMRDeliveryThread::Run: pTelegram is NULL");
                continue;
            }
            _Deliver(telegram);
            // A stop request ends delivery; what is still queued is released with the queue.
            if (m_bStopRequested)
                break;
        }
    }
    return 0;
}

void KMRTransmission::KMRDeliveryThread::_Deliver(KMRAbstractTelegram* pTelegram_i)
{
    KMRTelegramPtr telegram(pTelegram_i);
    IKMRReceiver* receiver = m_pTransmission->GetReceiver();
    if (receiver == nullptr)
        return;
    try
    {
        receiver->OnReceive(telegram.get());
    }
    catch (const KMRSETranslator::exception& e)
    {
        char head[160];
        std::snprintf(head, sizeof(head),
                      "Exception occurred when delivering a telegram. Exception code: %08x, Exception address: %08" PRIxPTR,
                      e.GetCode(), reinterpret_cast<uintptr_t>(e.GetAddress()));
        m_Logger.Fatal((head + (", Telegram: " + TelegramText(telegram.get()))).c_str());
    }
    catch (const KMRException& e)
    {
        std::string text = "Exception occurred when delivering a telegram.";
        text += std::string(" Error message: ") + e.GetDetails();
        text += " Telegram: " + TelegramText(telegram.get());
        text += " ->KMRException";
        m_Logger.Fatal(text.c_str());
    }
}
