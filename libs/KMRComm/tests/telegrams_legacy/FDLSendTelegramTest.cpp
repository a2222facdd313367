// FDL request frames: short and variable frames, SAPs, function codes, frame count bits, length limit.
#include <KMRComm/FDLSendTelegram.h>

#include <KMRBase/KMRException.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

namespace
{
FDLTelegram::EFDLType Type(int value_i)
{
    return static_cast<FDLTelegram::EFDLType>(value_i);
}
} // namespace

TEST(FDLSendTelegram, ShortFrameRequestsTheFdlStatus)
{
    FDLSendTelegram status(3, 0, Type(9));
    EXPECT_EQ(FrameOf(status), (Bytes{0x10, 0x03, 0x00, 0x49, 0x4C, 0x16}));
    EXPECT_EQ(status.GetAddr(), 3);
    EXPECT_EQ(status.GetSubAddr(), 0);
    EXPECT_EQ(status.GetCmd(), 0x49);
    EXPECT_EQ(status.GetCount(), 0);
    EXPECT_EQ(status.GetData(), nullptr);
    EXPECT_EQ(status.GetTelegram(), ENone);
    EXPECT_TRUE(status.IsSuccessful());
    EXPECT_TRUE(status.IsChecksumCorrect(0x4C, status.GetTelegramStream() + 1, 3));
}

TEST(FDLSendTelegram, FunctionCodePerService)
{
    const std::pair<int, unsigned char> table[] = {{0, 0x46}, {1, 0x44}, {2, 0x45}, {3, 0x43}, {4, 0x4D},  {5, 0x4C},
                                                   {6, 0x40}, {7, 0x47}, {8, 0x40}, {9, 0x49}, {12, 0x40}, {-1, 0x40}};
    for (const auto& [type, code] : table)
        EXPECT_EQ(FDLSendTelegram(1, 2, Type(type)).GetCmd(), code) << type;
}

TEST(FDLSendTelegram, VariableFrameWithSaps)
{
    FDLSendTelegram diagnosis(3, 0, Type(4), 0, 1, 60, 62, nullptr, 0);
    EXPECT_EQ(FrameOf(diagnosis), (Bytes{0x68, 0x05, 0x05, 0x68, 0x83, 0x80, 0x6D, 0x3C, 0x3E, 0xEA, 0x16}));
    EXPECT_EQ(diagnosis.GetAddr(), 3);
    EXPECT_EQ(diagnosis.GetSubAddr(), 0);
    EXPECT_EQ(diagnosis.GetCount(), 5);
    EXPECT_EQ(diagnosis.GetDataSize(), 0u);

    const Bytes data = {0x5E, 0x00, 0x00, 0xF0};
    FDLSendTelegram read(3, 0, Type(4), 0, 1, 48, 50, data.data(), 4);
    EXPECT_EQ(FrameOf(read),
              (Bytes{0x68, 0x09, 0x09, 0x68, 0x83, 0x80, 0x6D, 0x30, 0x32, 0x5E, 0x00, 0x00, 0xF0, 0x20, 0x16}));
    EXPECT_EQ(DataOf(read), data);
}

TEST(FDLSendTelegram, VariableFrameWithoutSapsAndFrameCountBits)
{
    const Bytes outputs(6, 0x00);
    FDLSendTelegram exchange(3, 0, Type(4), 0, 1, outputs.data(), 6);
    EXPECT_EQ(FrameOf(exchange),
              (Bytes{0x68, 0x09, 0x09, 0x68, 0x03, 0x00, 0x6D, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x70, 0x16}));
    EXPECT_EQ(DataOf(exchange), outputs);

    // Only the value 1 sets a frame count bit.
    const std::tuple<unsigned char, unsigned char, unsigned char> bits[] = {
        {0, 0, 0x4D}, {1, 0, 0x5D}, {0, 1, 0x6D}, {1, 1, 0x7D}, {2, 2, 0x4D}};
    for (const auto& [fcv, fcb, code] : bits)
        EXPECT_EQ(FDLSendTelegram(3, 0, Type(4), fcv, fcb, nullptr, 0).GetCmd(), code);
}

TEST(FDLSendTelegram, LengthByteNeverWraps)
{
    const Bytes data(260, 0xA5);
    FDLSendTelegram longest(3, 0, Type(4), 0, 1, 60, 62, data.data(), 244);
    EXPECT_EQ(longest.GetSize(), 255u);
    EXPECT_EQ(longest.GetCount(), 249);
    EXPECT_EQ(longest.GetTelegramStream()[2], 249);
    EXPECT_EQ(longest.GetDataSize(), 244u);
    EXPECT_EQ(FDLSendTelegram(3, 0, Type(4), 0, 1, data.data(), 246).GetCount(), 249);

    EXPECT_THROW(FDLSendTelegram(3, 0, Type(4), 0, 1, 60, 62, data.data(), 245), KMRException);
    EXPECT_THROW(FDLSendTelegram(3, 0, Type(4), 0, 1, data.data(), 247), KMRException);
    EXPECT_THROW(FDLSendTelegram(3, 0, Type(4), 0, 1, data.data(), 253), KMRException); // LE would wrap to 0
}

TEST(FDLSendTelegram, BuildsOnlyIntoAnEmptyTelegramAndCopiesOwnBytes)
{
    FDLSendTelegram telegram;
    EXPECT_EQ(telegram.GetSize(), 0u);
    EXPECT_EQ(telegram.GetAddr(), 0xFF);
    EXPECT_EQ(telegram.GetDataSize(), 0u);
    // Null data with a length gives zero bytes, never uninitialised memory.
    telegram.InitializeTelegram(5, 1, Type(3), 1, 0, nullptr, 2);
    EXPECT_EQ(FrameOf(telegram), (Bytes{0x68, 0x05, 0x05, 0x68, 0x05, 0x01, 0x53, 0x00, 0x00, 0x59, 0x16}));
    EXPECT_THROW(telegram.InitializeTelegram(5, 1, Type(3), 1, 0, nullptr, 0), KMRException);

    FDLSendTelegram copy(telegram);
    EXPECT_EQ(FrameOf(copy), FrameOf(telegram));
    EXPECT_NE(copy.GetTelegramStream(), telegram.GetTelegramStream());
    unsigned int consumed = 0;
    EXPECT_EQ(copy.SplitTelegram(copy.GetTelegramStream(), copy.GetSize(), consumed), ETelegramInvalid);
    EXPECT_EQ(consumed, copy.GetSize());
    EXPECT_FALSE(copy.IsTelegramValid(copy.GetTelegramStream(), copy.GetSize()));
}
