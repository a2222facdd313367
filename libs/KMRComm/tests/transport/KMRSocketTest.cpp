// KMRSocket and KMRInternetAddress: address conversions and the socket error numbers.
#include <KMRComm/KMRSocket.h>

#include <KMRComm/KMRCommException.h>
#include <KMRComm/KMRInternetAddress.h>

#include "UdpEndpoint.h"

#include <gtest/gtest.h>

#include <vector>

TEST(KMRInternetAddress, DottedTextAndPortReadBackInHostOrder)
{
    const KMRInternetAddress address("10.1.2.3", 502);
    EXPECT_EQ(502, address.GetPort());
    EXPECT_EQ(167838211u, address.GetIPAddr());
    EXPECT_EQ(16, KMRInternetAddress::GetSize());
    EXPECT_EQ(16u, sizeof(KMRInternetAddress));
    EXPECT_EQ(0u, KMRInternetAddress(7).GetIPAddr());
    KMRInternetAddress cleared(address);
    cleared.Clear();
    EXPECT_EQ(0, cleared.GetPort());
    EXPECT_EQ(0, cleared.sin_family);
}

TEST(KMRInternetAddress, TextThatIsNotADottedAddressIsRefused)
{
    for (const char* text : {"10.1.2.256", "255.255.255.255", "host.example", "", "1.2.3"})
    {
        try
        {
            KMRInternetAddress::ConvertIPAddress(text);
            ADD_FAILURE() << "accepted " << text;
        }
        catch (const KMRException& e)
        {
            EXPECT_STREQ("Cannot convert IP Address", e.GetDetails()) << text;
            EXPECT_STREQ("KMRSocket::KMRInternetAddress::GetIPAddress() - inet_addr", e.GetWhereText());
        }
    }
}

TEST(KMRSocket, AnInvalidHandleIsRefused)
{
    try
    {
        KMRSocket socket(-1);
        FAIL() << "no exception";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_STREQ("Invalid socket", e.GetDetails());
        EXPECT_STREQ("Socket", e.GetUserTitle());
    }
}

TEST(KMRSocket, BindingATakenPortThrowsWithTheSocketErrorNumber)
{
    kmrtest::UdpEndpoint taken;
    KMRSocket socket(::socket(AF_INET, SOCK_DGRAM, 0));
    try
    {
        socket.Bind(KMRInternetAddress("127.0.0.1", taken.Port()));
        FAIL() << "no exception";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_EQ(10048u, e.GetErrorCode());
        EXPECT_STREQ("KMRSocket::Bind", e.GetWhereText());
        EXPECT_EQ(0, std::string(e.GetDetails()).rfind("::bind(m_Socket, reinterpret_cast", 0));
    }
}

TEST(KMRSocket, ADatagramLongerThanTheBufferIsRefusedAndTheNextOneArrives)
{
    KMRSocket socket(::socket(AF_INET, SOCK_DGRAM, 0));
    socket.Bind(KMRInternetAddress("127.0.0.1", 0));
    KMRInternetAddress local;
    socket.GetSocketAddress(local);
    kmrtest::UdpEndpoint sender;
    sender.SendTo(local.GetPort(), std::vector<unsigned char>(9000, 1));
    sender.SendTo(local.GetPort(), {1, 2, 3});
    std::vector<unsigned char> buffer(8192);
    try
    {
        socket.ReceiveFrom(buffer.data(), buffer.size());
        FAIL() << "no exception";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_EQ(10040u, e.GetErrorCode());
        EXPECT_STREQ("KMRSocket::ReceiveFrom", e.GetWhereText());
    }
    KMRInternetAddress from;
    EXPECT_EQ(3, socket.ReceiveFrom(buffer.data(), buffer.size(), from));
    EXPECT_EQ(sender.Port(), from.GetPort());
    EXPECT_EQ(0x7F000001u, from.GetIPAddr());
}
