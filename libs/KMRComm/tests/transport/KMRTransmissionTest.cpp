// The transmission base: delivery on its own thread in order, failures in receivers,
// sniff logging, line-in-use signal and connection set-up errors.
#include <KMRComm/KMRTransmission.h>

#include <KMRComm/KMRCommException.h>
#include <KMRComm/KMRDeliveryThread.h>
#include <KMRComm/KMRProtocolProcessor.h>
#include <KMRComm/KMRSETranslator.h>
#include <KMRComm/KMRVirtualTransmission.h>

#include <KMRBase/KMRWin32Exception.h>

#include "FakeTelegram.h"
#include "LogCapture.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <memory>
#include <thread>

using kmrtest::Bytes;
using kmrtest::FakeFactory;
using kmrtest::FakeTelegram;
using kmrtest::LogCapture;
using kmrtest::RecordingReceiver;

namespace
{
// Exposes the protected logging and lets a test decide what connecting does.
class ProbeTransmission : public KMRVirtualTransmission
{
public:
    using KMRVirtualTransmission::KMRVirtualTransmission;
    using KMRTransmission::LogRX;
    using KMRTransmission::LogTX;
    bool EstablishConnection() override
    {
        if (m_Establish)
            m_Establish();
        return true;
    }
    std::function<void()> m_Establish;
};

class KMRTransmissionTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        m_pTransmission.reset();
        EXPECT_EQ(0, FakeTelegram::Live()) << "every telegram is released";
    }
    FakeFactory m_Factory;
    RecordingReceiver m_Receiver;
    std::unique_ptr<ProbeTransmission> m_pTransmission = std::make_unique<ProbeTransmission>(&m_Receiver, &m_Factory);
};

FakeTelegram* Telegram(const Bytes& payload_i)
{
    return new FakeTelegram(FakeTelegram::Frame(payload_i));
}
} // namespace

TEST_F(KMRTransmissionTest, TelegramsAreDeliveredInOrderOnTheDeliveryThread)
{
    KMRManualResetEvent gate;
    m_Receiver.m_Hook = [&](KMRAbstractTelegram*) { gate.Wait(); };
    m_pTransmission->Initialize();
    m_pTransmission->AddReceiveTelegram(Telegram({1}));
    // The first delivery is held; the next two queue up behind it.
    m_pTransmission->AddReceiveTelegram(Telegram({2}));
    m_pTransmission->AddReceiveTelegram(Telegram({3}));
    gate.Set();
    const auto received = m_Receiver.WaitFor(3);
    EXPECT_EQ((std::vector<Bytes>{FakeTelegram::Frame({1}), FakeTelegram::Frame({2}), FakeTelegram::Frame({3})}),
              received);
    for (const auto& id : m_Receiver.Threads())
        EXPECT_NE(std::this_thread::get_id(), id);
    m_pTransmission->UnInitialize();
}

TEST_F(KMRTransmissionTest, AReceiverThatThrowsStillGetsTheNextTelegram)
{
    LogCapture log("org.kelmar.comm.telegramsupplier");
    m_Receiver.m_Hook = [](KMRAbstractTelegram* pTelegram_i) {
        if (pTelegram_i->GetTelegramStream()[2] == 1)
            KMR_THROW(KMR_EXC_DATA, "Receiver::OnReceive", "cannot use it");
    };
    m_pTransmission->AddReceiveTelegram(Telegram({1}));
    m_pTransmission->AddReceiveTelegram(nullptr);
    m_pTransmission->AddReceiveTelegram(Telegram({2}));
    EXPECT_EQ(std::vector<Bytes>{FakeTelegram::Frame({2})}, m_Receiver.WaitFor(1));
    m_pTransmission->UnInitialize();
    const auto fatal = log.LinesStartingWith("FATAL ");
    ASSERT_EQ(1u, fatal.size());
    EXPECT_EQ("FATAL Exception occurred when delivering a telegram. Error message: cannot use it Telegram: 02 01 01  "
              "->KMRException",
              fatal[0]);
    EXPECT_EQ(std::vector<std::string>{"ERROR KMRDeliveryThread::Run: pTelegram is NULL"}, log.LinesStartingWith("ERROR "));
}

TEST_F(KMRTransmissionTest, AProcessorFaultInAReceiverIsLoggedAndDeliveryGoesOn)
{
    LogCapture log("org.kelmar.comm.telegramsupplier");
    m_Receiver.m_Hook = [](KMRAbstractTelegram* pTelegram_i) {
        if (pTelegram_i->GetTelegramStream()[2] == 1)
        {
            KMRExceptionRecord record;
            record.ExceptionCode = 0xC0000094u;
            KMRExceptionPointers pointers;
            pointers.ExceptionRecord = &record;
            KMRSETranslator::translator(record.ExceptionCode, &pointers);
        }
    };
    m_pTransmission->AddReceiveTelegram(Telegram({1}));
    m_pTransmission->AddReceiveTelegram(Telegram({2}));
    EXPECT_EQ(std::vector<Bytes>{FakeTelegram::Frame({2})}, m_Receiver.WaitFor(1));
    m_pTransmission->UnInitialize();
    const auto fatal = log.LinesStartingWith("FATAL ");
    ASSERT_EQ(1u, fatal.size());
    EXPECT_EQ("FATAL Exception occurred when delivering a telegram. Exception code: c0000094, Exception address: "
              "00000000, Telegram: 02 01 01 ",
              fatal[0]);
}

