// KC1 and KC1 block-CPU telegrams: request frames, command kinds, response splitting, bounded reads, factories.
#include <KMRComm/KC1BlockCPUReceiveTelegram.h>
#include <KMRComm/KC1BlockCPUSendTelegram.h>
#include <KMRComm/KC1ReceiveTelegram.h>
#include <KMRComm/KC1SendTelegram.h>
#include <KMRComm/KMRCommException.h>
#include <KMRComm/KMRKC1BlockCPUReceiveTelegramFactory.h>
#include <KMRComm/KMRKC1BlockCPUSendTelegramFactory.h>
#include <KMRComm/KMRKC1ReceiveTelegramFactory.h>
#include <KMRComm/KMRKC1SendTelegramFactory.h>

#include <KMRBase/KMRException.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const Bytes POLL_ADDR5 = {0x5A, 0xA5, 0x05, 0x00, 0x00, 0x10, 0xEC};
const Bytes SET_INTENSITY_80 = {0x5A, 0xA5, 0x05, 0x00, 0x02, 0x10, 0xEA, 0x2A, 0x80, 0x56};
// Accepted response without data, tag 0x20.
const Bytes RESPONSE_NO_DATA = {0x5A, 0xA5, 0x05, 0x00, 0x00, 0x21, 0x00, 0x00, 0xDB};
// Accepted response, tag 0x30, Status1 0x80, Error1 0x04, data 12 34.
const Bytes RESPONSE_TWO_BYTES = {0x5A, 0xA5, 0x05, 0x00, 0x02, 0x31, 0x80, 0x04, 0x45, 0x12, 0x34, 0xBA};

unsigned int Len(const Bytes& b_i)
{
    return static_cast<unsigned int>(b_i.size());
}

struct KC1Family
{
    using Send = KC1SendTelegram;
    using Receive = KC1ReceiveTelegram;
    using SendFactory = KMRKC1SendTelegramFactory;
    using ReceiveFactory = KMRKC1ReceiveTelegramFactory;
    static constexpr const char* RECEIVE_WHERE = "KC1ReceiveTelegram::InitializeTelegram";
};

struct KC1BlockCPUFamily
{
    using Send = KC1BlockCPUSendTelegram;
    using Receive = KC1BlockCPUReceiveTelegram;
    using SendFactory = KMRKC1BlockCPUSendTelegramFactory;
    using ReceiveFactory = KMRKC1BlockCPUReceiveTelegramFactory;
    static constexpr const char* RECEIVE_WHERE = "KC1BlockCPUReceiveTelegram::InitializeTelegram";
};

template <class Family> class KC1FrameTest : public ::testing::Test
{
};
using Families = ::testing::Types<KC1Family, KC1BlockCPUFamily>;
TYPED_TEST_SUITE(KC1FrameTest, Families);
} // namespace

TYPED_TEST(KC1FrameTest, PollIsTheHeaderAloneAndCarriesNoData)
{
    typename TypeParam::Send poll(5, 0x10, 0x10, nullptr, 0);
    EXPECT_EQ(FrameOf(poll), POLL_ADDR5);
    EXPECT_EQ(poll.GetTelegram(), EPoll);
    EXPECT_EQ(poll.GetCmd(), 0xFF); // no command byte
    EXPECT_EQ(poll.GetCount(), 0);
    EXPECT_EQ(poll.GetDataSize(), 0u);
    EXPECT_EQ(poll.GetData(), nullptr);
    EXPECT_EQ(poll.GetAddr(), 5);
    EXPECT_EQ(poll.GetSubAddr(), 5);
    EXPECT_EQ(poll.GetTag(), 0x10);

    // Data handed to a poll has no place in its frame and is not sent.
    const Bytes data = {0xDE, 0xAD, 0xBE, 0xEF};
    typename TypeParam::Send pollWithData(5, 0x10, 0x10, data.data(), Len(data), data.data(), 2);
    EXPECT_EQ(FrameOf(pollWithData), POLL_ADDR5);
}

