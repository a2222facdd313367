// KMRSerial on pseudo-terminals: opening, settings, reads and writes, and what a pty cannot do.
#include <KMRComm/KMRSerial.h>

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <sys/eventfd.h>

#include <cerrno>
#include <cstdlib>

using kmrtest::PtyPair;

namespace
{
class KMRSerialTest : public ::testing::Test
{
protected:
    void OpenPort(bool bOverlapped_i)
    {
        ASSERT_EQ(0, m_Port.Open(m_Pty.SlavePath(), 0, 0, bOverlapped_i));
    }
    PtyPair m_Pty;
    KMRSerial m_Port;
};
} // namespace

TEST_F(KMRSerialTest, OpenTwiceAnswers1247AndKeepsTheFirstOpening)
{
    OpenPort(false);
    EXPECT_EQ(KMRSerial::ERROR_ALREADY_INITIALIZED, m_Port.Open(m_Pty.SlavePath()));
    EXPECT_EQ(KMRSerial::ERROR_ALREADY_INITIALIZED, m_Port.GetLastError());
    EXPECT_EQ(KMRSerial::DEFAULT_EVENT_MASK, m_Port.GetEventMask());
    uint32_t written = 0;
    EXPECT_EQ(0, m_Port.Write("AB", &written));
    EXPECT_EQ(2u, written);
    EXPECT_EQ((std::vector<unsigned char>{'A', 'B'}), m_Pty.Receive(2));
}

TEST_F(KMRSerialTest, CheckPortTellsAvailableMissingAndInUse)
{
    EXPECT_EQ(KMRSerial::EPortAvailable, KMRSerial::CheckPort(m_Pty.SlavePath()));
    EXPECT_EQ(KMRSerial::EPortNotAvailable, KMRSerial::CheckPort("/dev/kmr-no-such-port"));
    OpenPort(false);
    EXPECT_EQ(KMRSerial::EPortInUse, KMRSerial::CheckPort(m_Pty.SlavePath()));
    KMRSerial second;
    EXPECT_EQ(EBUSY, second.Open(m_Pty.SlavePath()));
    EXPECT_FALSE(second.IsOpen());
    m_Port.Close();
    EXPECT_EQ(KMRSerial::EPortAvailable, KMRSerial::CheckPort(m_Pty.SlavePath()));
}

TEST_F(KMRSerialTest, ComPortNamesResolveThroughTheEnvironment)
{
    ::setenv("KMR_COM7", m_Pty.SlavePath(), 1);
    EXPECT_EQ(0, m_Port.Open("COM7"));
    m_Port.Close();
    EXPECT_EQ(0, m_Port.Open("\\\\.\\COM7"));
    ::unsetenv("KMR_COM7");
    KMRSerial other;
    EXPECT_EQ(KMRSerial::EPortNotAvailable, KMRSerial::CheckPort("COM250")) << "/dev/ttyS249 does not exist";
}

TEST_F(KMRSerialTest, ClosedPortAnswers6)
{
    char buffer[4];
    uint32_t count = 99;
    EXPECT_EQ(KMRSerial::ERROR_INVALID_HANDLE, m_Port.Read(buffer, sizeof(buffer), &count));
    EXPECT_EQ(0u, count);
    EXPECT_EQ(KMRSerial::ERROR_INVALID_HANDLE, m_Port.Write("x", &count));
    EXPECT_EQ(KMRSerial::ERROR_INVALID_HANDLE, m_Port.Setup());
    EXPECT_EQ(KMRSerial::ERROR_INVALID_HANDLE, m_Port.WaitEvent());
    EXPECT_EQ(KMRSerial::ERROR_INVALID_HANDLE, m_Port.Purge());
    EXPECT_EQ(0, m_Port.Close());
}

TEST_F(KMRSerialTest, PortWithoutOverlappedIoRefusesRecordsAndTimeouts)
{
    OpenPort(false);
    char buffer[4];
    uint32_t count = 99;
    EXPECT_EQ(KMRSerial::ERROR_INVALID_FUNCTION, m_Port.Read(buffer, sizeof(buffer), &count, nullptr, 1000));
    EXPECT_EQ(0u, count);
    KMRSerialOverlapped overlapped;
    EXPECT_EQ(KMRSerial::ERROR_INVALID_FUNCTION, m_Port.Write("x", &count, &overlapped));
    EXPECT_EQ(KMRSerial::ERROR_INVALID_FUNCTION, m_Port.WaitEvent(nullptr, 10));
}

