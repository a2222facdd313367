// KMRSerialTransmission: telegrams over one serial port, cut out of the byte stream.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMRSerialCommConfig.h>
#include <KMRComm/KMRSerialPeer.h>
#include <KMRComm/KMRTransmission.h>

#include <KMRBase/KMRString.h>
#include <KMRLogging/KMRLogger.h>

#include <vector>

// A transmission over a serial port: the peer's listener reads whatever arrives, the
// bytes are collected in a reassembly buffer, and complete telegrams are cut out with
// the factory's SplitTelegram and queued for delivery. There is no inter-character
// time-out: an incomplete telegram waits in the buffer for more bytes.
// Thread safety: Send may be called from any thread while the listener reads;
// OnEvent and ProcessTelegram run only on the listener thread.
class KMRComm_API KMRSerialTransmission : public KMRTransmission, public KMRSerialPeer
{
public:
    KMRSerialTransmission(const KMRSerialCommConfig& config_i, IKMRReceiver* pReceiver_i,
                          IKMRTelegramFactory* pFactory_i);
    ~KMRSerialTransmission() override;

    // Writes the telegram's bytes (after LogTX). Throws KMRCommException "Unable to write
    // to the COM port" when the write fails on an open port; on a closed port nothing is
    // written and nothing reported.
    void Send(KMRAbstractTelegram* pTelegram_i) override;
    // Slot 17: the same for a raw byte string.
    virtual void Send(const KMRString& bytes_i);

    // Opens the configured port, sets it up and starts the listener. Each failing step
    // throws KMRCommException "Unable to open COM port: ...", "Unable to setup the COM
    // port: ..." or "Unable to start the listener for the COM port: ..."; a port that
    // opened stays open when a later step fails.
    bool EstablishConnection() override;
    // Closes the port (stopping the listener); false only when that fails.
    bool CloseConnection() override;
    // Stops the reading thread, then destroys the object. Owners that delete the object
    // directly call UnInitialize (or CloseConnection) first.
    void Release() override;

    const KMRSerialCommConfig& GetConfig() const { return m_Config; }

protected:
    // Slot 16: appends the bytes to the reassembly buffer and queues every complete telegram.
    virtual void ProcessTelegram(const unsigned char* pData_i, int iSize_i);
    // Reads in blocks of READ_BLOCK bytes while a block comes back full.
    void OnEvent(ESerialEvent eEvent_i, ESerialError eError_i) override;

    static constexpr int READ_BLOCK = 511;

private:
    void _Write(const unsigned char* pData_i, size_t iSize_i);
    [[noreturn]] void _Throw(const char* step_i, int32_t error_i);

    KMRLogger m_SerialLogger;
    KMRSerialCommConfig m_Config;
    std::vector<unsigned char> m_ReceiveBuffer;
};
