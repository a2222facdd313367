// Events: auto-reset releases one waiter, manual-reset stays set, waits on several.
#include <KMRComm/KMREvent.h>

#include <KMRBase/KMRException.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

TEST(KMREvent, AutoResetEventReleasesExactlyOneOfTwoWaiters)
{
    KMRAutoResetEvent event;
    KMRAutoResetEvent done;
    std::atomic<int> released{0};
    auto waiter = [&] {
        if (event.Wait(KMREvent::INFINITE_WAIT))
            ++released;
        done.Set();
    };
    std::thread first(waiter);
    std::thread second(waiter);
    event.Set();
    done.Wait();
    EXPECT_EQ(1, released.load());
    EXPECT_FALSE(event.Wait(0)) << "the event fell back to unsignalled";
    event.Set();
    first.join();
    second.join();
    EXPECT_EQ(2, released.load());
}

TEST(KMREvent, ManualResetEventReleasesAllWaitersAndStaysSet)
{
    KMRManualResetEvent event;
    std::thread first([&] { event.Wait(); });
    std::thread second([&] { event.Wait(); });
    event.Set();
    first.join();
    second.join();
    EXPECT_TRUE(event.Wait(0));
    event.Reset();
    EXPECT_FALSE(event.Wait(0));
}

TEST(KMREvent, InitialStateAndRepeatedSetsCountOnce)
{
    KMRAutoResetEvent set(true);
    EXPECT_TRUE(set.Wait(0));
    EXPECT_FALSE(set.Wait(0));

    KMRAutoResetEvent twice;
    twice.Set();
    twice.Set();
    EXPECT_TRUE(twice.Wait(0));
    EXPECT_FALSE(twice.Wait(0)) << "an auto-reset event is a state, not a counter";

    KMRManualResetEvent manual(true);
    EXPECT_TRUE(manual.Wait(0));
    EXPECT_TRUE(manual.Wait(0));
}

TEST(KMREvent, PulseLeavesTheEventUnsignalled)
{
    KMRManualResetEvent manual;
    manual.Pulse();
    EXPECT_FALSE(manual.Wait(0));
    KMRAutoResetEvent automatic;
    automatic.Pulse();
    EXPECT_FALSE(automatic.Wait(0));
}

TEST(KMREvent, WaitForAnyAnswersTheSignalledEventAndConsumesOnlyAutoReset)
{
    KMRManualResetEvent stop;
    KMRAutoResetEvent work;
    EXPECT_EQ(-1, KMREvent::WaitForAny({&stop, &work}, 0));
    work.Set();
    EXPECT_EQ(1, KMREvent::WaitForAny({&stop, &work}, KMREvent::INFINITE_WAIT));
    EXPECT_EQ(-1, KMREvent::WaitForAny({&stop, &work}, 0));
    stop.Set();
    EXPECT_EQ(0, KMREvent::WaitForAny({&stop, &work}, 0));
    EXPECT_EQ(0, KMREvent::WaitForAny({&stop, &work}, 0)) << "manual-reset stays set";
}

TEST(KMREvent, NamedEventsOfOneNameAreOneEvent)
{
    KMRManualResetEvent first("kmr.test.named.event");
    KMRManualResetEvent second("kmr.test.named.event");
    KMRManualResetEvent other("kmr.test.other.event");
    first.Set();
    EXPECT_TRUE(second.Wait(0));
    EXPECT_FALSE(other.Wait(0));
    second.Reset();
    EXPECT_FALSE(first.Wait(0));
}