TEST_F(KMRSerialTest, NonBlockingReadAnswersAtOnceWithWhatIsBuffered)
{
    OpenPort(false);
    char buffer[16];
    uint32_t count = 99;
    EXPECT_EQ(0, m_Port.Read(buffer, sizeof(buffer), &count));
    EXPECT_EQ(0u, count);

    m_Pty.Send({1, 2, 3});
    ASSERT_EQ(0, m_Port.WaitEvent());
    EXPECT_EQ(KMRSerial::EEventRecv, m_Port.GetEventType());
    EXPECT_EQ(KMRSerial::EEventNone, m_Port.GetEventType()) << "reading the bits clears them";
    EXPECT_EQ(0, m_Port.Read(buffer, sizeof(buffer), &count));
    EXPECT_EQ(3u, count);
}

TEST_F(KMRSerialTest, BlockingReadWaitsForAFullBufferAndKeepsPartialDataOnTimeout)
{
    OpenPort(true);
    ASSERT_EQ(0, m_Port.SetupReadTimeouts(KMRSerial::EReadTimeoutBlocking));
    m_Pty.Send({1, 2, 3, 4, 5});
    unsigned char buffer[5];
    uint32_t count = 0;
    EXPECT_EQ(0, m_Port.Read(buffer, 3, &count, nullptr, KMRSerial::INFINITE_WAIT));
    EXPECT_EQ(3u, count);
    EXPECT_EQ(KMRSerial::ERROR_TIMEOUT, m_Port.Read(buffer, 5, &count, nullptr, 0));
    EXPECT_EQ(2u, count) << "bytes read before the time-out are handed over, not lost";
    EXPECT_EQ(4, buffer[0]);
    EXPECT_EQ(5, buffer[1]);
}

TEST_F(KMRSerialTest, WaitEventTimesOutAndIsCompletedBySetMask)
{
    OpenPort(true);
    EXPECT_EQ(KMRSerial::ERROR_TIMEOUT, m_Port.WaitEvent(nullptr, 0));
    ASSERT_EQ(0, m_Port.SetMask(KMRSerial::EEventRecv));
    EXPECT_EQ(0, m_Port.WaitEvent(nullptr, KMRSerial::INFINITE_WAIT)) << "the new mask completes the wait";
    EXPECT_EQ(KMRSerial::EEventNone, m_Port.GetEventType());
}

TEST_F(KMRSerialTest, SetupAppliesEveryOfferedBitRate)
{
    OpenPort(true);
    const KMRSerial::ESerialBaudrate rates[] = {
        KMRSerial::EBaud1200,  KMRSerial::EBaud2400,  KMRSerial::EBaud4800,  KMRSerial::EBaud9600,
        KMRSerial::EBaud14400, KMRSerial::EBaud19200, KMRSerial::EBaud31250, KMRSerial::EBaud38400,
        KMRSerial::EBaud45450, KMRSerial::EBaud57600, KMRSerial::EBaud93750, KMRSerial::EBaud115200,
        KMRSerial::EBaud187500};
    for (const auto rate : rates)
    {
        EXPECT_EQ(0, m_Port.Setup(rate, KMRSerial::EData8, KMRSerial::EParNone, KMRSerial::EStop1)) << rate;
        EXPECT_EQ(rate, m_Port.GetBaudrate());
    }
    EXPECT_EQ(0, m_Port.Setup(KMRSerial::EBaud9600, KMRSerial::EData8, KMRSerial::EParNone, KMRSerial::EStop2));
    EXPECT_EQ(KMRSerial::EStop2, m_Port.GetStopBits());
    EXPECT_EQ(KMRSerial::EData8, m_Port.GetDataBits());
    EXPECT_EQ(KMRSerial::EParNone, m_Port.GetParity());
}

TEST_F(KMRSerialTest, SetupRefusesValuesOutsideTheirRangeAndChangesNothing)
{
    OpenPort(true);
    ASSERT_EQ(0, m_Port.Setup(KMRSerial::EBaud19200));
    struct Case
    {
        KMRSerial::ESerialBaudrate baud;
        int dataBits;
        int parity;
        int stopBits;
        int32_t expected;
    } cases[] = {
        {KMRSerial::EBaudUnknown, 8, 0, 0, KMRSerial::E_INVALIDARG},
        {KMRSerial::EBaud9600, 4, 0, 0, KMRSerial::E_INVALIDARG},
        {KMRSerial::EBaud9600, 9, 0, 0, KMRSerial::E_INVALIDARG},
        {KMRSerial::EBaud9600, 8, 5, 0, KMRSerial::E_INVALIDARG},
        {KMRSerial::EBaud9600, 8, 0, 3, KMRSerial::E_INVALIDARG},
        {KMRSerial::EBaud9600, 8, 0, 1, KMRSerial::ERROR_INVALID_PARAMETER},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(c.expected, m_Port.Setup(c.baud, static_cast<KMRSerial::ESerialDataBits>(c.dataBits),
                                           static_cast<KMRSerial::ESerialParity>(c.parity),
                                           static_cast<KMRSerial::ESerialStopBits>(c.stopBits)));
        EXPECT_EQ(KMRSerial::EBaud19200, m_Port.GetBaudrate());
    }
}

