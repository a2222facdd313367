// Response frames: layout, validity table, field accessors, status bits and the stream splitter.
#include <KMRComm/KCReceiveTelegram.h>

#include <KMRBase/KMRException.h>
#include <KMRComm/KMRCommException.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
// Accepted answer to a poll of address 1, tag 0x10.
const Bytes ON_POLL = {0x5A, 0xA5, 0x01, 0x00, 0x01, 0x11, 0x00, 0x00, 0x00, 0xEE, 0x01, 0xFF};
// Command 0x3D is not a basic command, so its responses need a sequence number (count >= 3).
const Bytes UNKNOWN_CMD_COUNT2 = {0x5A, 0xA5, 0x01, 0x00, 0x02, 0x11, 0x00, 0x00, 0x00, 0xED, 0x3D, 0x00, 0xC3};
const Bytes UNKNOWN_CMD_COUNT5 = {0x5A, 0xA5, 0x01, 0x00, 0x05, 0x11, 0x00, 0x00,
                                  0x00, 0xEA, 0x3D, 0x00, 0x07, 0x01, 0x02, 0xB9};

unsigned int Len(const Bytes& b_i)
{
    return static_cast<unsigned int>(b_i.size());
}

// Opens the protected checks for the tests.
class OpenReceiveTelegram : public KCReceiveTelegram
{
public:
    using KCReceiveTelegram::FindTelegramStart;
    using KCReceiveTelegram::IsTelegramValid;
};
} // namespace

TEST(KCReceiveTelegramBuild, BasicResponseLayout)
{
    const Bytes data = {0x12, 0x34};
    KCReceiveTelegram response(1, 0, 0x21, 0x80, 0x04, 0x01, KCTelegram::CMD_GETCATEGORYVALUES, data.data(), 2);
    EXPECT_EQ(FrameOf(response), (Bytes{0x5A, 0xA5, 0x01, 0x00, 0x03, 0x21, 0x80, 0x04, 0x01, 0x57, 0x0D, 0x12,
                                        0x34, 0xAD}));
    EXPECT_EQ(response.GetTelegram(), EOnGetCategoryValues);
    EXPECT_EQ(response.GetTag(), 0x20);
    EXPECT_EQ(response.GetFlags(), 0x01);
    EXPECT_EQ(response.GetTagFlags(), 0x21);
    EXPECT_EQ(response.GetStatus1(), 0x80);
    EXPECT_EQ(response.GetError1(), 0x04);
    EXPECT_EQ(response.GetError2(), 0x01);
    EXPECT_EQ(response.GetCount(), 3);
    EXPECT_EQ(DataOf(response), data);
    EXPECT_TRUE(response.IsSuccessful());
    EXPECT_TRUE(response.IsTelegramBusy());
}

TEST(KCReceiveTelegramBuild, ExtendedResponsePutsTheSequenceNumberFirst)
{
    const Bytes data = {0xAA, 0xBB, 0xCC};
    KCReceiveTelegram response(1, 0, 0x31, 0, 0, 0, KCTelegram::CMD_GETCONTENT, 0x0203, data.data(), 3);
    ASSERT_EQ(response.GetSize(), 17u);
    EXPECT_EQ(response.GetCount(), 6);
    EXPECT_EQ(response.GetSequenceCnt(), 0x0203u);
    EXPECT_EQ(DataOf(response), data);
    EXPECT_EQ(response.GetTelegram(), EOnGetContent);
    KCReceiveTelegram copy(response.GetTelegramStream(), response.GetSize());
    EXPECT_EQ(FrameOf(copy), FrameOf(response));
}

TEST(KCReceiveTelegramBuild, RefusesMoreDataThanTheCountByteCanHold)
{
    const Bytes data(255, 0x42);
    EXPECT_NO_THROW(KCReceiveTelegram(1, 0, 0x11, 0, 0, 0, 0x05, data.data(), 254));
    EXPECT_THROW(KCReceiveTelegram(1, 0, 0x11, 0, 0, 0, 0x05, data.data(), 255), KMRException);
    EXPECT_NO_THROW(KCReceiveTelegram(1, 0, 0x11, 0, 0, 0, 0x1B, 1, data.data(), 252));
    EXPECT_THROW(KCReceiveTelegram(1, 0, 0x11, 0, 0, 0, 0x1B, 1, data.data(), 253), KMRException);
}

