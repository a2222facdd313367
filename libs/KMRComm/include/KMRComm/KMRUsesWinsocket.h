// KMRUsesWinsocket: keeps the socket library started while an object that needs it lives.
#pragma once

#include <KMRComm/KMRCommExport.h>

// Counts the objects that use sockets. BSD sockets need no start-up, so the count is
// kept only to mirror the lifetime rules of the original socket library.
// Thread safety: objects may be created and destroyed on any thread.
class KMRComm_API KMRUsesWinsocket
{
public:
    KMRUsesWinsocket();
    virtual ~KMRUsesWinsocket();
    KMRUsesWinsocket(const KMRUsesWinsocket&);
    KMRUsesWinsocket& operator=(const KMRUsesWinsocket&) = default;

    // The number of live objects.
    static int GetUsers();
};
