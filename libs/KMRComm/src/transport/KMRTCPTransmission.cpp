// KMRTCPTransmission: every received block is one telegram.
#include <KMRComm/KMRTCPTransmission.h>

#include <KMRComm/IKMRTelegramFactory.h>
#include <KMRComm/KMRAbstractTelegram.h>

#include <KMRBase/KMRException.h>

KMRTCPTransmission::KMRTCPTransmission(const KMRTCPCommConfig& config_i, IKMRReceiver* pReceiver_i,
                                       IKMRTelegramFactory* pFactory_i)
    : KMRTransmission(pReceiver_i, pFactory_i), KMRTCPSocketServer(config_i.GetPort()), m_Config(config_i)
{
    m_TCPLogger.SetLogger("org.kelmar.comm.tcptransmission");
    SetSniffCommunication(m_Config.GetSniff());
}

KMRTCPTransmission::~KMRTCPTransmission()
{
    // The server thread calls OnReceive of this object: it must end first.
    Stop();
}

void KMRTCPTransmission::Send(KMRAbstractTelegram* pTelegram_i)
{
    if (pTelegram_i == nullptr)
        return;
    KMRTCPSocketServer::Send(KMRString(reinterpret_cast<const char*>(pTelegram_i->GetTelegramStream()),
                                       static_cast<int>(pTelegram_i->GetSize())));
    LogTX(pTelegram_i);
}

bool KMRTCPTransmission::EstablishConnection()
{
    Listen();
    Start();
    return true;
}

bool KMRTCPTransmission::CloseConnection()
{
    Close();
    return true;
}

void KMRTCPTransmission::UnInitialize()
{
    Stop();
    KMRTransmission::UnInitialize();
}

void KMRTCPTransmission::Release()
{
    // The server thread must be gone before the destructors start rewriting the object.
    Stop();
    delete this;
}

void KMRTCPTransmission::OnReceive(const KMRString& bytes_i)
{
    OnReceiveData(reinterpret_cast<const unsigned char*>(bytes_i.GetString()), bytes_i.GetLength());
}

void KMRTCPTransmission::OnReceiveData(const unsigned char* pData_i, int iSize_i)
{
    try
    {
        LogRX(pData_i, iSize_i);
        if (GetFactory() == nullptr)
            return;
        AddReceiveTelegram(GetFactory()->CreateTelegram(pData_i, iSize_i));
    }
    catch (const KMRException&)
    {
        m_TCPLogger.Warn("The telegram received via TCP wasn't valid.");
    }
    catch (...)
    {
        m_TCPLogger.Fatal("Unknown exception occurred in KMRTCPTransmission::OnReceiveData.");
    }
}
