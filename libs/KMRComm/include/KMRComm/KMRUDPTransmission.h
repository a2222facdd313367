// KMRUDPTransmission: one telegram per UDP datagram.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMRSocketPeer.h>
#include <KMRComm/KMRTransmission.h>
#include <KMRComm/KMRUDPCommConfig.h>

#include <KMRLogging/KMRLogger.h>

// A transmission over UDP: the peer thread receives datagrams on the listening address
// and each datagram becomes one telegram. Sending goes to the configured destination,
// or, without one, once to the sender of the last datagram received.
// Thread safety: Send on the caller's threads, reception on the peer thread.
class KMRComm_API KMRUDPTransmission : public KMRTransmission, public KMRSocketPeer
{
public:
    // The sniff setting comes from the configuration.
    KMRUDPTransmission(const KMRUDPCommConfig& config_i, IKMRReceiver* pReceiver_i, IKMRTelegramFactory* pFactory_i);
    ~KMRUDPTransmission() override;

    // Sends the telegram as one datagram (see the class comment), then LogTX. A send
    // failure throws the KMRCommException of KMRSocket::SendTo.
    void Send(KMRAbstractTelegram* pTelegram_i) override;
    // Binds the listening socket and starts the peer thread; a listening address that
    // cannot be bound throws KMRCommException. The thread is not restarted after a close.
    bool EstablishConnection() override;
    // Ends the peer thread and closes the sockets.
    bool CloseConnection() override;
    // Stops the reading thread, then destroys the object. Owners that delete the object
    // directly call UnInitialize (or CloseConnection) first.
    void Release() override;

    const KMRUDPCommConfig& GetConfig() const { return m_Config; }

protected:
    void OnReceiveData(const unsigned char* pData_i, int32_t iLength_i) override;

private:
    KMRUDPCommConfig m_Config;
    KMRLogger m_UDPLogger;
};
