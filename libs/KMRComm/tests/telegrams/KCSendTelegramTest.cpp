// Request frames: layout, address order, validity table, busy tag, simple answers, bounds and sequence arithmetic.
#include <KMRComm/KCSendTelegram.h>

#include <KMRComm/KCReceiveTelegram.h>

#include <KMRBase/KMRException.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const Bytes POLL = {0x5A, 0xA5, 0x01, 0x00, 0x01, 0x10, 0xEF, 0x01, 0xFF};
const Bytes SET_CONTENT_SEQ2 = {0x5A, 0xA5, 0x01, 0x00, 0x05, 0x20, 0xDB, 0x1A, 0x00, 0x02, 0xAA, 0xBB, 0x7F};
const Bytes HEADER_ONLY = {0x5A, 0xA5, 0x01, 0x00, 0x00, 0x10, 0xF0};
} // namespace

TEST(KCSendTelegramBuild, PollFollowsTheAddressOrderSettingWithUnchangedChecksums)
{
    {
        UseSubAddressScope order(true);
        KCSendTelegram poll(1, 0, 0x10, KCTelegram::CMD_POLL, nullptr, 0);
        EXPECT_EQ(FrameOf(poll), POLL);
        EXPECT_EQ(poll.GetTelegram(), EPoll);
        EXPECT_EQ(poll.GetAddr(), 1);
        EXPECT_EQ(poll.GetSubAddr(), 0);
        EXPECT_EQ(poll.GetDataSize(), 0u);
        EXPECT_EQ(poll.GetData(), nullptr);
    }
    UseSubAddressScope order(false);
    KCSendTelegram poll(1, 0, 0x10, KCTelegram::CMD_POLL, nullptr, 0);
    EXPECT_EQ(FrameOf(poll), (Bytes{0x5A, 0xA5, 0x00, 0x01, 0x01, 0x10, 0xEF, 0x01, 0xFF}));
    EXPECT_EQ(poll.GetAddr(), 1);
    EXPECT_EQ(poll.GetSubAddr(), 0);
}

TEST(KCSendTelegramBuild, BasicRequestCarriesItsData)
{
    const Bytes data = {0x11, 0x22, 0x33};
    KCSendTelegram request(7, 2, 0x30, KCTelegram::CMD_SETDATETIME, data.data(), 3);
    ASSERT_EQ(request.GetSize(), 12u);
    EXPECT_EQ(request.GetCount(), 4);
    EXPECT_EQ(request.GetCmd(), 0x08);
    EXPECT_EQ(request.GetTag(), 0x30);
    EXPECT_EQ(DataOf(request), data);
    EXPECT_EQ(request.GetTelegram(), ESetDateTime);
    EXPECT_TRUE(request.IsTelegramValid(request.GetTelegramStream(), request.GetSize()));
    EXPECT_TRUE(request.IsBasicTelegram());
    EXPECT_FALSE(request.IsExtendedTelegram());
}

TEST(KCSendTelegramBuild, ExtendedRequestWritesTheSequenceNumberBeforeTheData)
{
    KCSendTelegram request;
    const unsigned char data[] = {0xAA, 0xBB};
    ASSERT_TRUE(request.CreateExtendedTelegram(1, 0, 0x20, 0x1A, 2, data, 2));
    EXPECT_EQ(FrameOf(request), SET_CONTENT_SEQ2);
    EXPECT_EQ(request.GetSequenceCnt(), 2u);
    EXPECT_EQ(request.GetDataSize(), 2u);
    ASSERT_NE(request.GetData(), nullptr);
    EXPECT_EQ(request.GetData()[0], 0xAA);
    EXPECT_TRUE(request.IsExtendedTelegram());
    EXPECT_EQ(request.GetTelegram(), ESetContent);
    // A second build must not replace the frame.
    EXPECT_FALSE(request.CreateExtendedTelegram(1, 0, 0x20, 0x1A, 3, data, 2));
    EXPECT_EQ(FrameOf(request), SET_CONTENT_SEQ2);
}

