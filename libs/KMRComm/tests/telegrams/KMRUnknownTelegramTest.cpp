// Unknown telegrams: every chunk of bytes is one telegram, passed on uninterpreted.
#include <KMRComm/KMRUnknownTelegram.h>

#include <KMRBase/KMRException.h>
#include <KMRComm/KMRUnknownTelegramFactory.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

TEST(KMRUnknownTelegramTest, WholeInputIsOneTelegram)
{
    const Bytes chunk(17, 0x5A);
    KMRUnknownTelegram prototype;
    unsigned int consumed = 99;
    EXPECT_EQ(prototype.SplitTelegram(chunk.data(), 17, consumed), ETelegramComplete);
    EXPECT_EQ(consumed, 17u);
    EXPECT_EQ(prototype.SplitTelegram(nullptr, 0, consumed), ETelegramIncomplete);
    EXPECT_EQ(consumed, 0u);

    KMRUnknownTelegramFactory factory;
    KMRTelegramPtr telegram(factory.CreateTelegram(chunk.data(), 17));
    EXPECT_EQ(FrameOf(*telegram), chunk);
    EXPECT_EQ(DataOf(*telegram), chunk);
    EXPECT_NE(telegram->GetTelegramStream(), chunk.data());
    EXPECT_EQ(telegram->GetTelegram(), ENone);
    EXPECT_EQ(telegram->GetAddr(), 0);
    EXPECT_EQ(telegram->GetCmd(), 0);
    EXPECT_EQ(telegram->GetSequenceCnt(), 0u);
    EXPECT_TRUE(telegram->IsSuccessful());
    EXPECT_TRUE(telegram->IsBasicTelegram());
    EXPECT_FALSE(telegram->IsExtendedTelegram());
    EXPECT_THROW(factory.CreateTelegram(chunk.data(), -1), KMRException);
}

TEST(KMRUnknownTelegramTest, EmptyAndCopiedTelegrams)
{
    KMRUnknownTelegram empty(nullptr, 0);
    EXPECT_EQ(empty.GetTelegramStream(), nullptr);
    EXPECT_EQ(empty.GetSize(), 0u);
    KMRUnknownTelegram nullBytes(nullptr, 5);
    EXPECT_EQ(nullBytes.GetSize(), 0u);

    const Bytes bytes = {1, 2, 3};
    KMRUnknownTelegram original(bytes.data(), 3);
    KMRUnknownTelegram copy(original);
    EXPECT_NE(copy.GetTelegramStream(), original.GetTelegramStream());
    EXPECT_EQ(FrameOf(copy), bytes);
    copy = empty;
    EXPECT_EQ(copy.GetSize(), 0u);
    EXPECT_TRUE(original.IsTelegramValid(nullptr, 0));
    EXPECT_TRUE(original.IsChecksumCorrect(0, nullptr, 0));
    EXPECT_EQ(original.GetCount(), 0);
}