TYPED_TEST(KC1FrameTest, RequestCarriesCommandDataAndBothChecksums)
{
    const unsigned char value = 0x80;
    typename TypeParam::Send request(5, 0x10, 0x2A, &value, 1);
    EXPECT_EQ(FrameOf(request), SET_INTENSITY_80);
    EXPECT_EQ(request.GetCount(), 2);
    EXPECT_EQ(request.GetCmd(), 0x2A);
    ASSERT_NE(request.GetData(), nullptr);
    EXPECT_EQ(request.GetData(), request.GetTelegramStream() + 8);
    EXPECT_EQ(DataOf(request), (Bytes{0x80}));
    EXPECT_TRUE(request.IsSuccessful());
    EXPECT_TRUE(request.IsBasicTelegram());
    EXPECT_FALSE(request.IsExtendedTelegram());
    EXPECT_FALSE(request.IsTelegramValid(request.GetTelegramStream(), request.GetSize()));
    unsigned int consumed = 0;
    EXPECT_EQ(request.SplitTelegram(SET_INTENSITY_80.data(), 10, consumed), ETelegramInvalid);
    EXPECT_EQ(consumed, 10u);

    typename TypeParam::Send copy(request);
    EXPECT_EQ(FrameOf(copy), SET_INTENSITY_80);
    EXPECT_NE(copy.GetTelegramStream(), request.GetTelegramStream());
}

TYPED_TEST(KC1FrameTest, TwoDataPartsFollowEachOtherUnderOneSixteenBitCount)
{
    const Bytes first(200, 0x11);
    const Bytes second(100, 0x22);
    typename TypeParam::Send request(1, 0x20, 0x11, first.data(), Len(first), second.data(), Len(second));
    const Bytes frame = FrameOf(request);
    ASSERT_EQ(frame.size(), 309u);
    EXPECT_EQ(frame[3], 0x01);
    EXPECT_EQ(frame[4], 0x2D);
    EXPECT_EQ(request.GetCount(), 301);
    EXPECT_EQ(DataOf(request), Concat(first, second));
    EXPECT_TRUE(request.IsChecksumCorrect(frame[6], frame.data(), 6));
    EXPECT_TRUE(request.IsChecksumCorrect(frame[308], frame.data(), 308));

    // The count holds data + 1 in 16 bits: more data would wrap it.
    const Bytes tooMuch(0xFFFF, 0x00);
    EXPECT_NO_THROW(typename TypeParam::Send(1, 0, 0x11, tooMuch.data(), 0xFFFE));
    EXPECT_THROW(typename TypeParam::Send(1, 0, 0x11, tooMuch.data(), 0xFFFF), KMRException);
    EXPECT_THROW(typename TypeParam::Send(1, 0, 0x11, tooMuch.data(), 0xFFFF, tooMuch.data(), 0xFFFF), KMRException);
}

TYPED_TEST(KC1FrameTest, ResponseFieldsAndPayload)
{
    typename TypeParam::Receive response(RESPONSE_TWO_BYTES.data(), Len(RESPONSE_TWO_BYTES));
    EXPECT_EQ(response.GetAddr(), 5);
    EXPECT_EQ(response.GetSubAddr(), 5);
    EXPECT_EQ(response.GetTag(), 0x30);
    EXPECT_EQ(response.GetFlags(), 0x01);
    EXPECT_EQ(response.GetTagFlags(), 0x31);
    EXPECT_EQ(response.GetStatus1(), 0x80);
    EXPECT_EQ(response.GetError1(), 0x04);
    EXPECT_EQ(response.GetError2(), 0);
    EXPECT_EQ(response.GetCmd(), 0);
    EXPECT_EQ(response.GetCount(), 2);
    EXPECT_EQ(DataOf(response), (Bytes{0x12, 0x34}));
    EXPECT_TRUE(response.IsSuccessful());
    EXPECT_EQ(response.GetTelegram(), ENone);
    EXPECT_EQ(response.GetTelegramTypeString(), "");

    typename TypeParam::Receive empty(RESPONSE_NO_DATA.data(), Len(RESPONSE_NO_DATA));
    EXPECT_EQ(empty.GetDataSize(), 0u);
    EXPECT_EQ(empty.GetData(), nullptr);
    EXPECT_EQ(empty.GetTag(), 0x20);
}