TEST(KCReceiveTelegramFlags, SuccessAndBusyBits)
{
    struct Case
    {
        unsigned char tagFlags;
        unsigned char status1;
        bool successful;
        bool busy;
    };
    const Case cases[] = {{0x31, 0x00, true, false}, {0x30, 0x00, false, false}, {0x31, 0x7F, true, false},
                          {0x30, 0x80, false, true}, {0x3F, 0xFF, true, true}};
    for (const Case& c : cases)
    {
        KCReceiveTelegram response(1, 0, c.tagFlags, c.status1, 0, 0, 0x01, nullptr, 0);
        EXPECT_EQ(response.IsSuccessful(), c.successful) << int(c.tagFlags);
        EXPECT_EQ(response.IsTelegramBusy(), c.busy) << int(c.status1);
    }
}

TEST(KCReceiveTelegramCopy, InvalidFramesThrowPlausibility)
{
    Bytes bad = ON_POLL;
    bad.back() = 0x00;
    try
    {
        KCReceiveTelegram response(bad.data(), Len(bad));
        FAIL() << "an invalid frame was accepted";
    }
    catch (const KMRException& e)
    {
        EXPECT_STREQ(e.GetDetails(), "IsTelegramValid (pTelegram_i, iTelegramLen_i)");
        EXPECT_STREQ(e.GetWhereText(), "KCReceiveTelegram::InitializeTelegram");
    }
}

TEST(KCReceiveTelegramValidity, EachCheckReportsItsText)
{
    const Bytes badChk1 = {0x5A, 0xA5, 0x01, 0x00, 0x01, 0x11, 0x00, 0x00, 0x00, 0xEF, 0x01, 0xFF};
    const Bytes badChk2 = {0x5A, 0xA5, 0x01, 0x00, 0x01, 0x11, 0x00, 0x00, 0x00, 0xEE, 0x01, 0xFE};
    struct Case
    {
        Bytes frame;
        const char* text;
    };
    const Case cases[] = {
        {{0x5A}, "Receive Telegram invalid"},
        {{0x00, 0xA5, 0x01}, "Sync bytes must be 0x5AA5"},
        {Bytes(ON_POLL.begin(), ON_POLL.begin() + 2), "Addr byte missing."},
        {Bytes(ON_POLL.begin(), ON_POLL.begin() + 3), "SubAddr byte missing."},
        {Bytes(ON_POLL.begin(), ON_POLL.begin() + 4), "Count bytes missing."},
        {{0x5A, 0xA5, 0x01, 0x00, 0x00, 0x11}, "Count must not be smaller than one."},
        {Bytes(ON_POLL.begin(), ON_POLL.begin() + 5), "Tag/Flags byte missing."},
        {Bytes(ON_POLL.begin(), ON_POLL.begin() + 8), "Status and Error bytes missing."},
        {Bytes(ON_POLL.begin(), ON_POLL.begin() + 9), "Chk1 byte missing."},
        {badChk1, "Chk1 not correct."},
        {Bytes(ON_POLL.begin(), ON_POLL.begin() + 10), "CMD byte missing."},
        {UNKNOWN_CMD_COUNT2, "As the telegram is an extended telegram the count byte must be at least three."},
        {Bytes(UNKNOWN_CMD_COUNT5.begin(), UNKNOWN_CMD_COUNT5.begin() + 12), "Sequence count bytes missing."},
        {Bytes(UNKNOWN_CMD_COUNT5.begin(), UNKNOWN_CMD_COUNT5.begin() + 13), "Corrupt data part."},
        {Bytes(UNKNOWN_CMD_COUNT5.begin(), UNKNOWN_CMD_COUNT5.begin() + 15), "Checksum 2 incorrect."},
        {badChk2, "Cheksum 2 not correkt."},
    };
    OpenReceiveTelegram checker;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        KMRCommExceptionType type = KMR_COMM_EXC_SOCKET;
        const char* text = KCReceiveTelegram::FindTelegramDefect(c.frame.data(), Len(c.frame), &type);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(text), c.text);
        EXPECT_EQ(type, KMR_COMM_EXC_TELEGRAM);
        EXPECT_FALSE(checker.IsTelegramValid(c.frame.data(), Len(c.frame)));
    }
    // Surplus bytes after Chk2 stay part of a valid frame.
    for (const Bytes& valid : {ON_POLL, UNKNOWN_CMD_COUNT5, Concat(ON_POLL, {0x99})})
        EXPECT_TRUE(checker.IsTelegramValid(valid.data(), Len(valid)));
}

