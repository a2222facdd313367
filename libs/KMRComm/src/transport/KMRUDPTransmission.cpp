// KMRUDPTransmission: datagrams to telegrams and back.
#include <KMRComm/KMRUDPTransmission.h>

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRAbstractTelegram.h>

#include <KMRBase/KMRException.h>

KMRUDPTransmission::KMRUDPTransmission(const KMRUDPCommConfig& config_i, IKMRReceiver* pReceiver_i,
                                       IKMRTelegramFactory* pFactory_i)
    : KMRTransmission(pReceiver_i, pFactory_i), m_Config(config_i)
{
    m_UDPLogger.SetLogger("org.kelmar.comm.udptransmission");
    SetSniffCommunication(m_Config.GetSniff());
}

KMRUDPTransmission::~KMRUDPTransmission()
{
    // The peer thread calls OnReceiveData of this object: it must end first.
    WaitForShutdownToComplete();
}

bool KMRUDPTransmission::EstablishConnection()
{
    m_ListenAddress = m_Config.GetListeningAddress();
    m_DestinationAddress = m_Config.GetDestinationAddress();
    StartAcceptingConnections(m_ListenAddress);
    Start();
    return true;
}

bool KMRUDPTransmission::CloseConnection()
{
    InitiateShutdown();
    WaitForShutdownToComplete();
    StopSending();
    return true;
}

void KMRUDPTransmission::Release()
{
    // The peer thread must be gone before the destructors start rewriting the object.
    WaitForShutdownToComplete();
    delete this;
}

void KMRUDPTransmission::Send(KMRAbstractTelegram* pTelegram_i)
{
    if (pTelegram_i == nullptr)
        return;
    if (m_DestinationAddress.GetIPAddr() != 0)
    {
        SendTo(m_DestinationAddress, pTelegram_i->GetTelegramStream(), pTelegram_i->GetSize());
    }
    else
    {
        // Each received datagram is answered at most once.
        const KMRSocket::KMRInternetAddress sender = TakeSenderAddress();
        if (sender.GetIPAddr() != 0)
            SendTo(sender, pTelegram_i->GetTelegramStream(), pTelegram_i->GetSize());
    }
    LogTX(pTelegram_i);
}

void KMRUDPTransmission::OnReceiveData(const unsigned char* pData_i, int32_t iLength_i)
{
    try
    {
        LogRX(pData_i, iLength_i);
        if (GetFactory() == nullptr)
            return;
        AddReceiveTelegram(GetFactory()->CreateTelegram(pData_i, iLength_i));
    }
    catch (const KMRException&)
    {
        m_UDPLogger.Warn("The telegram received via UDP wasn't valid.");
    }
    catch (...)
    {
        m_UDPLogger.Fatal("Unknown exception occurred in KMRUDPTransmission::OnReceiveData.");
    }
}
