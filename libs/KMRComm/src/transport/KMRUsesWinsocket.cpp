// KMRUsesWinsocket: a live-object count standing in for socket library start-up.
#include <KMRComm/KMRUsesWinsocket.h>

#include <atomic>

namespace
{
std::atomic<int> g_iUsers{0};
} // namespace

KMRUsesWinsocket::KMRUsesWinsocket()
{
    ++g_iUsers;
}

KMRUsesWinsocket::KMRUsesWinsocket(const KMRUsesWinsocket&)
{
    ++g_iUsers;
}

KMRUsesWinsocket::~KMRUsesWinsocket()
{
    --g_iUsers;
}

int KMRUsesWinsocket::GetUsers()
{
    return g_iUsers.load();
}
