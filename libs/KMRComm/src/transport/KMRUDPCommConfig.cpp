// KMRUDPCommConfig: addresses from text, empty text meaning any address.
#include <KMRComm/KMRUDPCommConfig.h>

namespace
{
KMRSocket::KMRInternetAddress FromText(const std::string& strAddress_i, uint16_t usPort_i)
{
    if (strAddress_i.empty())
        return KMRSocket::KMRInternetAddress(usPort_i);
    return KMRSocket::KMRInternetAddress(strAddress_i.c_str(), usPort_i);
}
} // namespace

void KMRUDPCommConfig::SetListeningAddress(const std::string& strAddress_i, uint16_t usPort_i)
{
    m_ListeningAddress = FromText(strAddress_i, usPort_i);
}

void KMRUDPCommConfig::SetDestinationAddress(const std::string& strAddress_i, uint16_t usPort_i)
{
    m_DestinationAddress = FromText(strAddress_i, usPort_i);
}

bool KMRUDPCommConfig::Compare(const KMRUDPCommConfig& other_i) const
{
    return m_ListeningAddress == other_i.m_ListeningAddress && m_DestinationAddress == other_i.m_DestinationAddress;
}
