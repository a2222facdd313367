// KMRUDPTransmission and its socket peer on the loopback interface.
#include <KMRComm/KMRUDPTransmission.h>

#include <KMRComm/KMRCommException.h>
#include <KMRComm/KMRInternetAddress.h>
#include <KMRComm/KMRSocketPeer.h>

#include "FakeTelegram.h"
#include "LogCapture.h"
#include "UdpEndpoint.h"

#include <gtest/gtest.h>

#include <memory>

using kmrtest::Bytes;
using kmrtest::FakeFactory;
using kmrtest::FakeTelegram;
using kmrtest::LogCapture;
using kmrtest::RecordingReceiver;
using kmrtest::UdpEndpoint;

namespace
{
class KMRUDPTransmissionTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        if (m_pTransmission)
            m_pTransmission->UnInitialize();
        m_pTransmission.reset();
        EXPECT_EQ(0, FakeTelegram::Live()) << "every telegram is released";
    }
    void Start()
    {
        m_pTransmission = std::make_unique<KMRUDPTransmission>(m_Config, &m_Receiver, &m_Factory);
        m_pTransmission->Initialize();
        m_usPort = m_pTransmission->GetListeningAddress().GetPort();
    }
    UdpEndpoint m_Controller;
    KMRUDPCommConfig m_Config;
    FakeFactory m_Factory;
    RecordingReceiver m_Receiver;
    std::unique_ptr<KMRUDPTransmission> m_pTransmission;
    uint16_t m_usPort = 0;
};
} // namespace

TEST_F(KMRUDPTransmissionTest, ExchangesTelegramsWithAConfiguredDestination)
{
    m_Config.SetListeningAddress("127.0.0.1", 0);
    m_Config.SetDestinationAddress("127.0.0.1", m_Controller.Port());
    Start();
    ASSERT_NE(0, m_usPort);
    FakeTelegram request(FakeTelegram::Frame({1, 2}));
    m_pTransmission->Send(&request);
    m_pTransmission->Send(&request);
    EXPECT_EQ(FakeTelegram::Frame({1, 2}), m_Controller.Receive());
    EXPECT_EQ(FakeTelegram::Frame({1, 2}), m_Controller.Receive()) << "a destination gets every telegram";

    m_Controller.SendTo(m_usPort, FakeTelegram::Frame({3}));
    m_Controller.SendTo(m_usPort, FakeTelegram::Frame({4}));
    EXPECT_EQ((std::vector<Bytes>{FakeTelegram::Frame({3}), FakeTelegram::Frame({4})}), m_Receiver.WaitFor(2));
}

TEST_F(KMRUDPTransmissionTest, WithoutDestinationEachDatagramIsAnsweredAtMostOnce)
{
    LogCapture sniff("org.kelmar.comm.sniffer");
    m_Config.SetListeningAddress("127.0.0.1", 0);
    m_Config.SetSniff(true);
    Start();
    EXPECT_TRUE(m_pTransmission->GetSniffCommunication());
    FakeTelegram early(FakeTelegram::Frame({0x10}));
    m_pTransmission->Send(&early);
    EXPECT_EQ(std::vector<std::string>{"INFO [TX] 02 01 10 "}, sniff.Lines()) << "not sent, but logged";

    m_Controller.SendTo(m_usPort, FakeTelegram::Frame({0x20}));
    m_Receiver.WaitFor(1);
    FakeTelegram first(FakeTelegram::Frame({0x21}));
    FakeTelegram second(FakeTelegram::Frame({0x22}));
    m_pTransmission->Send(&first);
    m_pTransmission->Send(&second);
    m_Controller.SendTo(m_usPort, FakeTelegram::Frame({0x30}));
    m_Receiver.WaitFor(2);
    FakeTelegram third(FakeTelegram::Frame({0x31}));
    m_pTransmission->Send(&third);
    EXPECT_EQ(FakeTelegram::Frame({0x21}), m_Controller.Receive());
    EXPECT_EQ(FakeTelegram::Frame({0x31}), m_Controller.Receive()) << "the second answer was not sent";
    EXPECT_EQ("INFO [RX] 02 01 20 ", sniff.Lines().at(1));
}