TEST(KCSendTelegramBuild, FullContentSequenceFrame)
{
    Bytes data(125);
    for (unsigned int i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i);
    KCSendTelegram request;
    request.CreateExtendedTelegram(1, 0, 0x20, KCTelegram::CMD_SETCONTENT, 0x0102, data.data(), 125);
    ASSERT_EQ(request.GetSize(), 136u);
    EXPECT_EQ(request.GetCount(), 128);
    EXPECT_EQ(request.GetTelegramStream()[8], 0x01);
    EXPECT_EQ(request.GetTelegramStream()[9], 0x02);
    EXPECT_EQ(DataOf(request), data);
    EXPECT_TRUE(request.IsTelegramValid(request.GetTelegramStream(), request.GetSize()));
}

TEST(KCSendTelegramBuild, RefusesMoreDataThanTheCountByteCanHold)
{
    const Bytes data(255, 0x42);
    EXPECT_NO_THROW(KCSendTelegram(1, 0, 0x10, 0x04, data.data(), 254));
    try
    {
        KCSendTelegram tooLong(1, 0, 0x10, 0x04, data.data(), 255);
        FAIL() << "a frame with 255 data bytes was built";
    }
    catch (const KMRException& e)
    {
        EXPECT_STREQ(e.GetUserTitle(), KMRException::GetTitleFromType(KMR_EXC_PLAUSIBILITY));
    }
    KCSendTelegram extended;
    EXPECT_THROW(extended.CreateExtendedTelegram(1, 0, 0x10, 0x1A, 0, data.data(), 253), KMRException);
    EXPECT_EQ(extended.GetSize(), 0u);
    EXPECT_TRUE(extended.CreateExtendedTelegram(1, 0, 0x10, 0x1A, 0, data.data(), 252));
    EXPECT_EQ(extended.GetCount(), 255);
}

TEST(KCSendTelegramCopy, ValidFramesAreCopiedWithTheStreamKind)
{
    KCSendTelegram poll(POLL.data(), static_cast<unsigned int>(POLL.size()));
    EXPECT_EQ(FrameOf(poll), POLL);
    EXPECT_EQ(poll.GetTelegram(), EPoll);

    // Requests read from a stream leave some catalogue commands without a kind.
    KCSendTelegram built(1, 0, 0x10, KCTelegram::CMD_SETCOMTIMEOUT, nullptr, 0);
    EXPECT_EQ(built.GetTelegram(), ESetComTimeout);
    KCSendTelegram copied(built.GetTelegramStream(), built.GetSize());
    EXPECT_EQ(copied.GetTelegram(), ENone);

    KCSendTelegram headerOnly(HEADER_ONLY.data(), static_cast<unsigned int>(HEADER_ONLY.size()));
    EXPECT_EQ(headerOnly.GetDataSize(), 0u);
    EXPECT_EQ(headerOnly.GetData(), nullptr);

    KCSendTelegram copy(poll);
    EXPECT_NE(copy.GetTelegramStream(), poll.GetTelegramStream());
    EXPECT_EQ(FrameOf(copy), POLL);
}

TEST(KCSendTelegramCopy, InvalidFramesThrowPlausibility)
{
    Bytes bad = POLL;
    bad.back() = 0xFE;
    try
    {
        KCSendTelegram request(bad.data(), static_cast<unsigned int>(bad.size()));
        FAIL() << "an invalid frame was accepted";
    }
    catch (const KMRException& e)
    {
        EXPECT_STREQ(e.GetDetails(), "IsTelegramValid (pTelegram_i, iTelegramLen_i)");
        EXPECT_STREQ(e.GetWhereText(), "KCSendTelegram::InitializeTelegram");
        EXPECT_STREQ(e.GetUserTitle(), KMRException::GetTitleFromType(KMR_EXC_PLAUSIBILITY));
    }
    EXPECT_THROW(KCSendTelegram(nullptr, 9), KMRException);
}

