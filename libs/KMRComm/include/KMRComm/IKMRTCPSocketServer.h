// IKMRTCPSocketServer: sending to the client of a TCP server.
#pragma once

#include <KMRComm/KMRCommExport.h>

#include <KMRBase/KMRString.h>

class KMRComm_API IKMRTCPSocketServer
{
public:
    // Slot 0: sends the bytes to the connected client.
    virtual void Send(const KMRString& bytes_i) = 0;
    virtual ~IKMRTCPSocketServer() = default;
};