TEST_F(KMRUDPTransmissionTest, OversizeAndInvalidDatagramsAreLoggedAndReceptionGoesOn)
{
    LogCapture peerLog("org.kelmar.comm.SOCKETPEER");
    LogCapture udpLog("org.kelmar.comm.udptransmission");
    m_Config.SetListeningAddress("127.0.0.1", 0);
    Start();
    m_Controller.SendTo(m_usPort, Bytes(9000, 0x02));
    m_Controller.SendTo(m_usPort, FakeTelegram::Frame({0xEE}));
    m_Controller.SendTo(m_usPort, FakeTelegram::Frame({5}));
    EXPECT_EQ(std::vector<Bytes>{FakeTelegram::Frame({5})}, m_Receiver.WaitFor(1));
    const auto errors = peerLog.LinesStartingWith("ERROR ");
    ASSERT_EQ(1u, errors.size());
    EXPECT_EQ(0u, errors[0].find("ERROR KMRCommException occurred in KMRSocketPeer. Details: iRecv: "));
    EXPECT_EQ(std::vector<std::string>{"WARN The telegram received via UDP wasn't valid."}, udpLog.Lines());
}

TEST_F(KMRUDPTransmissionTest, AListeningAddressThatCannotBeBoundMakesInitializeThrow)
{
    const int blocker = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(0, ::bind(blocker, reinterpret_cast<sockaddr*>(&address), sizeof(address)));
    socklen_t length = sizeof(address);
    ::getsockname(blocker, reinterpret_cast<sockaddr*>(&address), &length);

    for (const auto& listen : {std::pair<std::string, uint16_t>{"127.0.0.1", ntohs(address.sin_port)},
                               std::pair<std::string, uint16_t>{"192.0.2.1", 0}})
    {
        KMRUDPCommConfig config;
        config.SetListeningAddress(listen.first, listen.second);
        KMRUDPTransmission transmission(config, &m_Receiver, &m_Factory);
        EXPECT_THROW(transmission.Initialize(), KMRCommException) << listen.first;
        transmission.UnInitialize();
    }
    ::close(blocker);
}

TEST_F(KMRUDPTransmissionTest, AnEmptyListeningTextBindsAnyLocalAddress)
{
    m_Config.SetListeningAddress("", 0);
    EXPECT_EQ(0u, m_Config.GetListeningAddress().GetIPAddr());
    Start();
    EXPECT_EQ(0u, m_pTransmission->GetListeningAddress().GetIPAddr());
    m_Controller.SendTo(m_usPort, FakeTelegram::Frame({6}));
    EXPECT_EQ(std::vector<Bytes>{FakeTelegram::Frame({6})}, m_Receiver.WaitFor(1));
}

TEST(KMRUDPCommConfig, CompareLooksAtBothAddresses)
{
    KMRUDPCommConfig a;
    KMRUDPCommConfig b;
    a.SetListeningAddress("10.0.0.1", 4000);
    b.SetListeningAddress("10.0.0.1", 4000);
    EXPECT_TRUE(a.Compare(b));
    b.SetDestinationAddress("10.0.0.2", 4000);
    EXPECT_FALSE(a.Compare(b));
    EXPECT_THROW(a.SetDestinationAddress("10.0.0.300", 1), KMRException);
}

namespace
{
class CountingPeer : public KMRSocketPeer
{
public:
    ~CountingPeer() override { WaitForShutdownToComplete(); }
    std::atomic<int> m_iShutdownComplete{0};
    std::atomic<int> m_iStarted{0};
    using KMRSocketPeer::SendTo;

protected:
    void OnReceiveData(const unsigned char*, int32_t) override {}
    void OnShutdownComplete() override { ++m_iShutdownComplete; }
    void OnStartAcceptingConnections() override { ++m_iStarted; }
};
} // namespace

TEST(KMRSocketPeer, ShutdownWhileIdleEndsTheThread)
{
    CountingPeer peer;
    peer.Start();
    peer.WaitForShutdownToComplete();
    EXPECT_TRUE(peer.Wait(0));
    EXPECT_EQ(1, peer.m_iShutdownComplete.load());
}

TEST(KMRSocketPeer, StartAcceptingTwiceCreatesOneSocketAndSendingNeedsASocket)
{
    CountingPeer peer;
    const unsigned char byte = 0;
    try
    {
        peer.SendTo(KMRInternetAddress("127.0.0.1", 9), &byte, 1);
        FAIL() << "no exception";
    }
    catch (const KMRException& e)
    {
        EXPECT_STREQ("No socket initialized", e.GetDetails());
    }
    peer.StartAcceptingConnections(KMRInternetAddress("127.0.0.1", 0));
    const uint16_t port = peer.GetListeningAddress().GetPort();
    peer.StartAcceptingConnections();
    EXPECT_EQ(port, peer.GetListeningAddress().GetPort());
    EXPECT_EQ(1, peer.m_iStarted.load());
    peer.StopAcceptingConnections();
    EXPECT_EQ(0, peer.GetListeningAddress().GetPort());
}
