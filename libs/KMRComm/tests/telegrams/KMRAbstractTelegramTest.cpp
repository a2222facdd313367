// Telegram base: kind texts, the hexadecimal dump, the defaults of the base and releasing telegrams.
#include <KMRComm/KMRAbstractTelegram.h>

#include <KMRComm/KCSendTelegram.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace
{
// Counts its deletions so Release can be observed.
class CountingTelegram : public KCSendTelegram
{
public:
    explicit CountingTelegram(int& deleted_i) : m_rDeleted(deleted_i) {}
    ~CountingTelegram() override { ++m_rDeleted; }

private:
    int& m_rDeleted;
};

KCSendTelegram PollOf(ETelegram kind_i)
{
    KCSendTelegram telegram(1, 0, 0x10, KCTelegram::CMD_POLL, nullptr, 0);
    telegram.SetTelegram(kind_i);
    return telegram;
}
} // namespace

TEST(KMRAbstractTelegramTypeString, CatalogueTexts)
{
    struct Case
    {
        ETelegram kind;
        const char* text;
    };
    const Case cases[] = {
        {ENone, ""},
        {EPoll, "Poll"},
        {EOnPoll, "OnPoll"},
        {ESetBrightness, "SetBrightness"},
        {EOnSetBrightness, "SetBrightness"},
        {EGetWigWagParameters, ""},
        {EOnGetWigWagParameters, ""},
        {EPerformLEDTest, "EPerformLEDTest"},
        {EOnGetFreeMemory, "EOnGetFreeMemory"},
        {EActivateDormantContentID, ""},
        {EOnSetLedTestTimer, ""},
        {EEnableAutoDimming, "EnableAutoDimming"},
        {EOnEnableAutoDimming, "OnEnableAutoDimming"},
        {ESetAutoDimming, ""},
        {EFormatDisk, ""},
        {static_cast<ETelegram>(-1), ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(PollOf(c.kind).GetTelegramTypeString(), c.text) << static_cast<int>(c.kind);
}

TEST(KMRAbstractTelegramToString, HexDumpIsCutToTheBuffer)
{
    const KCSendTelegram poll = PollOf(EPoll);
    char buffer[1024];
    poll.ToString(buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "5A A5 01 00 01 10 EF 01 FF ");
    EXPECT_EQ(std::strlen(buffer), 27u);

    struct Case
    {
        unsigned long size;
        const char* text;
    };
    for (const Case& c : {Case{4, "5A "}, Case{3, "5A"}, Case{1, ""}, Case{28, "5A A5 01 00 01 10 EF 01 FF "},
                          Case{27, "5A A5 01 00 01 10 EF 01 FF"}})
    {
        std::memset(buffer, 'x', sizeof(buffer));
        poll.ToString(buffer, c.size);
        EXPECT_STREQ(buffer, c.text) << c.size;
    }
    std::memset(buffer, 'x', sizeof(buffer));
    poll.ToString(buffer, 0);
    EXPECT_EQ(buffer[0], 'x');

    KCSendTelegram empty;
    empty.ToString(buffer, sizeof(buffer));
    EXPECT_STREQ(buffer, "");
}

TEST(KMRAbstractTelegramDefaults, BaseAnswersOfNonLeaTelegrams)
{
    KCSendTelegram poll = PollOf(EPoll);
    EXPECT_EQ(poll.GetIntParameter(), -1);
    EXPECT_EQ(poll.GetStatusReturn(), 0u);
    EXPECT_FALSE(poll.IsTelegramBusy());
    EXPECT_FALSE(poll.IsTelegramString());
    EXPECT_TRUE(poll.GetParameter1().IsEmpty());
    EXPECT_TRUE(poll.GetStatusInformationString().IsEmpty());
    KMRString text("kept");
    poll.ToString(text);
    EXPECT_STREQ(text.GetString(), "kept");
}

TEST(KMRAbstractTelegramRelease, ReleaseDeletesAndNullIsIgnored)
{
    int deleted = 0;
    KMRAbstractTelegram* telegram = new CountingTelegram(deleted);
    telegram->Release();
    EXPECT_EQ(deleted, 1);

    KMRAbstractTelegram::Release(new CountingTelegram(deleted));
    EXPECT_EQ(deleted, 2);
    KMRAbstractTelegram::Release(nullptr);
    {
        KMRTelegramPtr owned(new CountingTelegram(deleted));
        KMRTelegramPtr none;
    }
    EXPECT_EQ(deleted, 3);
}
