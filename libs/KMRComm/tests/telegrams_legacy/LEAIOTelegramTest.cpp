// LEAIO frames: request layout and checksum, response accessors, the never-throwing splitter and constructor errors.
#include <KMRComm/KMRCommException.h>
#include <KMRComm/LEAIOReceiveTelegram.h>
#include <KMRComm/LEAIOSendTelegram.h>

#include <KMRBase/KMRException.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
const Bytes READLUM_RESPONSE = {0x80, 0x3C, 0x3C, 0x12, 0x34, 0x41, 0x7E, 0x00};

unsigned int Len(const Bytes& b_i)
{
    return static_cast<unsigned int>(b_i.size());
}

class OpenLEAIOReceiveTelegram : public LEAIOReceiveTelegram
{
public:
    using LEAIOReceiveTelegram::FindTelegramStart;
};
} // namespace

TEST(LEAIOSendTelegram, ReadLuminosityIsAlwaysSixBytes)
{
    LEAIOSendTelegram request(0x81, 0x3C, LEAIOTelegram::CMD_READLUM);
    EXPECT_EQ(FrameOf(request), (Bytes{0x31, 0x3C, 0x3C, 0x40, 0x69, 0x00}));
    EXPECT_EQ(request.GetAddr(), 0x31);
    EXPECT_EQ(request.GetTag(), 0x3C);
    EXPECT_EQ(request.GetCmd(), 0x3C);
    EXPECT_EQ(request.GetTelegram(), EGetCategoryValues);
    EXPECT_EQ(request.GetCount(), 2);
    EXPECT_EQ(DataOf(request), (Bytes{0x3C, 0x3C}));

    const Bytes ignored = {0x01, 0x02};
    LEAIOSendTelegram withData(0x81, 0x3C, LEAIOTelegram::CMD_READLUM, ignored.data(), 2);
    EXPECT_EQ(FrameOf(withData), FrameOf(request));
}

TEST(LEAIOSendTelegram, DataAndChecksumBytes)
{
    const Bytes data = {0xFF, 0xFF, 0xFF};
    // Address 0x10 wraps to 0xC0; sum 0xC0 + 0x01 + 0x44 + 3 * 0xFF = 0x402.
    LEAIOSendTelegram request(0x10, 0x01, LEAIOTelegram::CMD_WRITE_DO, data.data(), 3);
    EXPECT_EQ(FrameOf(request), (Bytes{0xC0, 0x01, 0x44, 0xFF, 0xFF, 0xFF, 0x44, 0x42, 0x00}));
    EXPECT_TRUE(request.IsChecksumCorrect(0, request.GetTelegramStream(), request.GetSize() - 2));
    EXPECT_FALSE(request.IsTelegramValid(request.GetTelegramStream(), request.GetSize()));

    const std::pair<unsigned char, ETelegram> kinds[] = {{0x35, ENone},
                                                         {0x37, EGetCategoryValues},
                                                         {0x38, EGetCategoryValues},
                                                         {0x39, EGetCategoryValues},
                                                         {0x3c, EGetCategoryValues},
                                                         {0x43, ENone},
                                                         {0x44, EGetCategoryValues},
                                                         {0x45, EGetCategoryValues},
                                                         {0x46, EGetCategoryValues},
                                                         {0x10, ENone}};
    for (const auto& [cmd, kind] : kinds)
    {
        LEAIOSendTelegram r(0x81, 0, cmd);
        EXPECT_EQ(r.GetTelegram(), kind) << static_cast<int>(cmd);
        EXPECT_EQ(r.DetermineSendTelegramTypeFromCmd(), cmd == 0x43 || cmd == 0x10 ? ENone : EGetCategoryValues);
    }

    LEAIOSendTelegram empty;
    EXPECT_EQ(empty.GetAddr(), 0xFF);
    EXPECT_EQ(empty.GetTag(), 0xFF);
    EXPECT_EQ(empty.GetCount(), 0x00FF);
    EXPECT_EQ(empty.GetDataSize(), 0u);
    EXPECT_EQ(empty.GetData(), nullptr);
}

