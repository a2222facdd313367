// KMRVirtualTransmission: sending does nothing, connecting always succeeds.
#include <KMRComm/KMRVirtualTransmission.h>

KMRVirtualTransmission::KMRVirtualTransmission(IKMRReceiver* pReceiver_i, IKMRTelegramFactory* pFactory_i)
    : KMRTransmission(pReceiver_i, pFactory_i)
{
}

KMRVirtualTransmission::~KMRVirtualTransmission() = default;

void KMRVirtualTransmission::Send(KMRAbstractTelegram*) {}

bool KMRVirtualTransmission::EstablishConnection()
{
    return true;
}

bool KMRVirtualTransmission::CloseConnection()
{
    return true;
}

void KMRVirtualTransmission::Release()
{
    delete this;
}

void KMRVirtualTransmission::OnReceiveData(const unsigned char*, int) {}
