// The recursive lock and its guards.
#include <KMRBase/KMRCriticalSection.h>

#include <gtest/gtest.h>

#include <future>
#include <thread>

TEST(KMRCriticalSection, IsRecursive)
{
    KMRCriticalSection section;
    KMRCriticalSection::Owner outer(section);
    KMRCriticalSection::OwnerTry inner(section);
    EXPECT_TRUE(inner.IsOwned());
    EXPECT_TRUE(section.IsEntered());
}

TEST(KMRCriticalSection, OwnerTryOnAHeldSectionLeavesTheOwnerAlone)
{
    KMRCriticalSection section;
    std::promise<void> held;
    std::promise<void> release;
    std::thread holder([&] {
        KMRCriticalSection::Owner owner(section);
        held.set_value();
        release.get_future().wait();
    });
    held.get_future().wait();
    {
        KMRCriticalSection::OwnerTry attempt(section);
        EXPECT_FALSE(attempt.IsOwned());
    }
    // The failed guard must not have left the holder's section: still locked.
    EXPECT_FALSE(section.TryEnterFor(std::chrono::milliseconds(1)));
    release.set_value();
    holder.join();
    EXPECT_TRUE(section.TryEnter());
    section.Leave();
}

TEST(KMRCriticalSection, GuardsACounter)
{
    KMRCriticalSection section;
    long counter = 0;
    auto work = [&] {
        for (int i = 0; i < 100000; ++i)
        {
            KMRCriticalSection::Owner owner(section);
            ++counter;
        }
    };
    std::thread a(work);
    std::thread b(work);
    a.join();
    b.join();
    EXPECT_EQ(200000, counter);
}
