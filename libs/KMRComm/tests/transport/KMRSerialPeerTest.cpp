// KMRSerialPeer: the listener thread hands port events to OnEvent and stops on request.
#include <KMRComm/KMRSerialPeer.h>

#include <KMRComm/KMREvent.h>

#include "PtyPair.h"

#include <gtest/gtest.h>

#include <functional>
#include <mutex>
#include <vector>

using kmrtest::PtyPair;

namespace
{
// Reads every byte on each event and records it.
class RecordingPeer : public KMRSerialPeer
{
public:
    ~RecordingPeer() override { Close(); }

    std::vector<unsigned char> WaitForBytes(size_t count_i)
    {
        for (;;)
        {
            {
                std::lock_guard<std::mutex> guard(m_Lock);
                if (m_Bytes.size() >= count_i)
                    return m_Bytes;
            }
            m_Arrived.Wait();
        }
    }
    int Events()
    {
        std::lock_guard<std::mutex> guard(m_Lock);
        return m_iEvents;
    }
    std::function<void()> m_OnEventHook;
    KMRManualResetEvent m_Started;

protected:
    int32_t OnServerStart() override
    {
        m_Started.Set();
        return 0;
    }
    void OnEvent(ESerialEvent eEvent_i, ESerialError) override
    {
        if (m_OnEventHook)
            m_OnEventHook();
        unsigned char buffer[64];
        uint32_t count = 0;
        Read(buffer, sizeof(buffer), &count, nullptr, INFINITE_WAIT);
        {
            std::lock_guard<std::mutex> guard(m_Lock);
            ++m_iEvents;
            EXPECT_EQ(EEventRecv, eEvent_i & EEventRecv);
            m_Bytes.insert(m_Bytes.end(), buffer, buffer + count);
        }
        m_Arrived.Set();
    }

private:
    std::mutex m_Lock;
    std::vector<unsigned char> m_Bytes;
    int m_iEvents = 0;
    KMRAutoResetEvent m_Arrived;
};
} // namespace

TEST(KMRSerialPeer, ListenerHandsReceivedBytesToOnEvent)
{
    PtyPair pty;
    RecordingPeer peer;
    ASSERT_EQ(0, peer.Open(pty.SlavePath(), 0, 0, true));
    EXPECT_TRUE(peer.IsListening());
    EXPECT_EQ(0, peer.StartListener()) << "a running listener is left alone";
    pty.Send({0x10, 0x20});
    pty.Send({0x30});
    EXPECT_EQ((std::vector<unsigned char>{0x10, 0x20, 0x30}), peer.WaitForBytes(3));
    EXPECT_EQ(0, peer.StopListener(KMRSerial::INFINITE_WAIT));
    EXPECT_FALSE(peer.IsListening());
    EXPECT_EQ(0, peer.Close());
}

TEST(KMRSerialPeer, EventsOutsideTheMaskCallNoOnEvent)
{
    PtyPair pty;
    RecordingPeer peer;
    ASSERT_EQ(0, peer.Open(pty.SlavePath(), 0, 0, false));
    ASSERT_EQ(0, peer.SetMask(KMRSerial::EEventBreak));
    ASSERT_EQ(0, peer.StartListener());
    peer.m_Started.Wait();
    pty.Send({1, 2, 3});
    // The listener is woken (by the new mask) while the bytes are waiting: they are
    // only reported once the mask asks for them.
    ASSERT_EQ(0, peer.SetMask(KMRSerial::EEventBreak));
    EXPECT_EQ(0, peer.StopListener(KMRSerial::INFINITE_WAIT));
    EXPECT_EQ(0, peer.Events());
    ASSERT_EQ(0, peer.SetMask(KMRSerial::DEFAULT_EVENT_MASK));
    ASSERT_EQ(0, peer.StartListener());
    EXPECT_EQ((std::vector<unsigned char>{1, 2, 3}), peer.WaitForBytes(3));
}

TEST(KMRSerialPeer, StopListenerTimeoutKeepsTheThreadUntilItCanBeStopped)
{
    PtyPair pty;
    RecordingPeer peer;
    KMRManualResetEvent inside;
    KMRManualResetEvent release;
    peer.m_OnEventHook = [&] {
        inside.Set();
        release.Wait();
    };
    ASSERT_EQ(0, peer.Open(pty.SlavePath(), 0, 0, true));
    pty.Send({7});
    inside.Wait();
    EXPECT_EQ(KMRSerial::ERROR_TIMEOUT, peer.StopListener(0));
    EXPECT_TRUE(peer.IsListening()) << "the listener is kept, not abandoned";
    EXPECT_TRUE(peer.IsOpen());
    release.Set();
    EXPECT_EQ(0, peer.Close()) << "Close waits for the listener before freeing the port";
    EXPECT_FALSE(peer.IsOpen());
    EXPECT_EQ((std::vector<unsigned char>{7}), peer.WaitForBytes(1));
}

TEST(KMRSerialPeer, ListenerEndsQuietlyWhenTheLineIsGone)
{
    PtyPair pty;
    RecordingPeer peer;
    ASSERT_EQ(0, peer.Open(pty.SlavePath(), 0, 0, true));
    peer.m_Started.Wait();
    pty.CloseMaster();
    EXPECT_EQ(0, peer.StopListener(KMRSerial::INFINITE_WAIT));
    EXPECT_EQ(0, peer.Events());
    EXPECT_EQ(0, peer.Close());
}
