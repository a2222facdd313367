// KMRTCPTransmission and its server on the loopback interface.
#include <KMRComm/KMRTCPTransmission.h>

#include <KMRComm/KMRCommException.h>

#include "FakeTelegram.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

using kmrtest::Bytes;
using kmrtest::FakeFactory;
using kmrtest::FakeTelegram;
using kmrtest::LogCapture;
using kmrtest::RecordingReceiver;

namespace
{
// A plain TCP client on the loopback address.
class Client
{
public:
    explicit Client(uint16_t usPort_i)
    {
        m_iSocket = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(usPort_i);
        m_bConnected = ::connect(m_iSocket, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
        m_iError = m_bConnected ? 0 : errno;
    }
    ~Client() { Close(); }
    bool Connected() const { return m_bConnected; }
    int Error() const { return m_iError; }
    void Send(const Bytes& bytes_i) const { ::send(m_iSocket, bytes_i.data(), bytes_i.size(), MSG_NOSIGNAL); }
    Bytes Receive(size_t count_i) const
    {
        Bytes bytes(count_i);
        size_t done = 0;
        while (done < count_i)
        {
            const ssize_t n = ::recv(m_iSocket, bytes.data() + done, count_i - done, 0);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        bytes.resize(done);
        return bytes;
    }
    void Reset()
    {
        const linger abortive{1, 0};
        ::setsockopt(m_iSocket, SOL_SOCKET, SO_LINGER, &abortive, sizeof(abortive));
        Close();
    }
    void Close()
    {
        if (m_iSocket >= 0)
            ::close(m_iSocket);
        m_iSocket = -1;
    }

private:
    int m_iSocket = -1;
    bool m_bConnected = false;
    int m_iError = 0;
};

class KMRTCPTransmissionTest : public ::testing::Test
{
protected:
    KMRTCPTransmissionTest()
    {
        m_pTransmission = std::make_unique<KMRTCPTransmission>(m_Config, &m_Receiver, &m_Factory);
        m_pTransmission->Initialize();
        m_usPort = m_pTransmission->GetListeningPort();
    }
    void TearDown() override
    {
        m_pTransmission->UnInitialize();
        m_pTransmission.reset();
        EXPECT_EQ(0, FakeTelegram::Live()) << "every telegram is released";
    }
    LogCapture m_ServerLog{"org.kelmar.controller.tcpsocketserver"};
    LogCapture m_TransmissionLog{"org.kelmar.comm.tcptransmission"};
    KMRTCPCommConfig m_Config;
    FakeFactory m_Factory;
    RecordingReceiver m_Receiver;
    std::unique_ptr<KMRTCPTransmission> m_pTransmission;
    uint16_t m_usPort = 0;
};

const char* const ESTABLISHED = "INFO KMRTCPSocketServer connection has been established with: ";
const char* const LISTENING = "INFO Listen for incomming connection in KMRTCPSocketServer";
} // namespace

TEST_F(KMRTCPTransmissionTest, ExchangesTelegramsWithOneClient)
{
    ASSERT_NE(0, m_usPort);
    FakeTelegram answer(FakeTelegram::Frame({7, 8}));
    EXPECT_THROW(m_pTransmission->Send(&answer), KMRCommException) << "no client yet";

    Client client(m_usPort);
    ASSERT_TRUE(client.Connected());
    m_ServerLog.WaitFor(ESTABLISHED);
    EXPECT_NE(std::string::npos, m_ServerLog.LinesStartingWith(ESTABLISHED)[0].find("100007f:"));
    client.Send(FakeTelegram::Frame({1}));
    EXPECT_EQ(std::vector<Bytes>{FakeTelegram::Frame({1})}, m_Receiver.WaitFor(1));
    m_pTransmission->Send(&answer);
    EXPECT_EQ(FakeTelegram::Frame({7, 8}), client.Receive(4));
}

TEST_F(KMRTCPTransmissionTest, ASecondClientIsRefusedUntilTheFirstHasGone)
{
    auto first = std::make_unique<Client>(m_usPort);
    ASSERT_TRUE(first->Connected());
    m_ServerLog.WaitFor(ESTABLISHED);
    Client refused(m_usPort);
    EXPECT_FALSE(refused.Connected());
    EXPECT_EQ(ECONNREFUSED, refused.Error());

    first.reset();
    m_ServerLog.WaitFor("INFO KMRTCPSocketServer connection has been gracefully closed");
    m_ServerLog.WaitFor(LISTENING, 2);
    Client second(m_usPort);
    ASSERT_TRUE(second.Connected()) << "the same port listens again";
    second.Send(FakeTelegram::Frame({2}));
    EXPECT_EQ(std::vector<Bytes>{FakeTelegram::Frame({2})}, m_Receiver.WaitFor(1));
}

TEST_F(KMRTCPTransmissionTest, EveryReceivedBlockIsOneTelegram)
{
    Client client(m_usPort);
    m_ServerLog.WaitFor(ESTABLISHED);
    const Bytes frame = FakeTelegram::Frame({1, 2, 3});
    client.Send(Bytes(frame.begin(), frame.begin() + 2));
    m_TransmissionLog.WaitFor("WARN The telegram received via TCP wasn't valid.", 1);
    client.Send(Bytes(frame.begin() + 2, frame.end()));
    m_TransmissionLog.WaitFor("WARN The telegram received via TCP wasn't valid.", 2);
    EXPECT_TRUE(m_Receiver.Received().empty());
}

TEST_F(KMRTCPTransmissionTest, AResetConnectionIsLoggedAndTheServerListensAgain)
{
    auto client = std::make_unique<Client>(m_usPort);
    m_ServerLog.WaitFor(ESTABLISHED);
    client->Reset();
    m_ServerLog.WaitFor("ERROR KMRCommException in KMRTCPSocketServer. Error:");
    EXPECT_EQ(std::vector<std::string>{"ERROR KMRCommException in KMRTCPSocketServer. Error:10054"},
              m_ServerLog.LinesStartingWith("ERROR "));
    m_ServerLog.WaitFor(LISTENING, 2);
    Client again(m_usPort);
    EXPECT_TRUE(again.Connected());
}

TEST_F(KMRTCPTransmissionTest, CloseConnectionDropsTheClientAndKeepsListening)
{
    Client client(m_usPort);
    m_ServerLog.WaitFor(ESTABLISHED);
    EXPECT_TRUE(m_pTransmission->CloseConnection());
    EXPECT_TRUE(client.Receive(1).empty()) << "the client sees the connection end";
    m_ServerLog.WaitFor(LISTENING, 2);
    Client next(m_usPort);
    EXPECT_TRUE(next.Connected());
}

TEST(KMRTCPTransmission, APortInUseMakesInitializeThrowInsteadOfEndingTheProcess)
{
    FakeFactory factory;
    RecordingReceiver receiver;
    KMRTCPCommConfig config;
    KMRTCPTransmission first(config, &receiver, &factory);
    first.Initialize();
    config.SetPort(first.GetListeningPort());
    KMRTCPTransmission second(config, &receiver, &factory);
    try
    {
        second.Initialize();
        FAIL() << "no exception";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_EQ(10048u, e.GetErrorCode());
        EXPECT_STREQ("KMRSocket::Bind", e.GetWhereText());
    }
    second.UnInitialize();
    first.UnInitialize();
}
