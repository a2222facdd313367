// KMRSerialTransmission on a pseudo-terminal: reassembly, block reads, sending and set-up errors.
#include <KMRComm/KMRSerialTransmission.h>

#include <KMRComm/KMRCommException.h>

#include "FakeTelegram.h"
#include "LogCapture.h"
#include "PtyPair.h"

#include <gtest/gtest.h>

#include <sys/ioctl.h>

#include <thread>

using kmrtest::Bytes;
using kmrtest::FakeFactory;
using kmrtest::FakeTelegram;
using kmrtest::LogCapture;
using kmrtest::PtyPair;
using kmrtest::RecordingReceiver;

namespace
{
class ProbeSerialTransmission : public KMRSerialTransmission
{
public:
    using KMRSerialTransmission::KMRSerialTransmission;
    using KMRSerialTransmission::ProcessTelegram;
    // As the class asks of subclasses: no listener runs while the object is destroyed.
    ~ProbeSerialTransmission() override { KMRSerialPeer::Close(); }
    void Feed(const Bytes& bytes_i) { ProcessTelegram(bytes_i.data(), static_cast<int>(bytes_i.size())); }
};

Bytes Join(std::initializer_list<Bytes> parts_i)
{
    Bytes all;
    for (const auto& part : parts_i)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

class KMRSerialTransmissionTest : public ::testing::Test
{
protected:
    KMRSerialTransmissionTest()
    {
        m_Config.SetCOMPort(m_Pty.SlavePath());
        m_Config.SetBaudrate(KMRSerial::EBaud9600);
        m_pTransmission = Make();
    }
    void TearDown() override
    {
        m_pTransmission.reset();
        EXPECT_EQ(0, FakeTelegram::Live()) << "every telegram is released";
    }
    std::unique_ptr<ProbeSerialTransmission> Make()
    {
        return std::make_unique<ProbeSerialTransmission>(m_Config, &m_Receiver, &m_Factory);
    }
    PtyPair m_Pty;
    KMRSerialCommConfig m_Config;
    FakeFactory m_Factory;
    RecordingReceiver m_Receiver;
    std::unique_ptr<ProbeSerialTransmission> m_pTransmission;
};
} // namespace

TEST_F(KMRSerialTransmissionTest, ReassemblesTelegramsFromTheByteStream)
{
    LogCapture log("org.kelmar.comm.serialtransmission");
    const Bytes first = FakeTelegram::Frame({1, 2, 3, 4});
    const Bytes second = FakeTelegram::Frame({5});
    const Bytes refused = FakeTelegram::Frame({0xEE});

    // A telegram in three reads is complete only with the third.
    m_pTransmission->Feed(Bytes(first.begin(), first.begin() + 1));
    m_pTransmission->Feed(Bytes(first.begin() + 1, first.begin() + 4));
    EXPECT_EQ(1, FakeTelegram::Live()) << "only the split prototype exists";
    m_pTransmission->Feed(Bytes(first.begin() + 4, first.end()));
    // Garbage before a telegram is dropped; two telegrams in one block are two; a
    // telegram the factory refuses is logged and the next one still arrives.
    m_pTransmission->Feed(Join({{0x7F, 0x00}, second, second, refused, first}));
    EXPECT_EQ((std::vector<Bytes>{first, second, second, first}), m_Receiver.WaitFor(4));
    EXPECT_EQ(std::vector<std::string>{"ERROR The received stream is not a valid telegram!"}, log.Lines());
}

TEST_F(KMRSerialTransmissionTest, DeliversWhatArrivesOnTheLineAndWritesWhatIsSent)
{
    m_pTransmission->Initialize();
    EXPECT_EQ(KMRSerial::EBaud9600, m_pTransmission->GetBaudrate());
    const Bytes frame = FakeTelegram::Frame({0x42, 0x43});
    m_Pty.Send(Bytes(frame.begin(), frame.begin() + 2));
    m_Pty.Send(Bytes(frame.begin() + 2, frame.end()));
    EXPECT_EQ(std::vector<Bytes>{frame}, m_Receiver.WaitFor(1));

    FakeTelegram request(FakeTelegram::Frame({9}));
    m_pTransmission->Send(&request);
    m_pTransmission->Send(KMRString("\x01\x00\x02", 3));
    EXPECT_EQ((Bytes{0x02, 0x01, 0x09, 0x01, 0x00, 0x02}), m_Pty.Receive(6));
    m_pTransmission->UnInitialize();
    EXPECT_FALSE(m_pTransmission->IsOpen());
}

TEST_F(KMRSerialTransmissionTest, ReadsABufferedBlockIn511ByteSteps)
{
    LogCapture sniff("org.kelmar.comm.sniffer");
    m_pTransmission->Initialize();
    ASSERT_EQ(0, m_pTransmission->StopListener(KMRSerial::INFINITE_WAIT));
    std::vector<Bytes> frames;
    Bytes block;
    for (unsigned char i = 0; i < 12; ++i)
    {
        frames.push_back(FakeTelegram::Frame(Bytes(98, i)));
        block.insert(block.end(), frames.back().begin(), frames.back().end());
    }
    m_Pty.Send(block);
    // The pty moves the bytes to the port's input queue on its own worker: wait for all.
    for (int queued = 0; queued < 1200; std::this_thread::yield())
        ::ioctl(m_pTransmission->GetCommHandle(), FIONREAD, &queued);
    m_pTransmission->SetSniffCommunication(true);
    ASSERT_EQ(0, m_pTransmission->StartListener());
    EXPECT_EQ(frames, m_Receiver.WaitFor(12));
    m_pTransmission->UnInitialize();
    std::vector<size_t> reads;
    for (const auto& line : sniff.LinesStartingWith("INFO [RX] "))
        reads.push_back((line.size() - 10) / 3);
    EXPECT_EQ((std::vector<size_t>{511, 511, 178}), reads);
}

TEST_F(KMRSerialTransmissionTest, AMissingPortMakesInitializeThrow)
{
    m_Config.SetCOMPort("/dev/kmr-no-such-port");
    auto transmission = Make();
    try
    {
        transmission->Initialize();
        FAIL() << "no exception";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_STREQ("KMRSerialTransmission::EstablishConnection", e.GetWhereText());
        EXPECT_EQ(0, std::string(e.GetDetails()).rfind("Unable to open COM port: ", 0)) << e.GetDetails();
    }
}

TEST_F(KMRSerialTransmissionTest, SendOnAClosedPortIsSilentButAFailedWriteIsReported)
{
    FakeTelegram request(FakeTelegram::Frame({9}));
    EXPECT_NO_THROW(m_pTransmission->Send(&request));
    m_pTransmission->Initialize();
    m_pTransmission->CloseConnection();
    EXPECT_NO_THROW(m_pTransmission->Send(&request));

    auto transmission = Make();
    transmission->Initialize();
    m_Pty.CloseMaster();
    try
    {
        transmission->Send(&request);
        FAIL() << "no exception";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_STREQ("KMRSerialTransmission::Send", e.GetWhereText());
        EXPECT_EQ(0, std::string(e.GetDetails()).rfind("Unable to write to the COM port: ", 0)) << e.GetDetails();
    }
    transmission->UnInitialize();
}
