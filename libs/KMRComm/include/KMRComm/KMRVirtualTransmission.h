// KMRVirtualTransmission: a transmission without a line, for traffic produced in-process.
#pragma once

#include <KMRComm/KMRCommExport.h>
#include <KMRComm/KMRTransmission.h>

// The full transmission machinery (receiver, factory, delivery thread, sniffing, line
// in use) without a line: Send does nothing and connecting always succeeds. A subclass
// that simulates a peer overrides Send and hands its answers to AddReceiveTelegram,
// which delivers them on the delivery thread like any other transport.
// Thread safety: as KMRTransmission.
class KMRComm_API KMRVirtualTransmission : public KMRTransmission
{
public:
    KMRVirtualTransmission(IKMRReceiver* pReceiver_i, IKMRTelegramFactory* pFactory_i);
    ~KMRVirtualTransmission() override;

    // Slot 0: does nothing; the telegram stays the caller's.
    void Send(KMRAbstractTelegram* pTelegram_i) override;
    // Slots 7, 8: answer true.
    bool EstablishConnection() override;
    bool CloseConnection() override;
    // Slot 15: destroys the object.
    void Release() override;

protected:
    // Slot 16: raw bytes from elsewhere; does nothing here.
    virtual void OnReceiveData(const unsigned char* pData_i, int iSize_i);
};