TEST(LEAIOReceiveTelegram, ResponseAccessors)
{
    LEAIOReceiveTelegram response(READLUM_RESPONSE.data(), Len(READLUM_RESPONSE));
    EXPECT_EQ(response.GetAddr(), 0x80);
    EXPECT_EQ(response.GetSubAddr(), 0xFF);
    EXPECT_EQ(response.GetTag(), 0);
    EXPECT_EQ(response.GetCmd(), 0x3C);
    EXPECT_EQ(response.GetCount(), 2);
    EXPECT_EQ(DataOf(response), (Bytes{0x12, 0x34}));
    EXPECT_EQ(response.GetCountEx(), 3);
    ASSERT_NE(response.GetDataEx(), nullptr);
    EXPECT_EQ(response.GetDataEx(), response.GetTelegramStream() + 2);
    EXPECT_FALSE(response.IsSuccessful());
    EXPECT_EQ(response.GetTelegram(), ENone);
    EXPECT_EQ(response.DetermineTelegramFromCmd(0x35), EOnGetCategoryValues);
    EXPECT_EQ(response.DetermineTelegramFromCmd(0x43), ENone);
    EXPECT_TRUE(response.IsChecksumCorrect(0, READLUM_RESPONSE.data(), Len(READLUM_RESPONSE) - 2));

    LEAIOReceiveTelegram copy(response);
    EXPECT_EQ(FrameOf(copy), READLUM_RESPONSE);
    EXPECT_NE(copy.GetTelegramStream(), response.GetTelegramStream());

    const Bytes shortest = {0x80, 0x3C, 0x00};
    LEAIOReceiveTelegram tiny(shortest.data(), 3);
    EXPECT_EQ(tiny.GetCount(), 0);
    EXPECT_EQ(tiny.GetData(), nullptr);
    EXPECT_EQ(tiny.GetCountEx(), 0);
    EXPECT_EQ(tiny.GetDataEx(), nullptr);
}

TEST(LEAIOReceiveTelegram, SplitterNeverThrows)
{
    struct Case
    {
        Bytes input;
        ETelegramState state;
        unsigned int consumed; // 99 = untouched
    };
    const Case cases[] = {
        {{}, ETelegramIncomplete, 99},
        {{0x80}, ETelegramIncomplete, 99},
        {{0x80, 0x3C}, ETelegramIncomplete, 99},
        {READLUM_RESPONSE, ETelegramComplete, 8},
        {{0x81, 0x3C}, ETelegramInvalid, 2},             // Address byte must be 0x80
        {{0x81, 0x3C, 0x80, 0x3C}, ETelegramInvalid, 2}, // up to the next 0x80
        {{0x80, 0x3D, 0x00}, ETelegramInvalid, 3},       // Tag byte must be 0x3C
        {{0x80, 0x3C, 0x3C, 0x12}, ETelegramInvalid, 4}, // CR byte must be 0x00
    };
    OpenLEAIOReceiveTelegram splitter;
    for (const Case& c : cases)
    {
        unsigned int consumed = 99;
        EXPECT_NO_THROW(EXPECT_EQ(splitter.SplitTelegram(c.input.data(), Len(c.input), consumed), c.state));
        EXPECT_EQ(consumed, c.consumed);
        bool valid = true;
        EXPECT_NO_THROW(valid = splitter.IsTelegramValid(c.input.data(), Len(c.input)));
        EXPECT_EQ(valid, c.state == ETelegramComplete);
    }
    unsigned int pos = 0;
    EXPECT_TRUE(OpenLEAIOReceiveTelegram::FindTelegramStart(READLUM_RESPONSE.data(), 8, 0, pos));
    EXPECT_EQ(pos, 0u);
    EXPECT_FALSE(OpenLEAIOReceiveTelegram::FindTelegramStart(READLUM_RESPONSE.data(), 8, 1, pos));
}

TEST(LEAIOReceiveTelegram, ConstructorNamesTheWrongByte)
{
    const std::pair<Bytes, const char*> markerCases[] = {
        {{0x81, 0x3C, 0x00}, "Address byte must be 0x80"},
        {{0x80, 0x3D, 0x00}, "Tag byte must be 0x3C"},
        {{0x80, 0x3C, 0x3C, 0x12}, "CR byte must be 0x00"},
    };
    for (const auto& [bytes, details] : markerCases)
    {
        try
        {
            LEAIOReceiveTelegram response(bytes.data(), Len(bytes));
            FAIL() << details;
        }
        catch (const KMRCommException& e)
        {
            EXPECT_STREQ(e.GetDetails(), details);
        }
    }
    const Bytes tooShort = {0x80, 0x3C};
    try
    {
        LEAIOReceiveTelegram response(tooShort.data(), 2);
        FAIL() << "accepted two bytes";
    }
    catch (const KMRCommException&)
    {
        FAIL() << "a short frame is not a marker defect";
    }
    catch (const KMRException& e)
    {
        EXPECT_STREQ(e.GetDetails(), "IsTelegramValid (pTelegram_i, iTelegramLen_i)");
        EXPECT_STREQ(e.GetWhereText(), "LEAIOReceiveTelegram::InitializeTelegram");
    }
}