TEST(KCSendTelegramValidity, EachCheckReportsItsTextAndType)
{
    struct Case
    {
        Bytes frame;
        const char* text;
        KMRCommExceptionType type;
    };
    const Case cases[] = {
        {{0x5A}, "Receive Telegram invalid", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA4}, "Sync bytes must be 0x5AA5", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA5}, "Addr byte missing.", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA5, 0x01}, "SubAddr byte missing.", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA5, 0x01, 0x00}, "Count byte missing.", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA5, 0x01, 0x00, 0x01}, "Tag byte missing.", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA5, 0x01, 0x00, 0x01, 0x10}, "Chk1 byte missing.", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA5, 0x01, 0x00, 0x01, 0x10, 0xEE, 0x01, 0xFF}, "Chk1 not correct.", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA5, 0x01, 0x00, 0x01, 0x10, 0xEF}, "Cmd byte missing.", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA5, 0x01, 0x00, 0x05, 0x20, 0xDB, 0x1A, 0x00}, "SeqCnt byte missing.", KMR_COMM_EXC_SENDTELEGRAM},
        {{0x5A, 0xA5, 0x01, 0x00, 0x05, 0x20, 0xDB, 0x1A, 0x00, 0x02}, "Corrupt Data part.", KMR_COMM_EXC_TELEGRAM},
        {{0x5A, 0xA5, 0x01, 0x00, 0x05, 0x20, 0xDB, 0x1A, 0x00, 0x02, 0xAA, 0xBB}, "Chk2 byte missing.",
         KMR_COMM_EXC_TELEGRAM},
        {{0x5A, 0xA5, 0x01, 0x00, 0x01, 0x10, 0xEF, 0x01, 0xFE}, "Cheksum 2 not correkt.", KMR_COMM_EXC_TELEGRAM},
    };
    KCSendTelegram checker;
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        KMRCommExceptionType type = KMR_COMM_EXC_SOCKET;
        const char* text = KCSendTelegram::FindTelegramDefect(c.frame.data(), static_cast<unsigned int>(c.frame.size()), &type);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::string(text), c.text);
        EXPECT_EQ(type, c.type);
        EXPECT_FALSE(checker.IsTelegramValid(c.frame.data(), static_cast<unsigned int>(c.frame.size())));
    }
    for (const Bytes& valid : {POLL, SET_CONTENT_SEQ2, HEADER_ONLY, Concat(POLL, {0x00, 0x5A})})
        EXPECT_TRUE(checker.IsTelegramValid(valid.data(), static_cast<unsigned int>(valid.size())));
    EXPECT_FALSE(checker.IsTelegramValid(nullptr, 0));
}

TEST(KCSendTelegramBusyTag, NewTagKeepsBothChecksumsValid)
{
    KCSendTelegram request;
    const unsigned char data[] = {0xAA, 0xBB};
    request.CreateExtendedTelegram(1, 0, 0x10, 0x1A, 2, data, 2);
    request.ChangeBusyTag(0x20);
    EXPECT_EQ(FrameOf(request), SET_CONTENT_SEQ2);
    EXPECT_TRUE(request.IsTelegramValid(request.GetTelegramStream(), request.GetSize()));

    // Frames too short to hold the tag or Chk1 are not written beyond their end.
    KCSendTelegram shortFrame;
    shortFrame.SetTelegramStream(POLL.data(), 6);
    shortFrame.ChangeBusyTag(0x30);
    EXPECT_EQ(FrameOf(shortFrame), (Bytes{0x5A, 0xA5, 0x01, 0x00, 0x01, 0x30}));
}

TEST(KCSendTelegramSimpleResponse, AnswersWithTheRequestsFieldsAndAcceptFlag)
{
    KCSendTelegram poll(1, 0, 0x10, KCTelegram::CMD_POLL, nullptr, 0);
    KMRTelegramPtr accepted(poll.CreateSRTResponse(true));
    ASSERT_NE(accepted, nullptr);
    const Bytes expected = {0x5A, 0xA5, 0x01, 0x00, 0x01, 0x11, 0x00, 0x00, 0x00, 0xEE, 0x01, 0xFF};
    EXPECT_EQ(FrameOf(*accepted), expected);
    EXPECT_TRUE(accepted->IsSuccessful());
    EXPECT_EQ(accepted->GetTelegram(), EOnPoll);

    KMRTelegramPtr refused(poll.CreateSRTResponse(false));
    ASSERT_NE(refused, nullptr);
    EXPECT_FALSE(refused->IsSuccessful());

    KCSendTelegram empty;
    EXPECT_EQ(empty.CreateSRTResponse(true), nullptr);
}