TEST(KCReceiveTelegramFields, UnknownCommandDataStartsAfterTheCommand)
{
    KCReceiveTelegram response(UNKNOWN_CMD_COUNT5.data(), Len(UNKNOWN_CMD_COUNT5));
    EXPECT_FALSE(response.IsExtendedTelegram());
    EXPECT_FALSE(response.IsBasicTelegram());
    EXPECT_EQ(response.GetData(), response.GetTelegramStream() + 11);
    EXPECT_EQ(response.GetDataSize(), 4u);
    EXPECT_EQ(response.GetTelegram(), EOnGetLedErrorFilter);
}

TEST(KCReceiveTelegramFields, FailuresOfCountAndSequenceCount)
{
    KCReceiveTelegram basic(ON_POLL.data(), Len(ON_POLL));
    try
    {
        basic.GetSequenceCnt();
        FAIL() << "a basic response has no sequence count";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_STREQ(e.GetWhereText(), "KCReceiveTelegram::GetSequenceCnt");
        EXPECT_STREQ(e.GetDetails(), "To determine the sequence count the telegram must be an extended telegram!");
    }
    KCReceiveTelegram empty;
    try
    {
        empty.GetCount();
        FAIL() << "an empty response has no count";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_STREQ(e.GetWhereText(), "KCReceiveTelegram::GetCount");
        EXPECT_STREQ(e.GetDetails(), "Unable to retrieve count byte");
    }
    // Every other accessor answers its fallback.
    EXPECT_EQ(empty.GetAddr(), 0xFF);
    EXPECT_EQ(empty.GetTag(), 0xF0);
    EXPECT_EQ(empty.GetFlags(), 0x0F);
    EXPECT_EQ(empty.GetStatus1(), 0xFF);
    EXPECT_EQ(empty.GetCmd(), 0xFF);
    EXPECT_EQ(empty.GetChecksum(), 0xFF);
    EXPECT_EQ(empty.GetDataSize(), 0u);
    EXPECT_EQ(empty.GetData(), nullptr);
    EXPECT_EQ(basic.GetChecksum(), 0xFF);
}

TEST(KCReceiveTelegramFields, SetError2KeepsTheFrameValid)
{
    KCReceiveTelegram response(ON_POLL.data(), Len(ON_POLL));
    response.SetError2(0x10);
    EXPECT_EQ(response.GetError2(), 0x10);
    OpenReceiveTelegram checker;
    EXPECT_TRUE(checker.IsTelegramValid(response.GetTelegramStream(), response.GetSize()));
    KCReceiveTelegram empty;
    empty.SetError2(0x10);
    EXPECT_EQ(empty.GetSize(), 0u);
}