TYPED_TEST(KC1FrameTest, TelegramsWithoutFrameNeverReadOutsideIt)
{
    typename TypeParam::Receive response;
    EXPECT_EQ(response.GetAddr(), 0xFF);
    EXPECT_EQ(response.GetTagFlags(), 0xFF);
    EXPECT_EQ(response.GetTag(), 0xF0);
    EXPECT_EQ(response.GetFlags(), 0x0F);
    EXPECT_EQ(response.GetStatus1(), 0xFF);
    EXPECT_EQ(response.GetError1(), 0xFF);
    EXPECT_EQ(response.GetDataSize(), 0u);
    EXPECT_EQ(response.GetData(), nullptr);
    try
    {
        (void)response.GetCount();
        FAIL() << "GetCount of a frameless response must throw";
    }
    catch (const KMRCommException& e)
    {
        EXPECT_NE(std::string(e.GetDetails()).find("Unable to retrieve count byte"), std::string::npos);
    }

    typename TypeParam::Send request;
    EXPECT_EQ(request.GetAddr(), 0xFF);
    EXPECT_EQ(request.GetTag(), 0xFF);
    EXPECT_EQ(request.GetCmd(), 0xFF);
    EXPECT_EQ(request.GetCount(), 0x00FF);
    EXPECT_EQ(request.GetDataSize(), 0u);
    EXPECT_EQ(request.GetData(), nullptr);
}

TYPED_TEST(KC1FrameTest, SplitterFollowsTheStreamContract)
{
    struct Case
    {
        const char* name;
        Bytes input;
        ETelegramState state;
        unsigned int consumed; // 99 = untouched
    };
    const Bytes twoFrames = Concat(RESPONSE_NO_DATA, RESPONSE_TWO_BYTES);
    Bytes badChk1 = RESPONSE_TWO_BYTES;
    badChk1[8] ^= 0x01;
    Bytes badChk2 = RESPONSE_TWO_BYTES;
    badChk2[11] ^= 0x01;
    const Case cases[] = {
        {"empty", {}, ETelegramIncomplete, 99},
        {"one sync byte", {0x5A}, ETelegramIncomplete, 99},
        {"header cut", Bytes(RESPONSE_TWO_BYTES.begin(), RESPONSE_TWO_BYTES.begin() + 8), ETelegramIncomplete, 99},
        {"data cut", Bytes(RESPONSE_TWO_BYTES.begin(), RESPONSE_TWO_BYTES.end() - 1), ETelegramIncomplete, 99},
        {"no data", RESPONSE_NO_DATA, ETelegramComplete, 9},
        {"data", RESPONSE_TWO_BYTES, ETelegramComplete, 12},
        {"two frames", twoFrames, ETelegramComplete, 9},
        {"garbage then frame", Concat({0x00, 0x5A, 0x13}, RESPONSE_NO_DATA), ETelegramInvalid, 3},
        {"garbage only", {0x01, 0x02, 0x5A}, ETelegramInvalid, 3},
        {"bad second sync", {0x5A, 0x5A, 0xA5}, ETelegramInvalid, 1},
        {"bad Chk1", badChk1, ETelegramInvalid, 12},
        {"bad Chk2", Concat(badChk2, RESPONSE_NO_DATA), ETelegramInvalid, 12},
    };
    typename TypeParam::Receive splitter;
    for (const Case& c : cases)
    {
        unsigned int consumed = 99;
        EXPECT_EQ(splitter.SplitTelegram(c.input.data(), Len(c.input), consumed), c.state) << c.name;
        EXPECT_EQ(consumed, c.consumed) << c.name;
        EXPECT_EQ(splitter.IsTelegramValid(c.input.data(), Len(c.input)),
                  c.state == ETelegramComplete && c.consumed == c.input.size())
            << c.name;
    }
    unsigned int consumed = 99;
    EXPECT_EQ(splitter.SplitTelegram(nullptr, 5, consumed), ETelegramIncomplete);
}

TYPED_TEST(KC1FrameTest, ResponseConstructorRefusesAnythingButOneValidFrame)
{
    Bytes badChk2 = RESPONSE_TWO_BYTES;
    badChk2[11] ^= 0x01;
    for (const Bytes& bytes :
         {badChk2, Concat(RESPONSE_NO_DATA, {0x00}), Bytes(RESPONSE_NO_DATA.begin(), RESPONSE_NO_DATA.end() - 1)})
    {
        try
        {
            typename TypeParam::Receive response(bytes.data(), Len(bytes));
            FAIL() << "accepted an invalid response";
        }
        catch (const KMRException& e)
        {
            EXPECT_STREQ(e.GetUserTitle(), KMRException::GetTitleFromType(KMR_EXC_PLAUSIBILITY));
            EXPECT_STREQ(e.GetWhereText(), TypeParam::RECEIVE_WHERE);
            EXPECT_EQ(std::string(e.GetDetails()), "IsTelegramValid (pTelegram_i, iTelegramLen_i)");
        }
    }
}

