// KMRTransmission: delivery thread ownership, line-in-use signal and sniff logging.
#include <KMRComm/KMRTransmission.h>

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRAbstractTelegram.h>
#include <KMRComm/KMRCommException.h>
#include <KMRComm/KMRDeliveryThread.h>

#include <KMRBase/KMRWin32Exception.h>

#include <cstdio>
#include <string>

namespace
{
// A sniff line, terminator included, fits in this many bytes.
constexpr size_t SNIFF_LINE = 2048;
} // namespace

KMRTransmission::KMRTransmission(IKMRReceiver* pReceiver_i, IKMRTelegramFactory* pFactory_i)
    : m_pReceiver(pReceiver_i), m_pSplitTelegram(nullptr), m_pFactory(pFactory_i), m_LineFree(false), m_bSniff(false)
{
    m_Logger.SetLogger("org.kelmar.comm.transmission");
    m_SnifferLogger.SetLogger("org.kelmar.comm.sniffer");
    m_pDeliveryThread = std::make_unique<KMRDeliveryThread>(this);
    m_pDeliveryThread->Start();
    if (m_pFactory != nullptr)
    {
        try
        {
            m_pSplitTelegram = m_pFactory->CreateTelegram();
        }
        catch (...)
        {
            _StopDeliveryThread();
            throw;
        }
    }
}

KMRTransmission::~KMRTransmission()
{
    _StopDeliveryThread();
    KMRAbstractTelegram::Release(m_pSplitTelegram);
}

void KMRTransmission::SetCommunicationLineInUse()
{
    m_LineFree.Reset();
}

void KMRTransmission::ResetCommunicationLineInUse()
{
    m_LineFree.Set();
}

bool KMRTransmission::WaitWhileCommunicationLineInUse(uint32_t ulTimeout_i)
{
    return m_LineFree.Wait(ulTimeout_i);
}

void KMRTransmission::SetSniffCommunication(bool bSniff_i)
{
    m_bSniff = bSniff_i;
}

bool KMRTransmission::GetSniffCommunication()
{
    return m_bSniff;
}

void KMRTransmission::_Log(const char* prefix_i, const unsigned char* pData_i, int iSize_i)
{
    if (!m_bSniff)
        return;
    static const char DIGITS[] = "0123456789ABCDEF";
    std::string line = prefix_i;
    line.reserve(SNIFF_LINE + 3);
    for (int i = 0; i < iSize_i && pData_i != nullptr && line.size() < SNIFF_LINE - 1; ++i)
    {
        line += DIGITS[pData_i[i] >> 4];
        line += DIGITS[pData_i[i] & 0x0F];
        line += ' ';
    }
    if (line.size() > SNIFF_LINE - 1)
        line.resize(SNIFF_LINE - 1);
    m_SnifferLogger.Info(line.c_str());
}

void KMRTransmission::_Log(const char* prefix_i, KMRAbstractTelegram* pTelegram_i)
{
    if (!m_bSniff || pTelegram_i == nullptr)
        return;
    char line[SNIFF_LINE] = {};
    const size_t prefix = std::snprintf(line, sizeof(line), "%s", prefix_i);
    pTelegram_i->ToString(line + prefix, sizeof(line) - prefix);
    line[sizeof(line) - 1] = '\0';
    m_SnifferLogger.Info(line);
}

void KMRTransmission::LogTX(const unsigned char* pData_i, int iSize_i)
{
    _Log("[TX] ", pData_i, iSize_i);
}

void KMRTransmission::LogTX(KMRAbstractTelegram* pTelegram_i)
{
    _Log("[TX] ", pTelegram_i);
}

void KMRTransmission::LogRX(const unsigned char* pData_i, int iSize_i)
{
    _Log("[RX] ", pData_i, iSize_i);
}

void KMRTransmission::LogRX(KMRAbstractTelegram* pTelegram_i)
{
    _Log("[RX] ", pTelegram_i);
}

void KMRTransmission::Initialize()
{
    try
    {
        EstablishConnection();
    }
    catch (const KMRWin32Exception& e)
    {
        const std::string details =
            std::string("Unable to establish connection due to the following reason: ") + e.GetDetails();
        KMR_COMM_THROW(KMR_COMM_EXC_SERIAL, "KMRTransmission::Initialize", details.c_str());
    }
}

void KMRTransmission::_StopDeliveryThread()
{
    KMRDeliveryThread* thread = nullptr;
    {
        std::lock_guard<std::mutex> guard(m_DeliveryLock);
        thread = m_pDeliveryThread.get();
    }
    if (thread == nullptr)
        return;
    // The thread ends first; only then is it taken away from AddReceiveTelegram, which
    // may queue on it until that moment (such telegrams are released with the queue).
    thread->Stop();
    std::unique_ptr<KMRDeliveryThread> ended;
    {
        std::lock_guard<std::mutex> guard(m_DeliveryLock);
        ended = std::move(m_pDeliveryThread);
    }
}

void KMRTransmission::UnInitialize()
{
    _StopDeliveryThread();
    CloseConnection();
}

void KMRTransmission::AddReceiveTelegrams(const std::vector<KMRAbstractTelegram*>& telegrams_i)
{
    {
        std::lock_guard<std::mutex> guard(m_DeliveryLock);
        if (m_pDeliveryThread)
        {
            m_pDeliveryThread->Add(telegrams_i);
            return;
        }
    }
    for (KMRAbstractTelegram* telegram : telegrams_i)
        KMRAbstractTelegram::Release(telegram);
}

void KMRTransmission::AddReceiveTelegram(KMRAbstractTelegram* pTelegram_i)
{
    {
        std::lock_guard<std::mutex> guard(m_DeliveryLock);
        if (m_pDeliveryThread)
        {
            m_pDeliveryThread->Add(pTelegram_i);
            return;
        }
    }
    KMRAbstractTelegram::Release(pTelegram_i);
}