TEST(KCReceiveTelegramSplit, StatesAndConsumedBytes)
{
    const unsigned int UNTOUCHED = 999;
    const Bytes badChk1Header = {0x5A, 0xA5, 0x01, 0x00, 0x01, 0x11, 0x00, 0x00, 0x00, 0xEF};
    struct Case
    {
        const char* what;
        Bytes input;
        ETelegramState state;
        unsigned int consumed;
    };
    const Case cases[] = {
        {"empty input", {}, ETelegramIncomplete, UNTOUCHED},
        {"garbage before a start", {0x00, 0x11, 0x5A, 0xA5, 0x01}, ETelegramInvalid, 2},
        {"second sync byte wrong, no start", {0x5A, 0x00, 0x11}, ETelegramInvalid, 3},
        {"lone first sync byte", {0x5A}, ETelegramIncomplete, UNTOUCHED},
        {"header cut short", {0x5A, 0xA5, 0x01, 0x00}, ETelegramIncomplete, UNTOUCHED},
        {"trailing 5A is no start", {0x00, 0x5A}, ETelegramInvalid, 2},
        {"count zero", {0x5A, 0xA5, 0x01, 0x00, 0x00, 0x11}, ETelegramInvalid, 6},
        {"header without Chk1", Bytes(ON_POLL.begin(), ON_POLL.begin() + 9), ETelegramIncomplete, UNTOUCHED},
        {"Chk1 wrong, next frame behind", Concat(badChk1Header, ON_POLL), ETelegramInvalid, 10},
        {"frame without Chk2", Bytes(ON_POLL.begin(), ON_POLL.begin() + 11), ETelegramIncomplete, UNTOUCHED},
        {"complete frame", ON_POLL, ETelegramComplete, 12},
        {"complete frame and more", Concat(ON_POLL, {0x5A, 0xA5}), ETelegramComplete, 12},
        {"Chk2 wrong", {0x5A, 0xA5, 0x01, 0x00, 0x01, 0x11, 0x00, 0x00, 0x00, 0xEE, 0x01, 0xFE}, ETelegramInvalid, 12},
        {"sequenced command with count 2", UNKNOWN_CMD_COUNT2, ETelegramInvalid, 13},
        {"sequenced command without sequence bytes", Bytes(UNKNOWN_CMD_COUNT5.begin(), UNKNOWN_CMD_COUNT5.begin() + 12),
         ETelegramIncomplete, UNTOUCHED},
        {"sequenced command complete", UNKNOWN_CMD_COUNT5, ETelegramComplete, 16},
    };
    KCReceiveTelegram splitter;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        unsigned int consumed = UNTOUCHED;
        EXPECT_EQ(splitter.SplitTelegram(c.input.empty() ? nullptr : c.input.data(), Len(c.input), consumed),
                  c.state);
        EXPECT_EQ(consumed, c.consumed);
    }
}

TEST(KCReceiveTelegramSplit, BackToBackFramesWithGarbageComeOutInOrder)
{
    KCReceiveTelegram second(2, 0, 0x21, 0, 0, 0, 0x07, Bytes{0x64}.data(), 1);
    const Bytes stream = Concat(Concat(Concat(ON_POLL, {0x00, 0x5A, 0x13}), FrameOf(second)), {0x5A});
    KCReceiveTelegram splitter;
    std::vector<Bytes> frames;
    unsigned int offset = 0;
    unsigned int dropped = 0;
    for (;;)
    {
        unsigned int consumed = 0;
        const ETelegramState state = splitter.SplitTelegram(stream.data() + offset, Len(stream) - offset, consumed);
        if (state == ETelegramIncomplete)
            break;
        if (state == ETelegramComplete)
            frames.emplace_back(stream.begin() + offset, stream.begin() + offset + consumed);
        else
            dropped += consumed;
        ASSERT_GT(consumed, 0u);
        offset += consumed;
    }
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0], ON_POLL);
    EXPECT_EQ(frames[1], FrameOf(second));
    EXPECT_EQ(dropped, 3u);
    EXPECT_EQ(offset, Len(stream) - 1); // the trailing 5A waits for more bytes
}

TEST(KCReceiveTelegramSplit, FindTelegramStartSkipsPositionZero)
{
    const Bytes input = {0x5A, 0xA5, 0x5A, 0x5A, 0xA5};
    unsigned int pos = 0;
    EXPECT_TRUE(OpenReceiveTelegram::FindTelegramStart(input.data(), Len(input), 0, pos));
    EXPECT_EQ(pos, 3u);
    EXPECT_FALSE(OpenReceiveTelegram::FindTelegramStart(input.data(), 4, 0, pos));
}