TEST_F(KMRSerialTest, HandshakesReadBackAndAnUnknownValueChangesNothing)
{
    OpenPort(true);
    for (const auto handshake : {KMRSerial::EHandshakeHardware, KMRSerial::EHandshakeSoftware, KMRSerial::EHandshakeOff})
    {
        EXPECT_EQ(0, m_Port.SetupHandshaking(handshake));
        EXPECT_EQ(handshake, m_Port.GetHandshaking());
    }
    ASSERT_EQ(0, m_Port.SetupHandshaking(KMRSerial::EHandshakeHardware));
    EXPECT_EQ(KMRSerial::E_INVALIDARG, m_Port.SetupHandshaking(static_cast<KMRSerial::ESerialHandshake>(5)));
    EXPECT_EQ(KMRSerial::EHandshakeHardware, m_Port.GetHandshaking());
}

TEST_F(KMRSerialTest, EventCharWithAdjustMaskAddsTheFlagToTheMask)
{
    OpenPort(true);
    EXPECT_EQ(0, m_Port.SetEventChar(0x03, true));
    EXPECT_EQ(0x00C3u, m_Port.GetEventMask());
    EXPECT_EQ(0x03, m_Port.GetEventChar());
    EXPECT_EQ(0, m_Port.SetEventChar(0x04, false));
    EXPECT_EQ(0x00C3u, m_Port.GetEventMask());
}

TEST_F(KMRSerialTest, WhatAPseudoTerminalCannotDoIsReportedAsNotSupported)
{
    OpenPort(true);
    EXPECT_EQ(KMRSerial::ERROR_NOT_SUPPORTED, m_Port.Setup(KMRSerial::EBaud9600, KMRSerial::EData8, KMRSerial::EParEven));
    EXPECT_EQ(KMRSerial::ERROR_NOT_SUPPORTED, m_Port.Setup(KMRSerial::EBaud9600, KMRSerial::EData7));
    EXPECT_EQ(KMRSerial::ERROR_NOT_SUPPORTED, m_Port.SetupHandshaking(KMRSerial::EHandshakeRTSToggle));
    EXPECT_EQ(KMRSerial::ERROR_NOT_SUPPORTED, m_Port.Break());
    using Line = bool (KMRSerial::*)();
    for (Line line : {&KMRSerial::GetCTS, &KMRSerial::GetDSR, &KMRSerial::GetRing, &KMRSerial::GetRLSD})
    {
        EXPECT_FALSE((m_Port.*line)());
        EXPECT_EQ(KMRSerial::ERROR_NOT_SUPPORTED, m_Port.GetLastError());
    }
    EXPECT_EQ(KMRSerial::EErrorNone, m_Port.GetError());
    EXPECT_EQ(KMRSerial::ERROR_NOT_SUPPORTED, m_Port.GetLastError());
}

TEST_F(KMRSerialTest, PurgeDiscardsReceivedBytes)
{
    OpenPort(true);
    m_Pty.Send({9, 9, 9});
    ASSERT_EQ(0, m_Port.WaitEvent());
    EXPECT_EQ(0, m_Port.Purge());
    char buffer[8];
    uint32_t count = 99;
    EXPECT_EQ(0, m_Port.Read(buffer, sizeof(buffer), &count));
    EXPECT_EQ(0u, count);
}

TEST_F(KMRSerialTest, WriteWithCallerRecordSignalsItsEvent)
{
    OpenPort(true);
    int event = ::eventfd(0, EFD_NONBLOCK);
    KMRSerialOverlapped overlapped;
    overlapped.hEvent = event;
    uint32_t written = 0;
    EXPECT_EQ(0, m_Port.Write("hello", &written, &overlapped, 1000));
    EXPECT_EQ(5u, written);
    uint64_t value = 0;
    EXPECT_EQ(static_cast<ssize_t>(sizeof(value)), ::read(event, &value, sizeof(value)));
    ::close(event);
    EXPECT_EQ((std::vector<unsigned char>{'h', 'e', 'l', 'l', 'o'}), m_Pty.Receive(5));
}