TEST_F(KMRTransmissionTest, AStoppedDeliveryThreadReleasesQueuedTelegramsWithoutDeliveringThem)
{
    KMRManualResetEvent inside;
    KMRManualResetEvent gate;
    m_Receiver.m_Hook = [&](KMRAbstractTelegram*) {
        inside.Set();
        gate.Wait();
    };
    {
        KMRTransmission::KMRDeliveryThread thread(m_pTransmission.get());
        thread.Start();
        thread.Add(Telegram({1}));
        inside.Wait();
        thread.Add(Telegram({2}));
        thread.Add(Telegram({3}));
        thread.RequestStop();
        gate.Set();
        thread.Stop();
        EXPECT_EQ(1u, m_Receiver.Received().size());
    }
    EXPECT_EQ(0, FakeTelegram::Live() - 1) << "only the split prototype is left";
}

TEST_F(KMRTransmissionTest, ATelegramAfterUnInitializeIsReleased)
{
    m_pTransmission->UnInitialize();
    // The reader may still hand in telegrams: with nowhere to go they are released.
    m_pTransmission->AddReceiveTelegram(Telegram({4}));
    m_pTransmission->UnInitialize();
    EXPECT_TRUE(m_Receiver.Received().empty());
    EXPECT_EQ(1, FakeTelegram::Live());
}

TEST_F(KMRTransmissionTest, AReaderRacingUnInitializeNeitherCrashesNorLeaks)
{
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        while (!stop)
            m_pTransmission->AddReceiveTelegram(Telegram({5}));
    });
    m_Receiver.WaitFor(1);
    m_pTransmission->UnInitialize();
    stop = true;
    reader.join();
}

TEST_F(KMRTransmissionTest, SniffLinesShowTheBytesInHexOnlyWhenSniffingIsOn)
{
    LogCapture log("org.kelmar.comm.sniffer");
    const unsigned char bytes[] = {0x5A, 0xA5};
    m_pTransmission->LogTX(bytes, 2);
    EXPECT_TRUE(log.Lines().empty());
    EXPECT_FALSE(m_pTransmission->GetSniffCommunication());
    m_pTransmission->SetSniffCommunication(true);
    m_pTransmission->LogTX(bytes, 2);
    m_pTransmission->LogRX(bytes, 2);
    FakeTelegram telegram(FakeTelegram::Frame({0x11}));
    m_pTransmission->LogTX(&telegram);
    EXPECT_EQ((std::vector<std::string>{"INFO [TX] 5A A5 ", "INFO [RX] 5A A5 ", "INFO [TX] 02 01 11 "}), log.Lines());
}

TEST_F(KMRTransmissionTest, ALongSniffLineIsCutAt2047Characters)
{
    LogCapture log("org.kelmar.comm.sniffer");
    m_pTransmission->SetSniffCommunication(true);
    const std::vector<unsigned char> block(1000, 0xAB);
    m_pTransmission->LogRX(block.data(), static_cast<int>(block.size()));
    ASSERT_EQ(1u, log.Lines().size());
    const std::string line = log.Lines()[0].substr(5);
    EXPECT_EQ(2047u, line.size());
    EXPECT_EQ("[RX] AB AB ", line.substr(0, 11));
}

TEST_F(KMRTransmissionTest, LineInUseStartsInUseUntilReset)
{
    EXPECT_FALSE(m_pTransmission->WaitWhileCommunicationLineInUse(0));
    m_pTransmission->ResetCommunicationLineInUse();
    EXPECT_TRUE(m_pTransmission->WaitWhileCommunicationLineInUse(0));
    m_pTransmission->SetCommunicationLineInUse();
    EXPECT_FALSE(m_pTransmission->WaitWhileCommunicationLineInUse(0));
}

TEST_F(KMRTransmissionTest, InitializeTurnsSystemErrorsIntoCommunicationExceptions)
{
    m_pTransmission->m_Establish = [] { throw KMRWin32Exception("Probe::Connect", ENOENT); };
    try
    {
        m_pTransmission->Initialize();
        FAIL() << "no exception";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_STREQ("KMRTransmission::Initialize", e.GetWhereText());
        EXPECT_EQ(0, std::string(e.GetDetails()).rfind("Unable to establish connection due to the following reason: ", 0))
            << e.GetDetails();
    }
    m_pTransmission->m_Establish = [] { KMR_THROW(KMR_EXC_DATA, "Probe::Connect", "other"); };
    try
    {
        m_pTransmission->Initialize();
        FAIL() << "no exception";
    }
    catch (const KMRCommException&)
    {
        FAIL() << "other exceptions pass unchanged";
    }
    catch (const KMRException& e)
    {
        EXPECT_STREQ("Probe::Connect", e.GetWhereText());
    }
}

TEST(KMRVirtualTransmission, SendDeliversNothingAndConnectingAlwaysSucceeds)
{
    FakeFactory factory;
    RecordingReceiver receiver;
    auto* transmission = new KMRVirtualTransmission(&receiver, &factory);
    EXPECT_NO_THROW(transmission->Initialize());
    FakeTelegram telegram(FakeTelegram::Frame({1}));
    transmission->Send(&telegram);
    transmission->AddReceiveTelegram(new FakeTelegram(FakeTelegram::Frame({2})));
    EXPECT_EQ(std::vector<Bytes>{FakeTelegram::Frame({2})}, receiver.WaitFor(1));
    EXPECT_NO_THROW(transmission->UnInitialize());
    transmission->Release();
    EXPECT_EQ(1u, receiver.Received().size());
}