TEST(KCSendTelegramBounds, SequenceCountNeverReadsBeyondTheFrame)
{
    // A basic request's sequence count is whatever bytes 8 and 9 hold.
    KCSendTelegram basic(1, 0, 0x10, 0x04, Bytes{0x12, 0x34}.data(), 2);
    EXPECT_EQ(basic.GetSequenceCnt(), 0x1234u);

    KCSendTelegram headerOnly(HEADER_ONLY.data(), static_cast<unsigned int>(HEADER_ONLY.size()));
    EXPECT_EQ(headerOnly.GetSequenceCnt(), 0xFFFFu);
    KCSendTelegram eightBytes;
    eightBytes.SetTelegramStream(POLL.data(), 8);
    EXPECT_EQ(eightBytes.GetSequenceCnt(), 0xFFFFu);
}

TEST(KCSendTelegramBounds, PayloadStaysInsideFramesWhoseCountLies)
{
    KCSendTelegram request;
    // Count claims 200 bytes, the frame holds 2 after the command.
    const Bytes lying = {0x5A, 0xA5, 0x01, 0x00, 0xC8, 0x10, 0x28, 0x04, 0x11, 0x22};
    request.SetTelegramStream(lying.data(), static_cast<unsigned int>(lying.size()));
    EXPECT_EQ(DataOf(request), (Bytes{0x11, 0x22}));
    request.SetTelegramStream(lying.data(), 8);
    EXPECT_EQ(request.GetDataSize(), 0u);
    EXPECT_EQ(request.GetData(), nullptr);
    request.SetTelegramStream(lying.data(), 3);
    EXPECT_EQ(request.GetSubAddr(), 0xFF);
    EXPECT_EQ(request.GetCmd(), 0xFF);
    EXPECT_EQ(request.GetTag(), 0xFF);
    EXPECT_EQ(request.GetDataSize(), 0u);
    request.SetTelegramStream(nullptr, 0);
    EXPECT_EQ(request.GetTelegramStream(), nullptr);
    EXPECT_EQ(request.GetAddr(), 0xFF);
}

TEST(KCSendTelegramSplit, RequestsAreNeverCutFromStreams)
{
    KCSendTelegram request;
    unsigned int consumed = 0;
    EXPECT_EQ(request.SplitTelegram(POLL.data(), 9, consumed), ETelegramInvalid);
    EXPECT_EQ(consumed, 9u);
    EXPECT_FALSE(request.IsTelegramBusy());
    EXPECT_EQ(request.GetStatus1(), 0);
}

TEST(KCSendTelegramSequences, ContentAndFirmwareArithmetic)
{
    struct Case
    {
        uint32_t size;
        unsigned short sequences;
        unsigned char last;
        unsigned short firmwareSequences;
        unsigned char firmwareLast;
    };
    const Case cases[] = {
        {0, 0, 125, 0, 128},   {1, 1, 1, 1, 1},       {125, 1, 125, 1, 125}, {129, 2, 4, 2, 1},
        {250, 2, 125, 2, 122}, {251, 3, 1, 2, 123},   {256, 3, 6, 2, 128},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.size);
        EXPECT_EQ(KCSendTelegram::CalcNumberOfSequences(c.size), c.sequences);
        EXPECT_EQ(KCSendTelegram::CalcLastSequenceSize(c.size), c.last);
        EXPECT_EQ(KCSendTelegram::CalcNumberOfSequencesFirmware(c.size), c.firmwareSequences);
        EXPECT_EQ(KCSendTelegram::CalcLastSequenceSizeFirmware(c.size), c.firmwareLast);
        EXPECT_EQ(KCReceiveTelegram::CalcNrOfSequences(c.size), c.sequences);
    }
}
