// KMRTCPTransmission: telegrams with one TCP client, one received block per telegram.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMRTCPCommConfig.h>
#include <KMRComm/KMRTCPSocketServer.h>
#include <KMRComm/KMRTransmission.h>

#include <KMRLogging/KMRLogger.h>

// Listens on the configured port, serves one client at a time and takes every block of
// bytes received from it as one telegram; telegrams are sent back over the same
// connection. Blocks are neither joined nor split.
// Thread safety: as KMRTransmission and KMRTCPSocketServer.
class KMRComm_API KMRTCPTransmission : public KMRTransmission, public KMRTCPSocketServer
{
public:
    KMRTCPTransmission(const KMRTCPCommConfig& config_i, IKMRReceiver* pReceiver_i, IKMRTelegramFactory* pFactory_i);
    ~KMRTCPTransmission() override;

    // Sends the telegram's bytes to the client, then LogTX; without a client, throws the
    // KMRCommException of KMRTCPSocket::Send.
    void Send(KMRAbstractTelegram* pTelegram_i) override;
    using KMRTCPSocketServer::Send;
    // Binds the port (a port in use throws KMRCommException) and starts the server.
    bool EstablishConnection() override;
    // Drops the current client; the server goes on listening.
    bool CloseConnection() override;
    // Stops the server thread first, so that nothing is received any more, then as the base.
    void UnInitialize() override;
    // Stops the reading thread, then destroys the object. Owners that delete the object
    // directly call UnInitialize (or CloseConnection) first.
    void Release() override;

protected:
    virtual void OnReceiveData(const unsigned char* pData_i, int iSize_i);
    void OnReceive(const KMRString& bytes_i) override;

private:
    KMRTCPCommConfig m_Config;
    KMRLogger m_TCPLogger;
};