TYPED_TEST(KC1FrameTest, Factories)
{
    typename TypeParam::ReceiveFactory responses;
    KMRTelegramPtr prototype(responses.CreateTelegram());
    EXPECT_EQ(prototype->GetSize(), 0u);
    KMRTelegramPtr response(
        responses.CreateTelegram(RESPONSE_TWO_BYTES.data(), static_cast<int>(Len(RESPONSE_TWO_BYTES))));
    EXPECT_EQ(FrameOf(*response), RESPONSE_TWO_BYTES);
    EXPECT_NE(dynamic_cast<typename TypeParam::Receive*>(response.get()), nullptr);
    EXPECT_THROW(responses.CreateTelegram(RESPONSE_TWO_BYTES.data(), -1), KMRException);
    EXPECT_THROW(responses.CreateTelegram(RESPONSE_TWO_BYTES.data(), 5), KMRException);

    typename TypeParam::SendFactory requests;
    KMRTelegramPtr request(requests.CreateTelegram(SET_INTENSITY_80.data(), static_cast<int>(Len(SET_INTENSITY_80))));
    EXPECT_NE(dynamic_cast<typename TypeParam::Send*>(request.get()), nullptr);
    EXPECT_EQ(request->GetSize(), 0u); // requests are not parsed from bytes
    KMRTelegramPtr empty(requests.CreateTelegram());
    EXPECT_EQ(empty->GetSize(), 0u);
}

TEST(KC1SendTelegramKinds, CommandTable)
{
    const std::pair<unsigned char, ETelegram> table[] = {
        {0x10, EPoll},
        {0x11, ESetContent},
        {0x12, EActivateContent},
        {0x15, EActivateContent},
        {0x16, EPerformLEDTest},
        {0x17, ENone},
        {0x18, EGetBrightness},
        {0x19, ENone},
        {0x1A, ESetConfiguration},
        {0x26, EPerformLEDTest},
        {0x28, ENone},
        {0x2A, ESetBrightness},
        {0x33, EGetActiveContentID},
        {0x43, ENone},
        {0x44, ENone},
        {0x50, ENone},
        {0xE1, EGetContent},
        {0x00, ENone},
        {0xF9, ENone},
    };
    for (const auto& [cmd, kind] : table)
    {
        KC1SendTelegram request(1, 0, cmd, nullptr, 0);
        EXPECT_EQ(request.GetTelegram(), kind) << static_cast<int>(cmd);
    }
}

TEST(KC1BlockCPUSendTelegramKinds, CommandTableWithBlockCommands)
{
    const std::pair<unsigned char, ETelegram> table[] = {
        {0x00, ESetContent},
        {0x10, EPoll},
        {0x11, ESetContent},
        {0x12, EActivateContent},
        {0x15, EActivateContent},
        {0x16, EPerformLEDTest},
        {0x17, ENone},
        {0x18, EGetBrightness},
        {0x19, ENone},
        {0x1A, ESetConfiguration},
        {0x26, EPerformLEDTest},
        {0x28, ENone},
        {0x2A, ESetBrightness},
        {0x33, EGetActiveContentID},
        {0x43, ENone},
        {0xE1, EGetContent},
        {0xF8, EPerformLEDTest},
        {0xF9, ESetBrightness},
        {0xFA, EActivateContent},
        {0xFB, ENone},
    };
    for (const auto& [cmd, kind] : table)
    {
        KC1BlockCPUSendTelegram request(1, 0, cmd, nullptr, 0);
        EXPECT_EQ(request.GetTelegram(), kind) << static_cast<int>(cmd);
    }
}

TEST(KC1BlockCPUSendTelegramKinds, BlockCommandsAreFullRequests)
{
    KC1BlockCPUSendTelegram sendPicture0(5, 0x10, KC1BlockCPUTelegram::CMD_BLOCK_SENDPICTURE0, nullptr, 0);
    EXPECT_EQ(FrameOf(sendPicture0), (Bytes{0x5A, 0xA5, 0x05, 0x00, 0x01, 0x10, 0xEB, 0x00, 0x00}));
    EXPECT_EQ(sendPicture0.GetTelegram(), ESetContent);

    const unsigned char value = 0x80;
    KC1BlockCPUSendTelegram setIntensity(5, 0x10, KC1BlockCPUTelegram::CMD_BLOCK_SETINTENSITY, &value, 1);
    EXPECT_EQ(FrameOf(setIntensity), (Bytes{0x5A, 0xA5, 0x05, 0x00, 0x02, 0x10, 0xEA, 0xF9, 0x80, 0x87}));
    EXPECT_EQ(setIntensity.GetTelegram(), ESetBrightness);
}
