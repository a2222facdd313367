// Request factory: command data layouts, content and firmware sequences, and parsing requests from bytes.
#include <KMRComm/KMRKCSendTelegramFactory.h>

#include <KMRBase/KMRException.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

#include <memory>

namespace
{
Bytes Ramp(unsigned int size_i)
{
    Bytes content(size_i);
    for (unsigned int i = 0; i < size_i; ++i)
        content[i] = static_cast<unsigned char>(i * 7 + 3);
    return content;
}

Bytes Slice(const Bytes& b_i, unsigned int first_i, unsigned int count_i)
{
    return Bytes(b_i.begin() + first_i, b_i.begin() + first_i + count_i);
}

class KMRKCSendTelegramFactoryTest : public ::testing::Test
{
protected:
    KMRKCSendTelegramFactory m_Factory;
    UseSubAddressScope m_Order{true};
};
} // namespace

TEST_F(KMRKCSendTelegramFactoryTest, CommandDataLayouts)
{
    struct Case
    {
        const char* what;
        std::unique_ptr<KCSendTelegram> request;
        unsigned char cmd;
        Bytes data;
    };
    const unsigned char group[] = {0x01, 0x02, 0x03};
    Case cases[] = {
        {"GetStatus", std::unique_ptr<KCSendTelegram>(m_Factory.CreateGetStatusTelegram(1, 0, 0x10)), 0x01, {}},
        {"SetSlaveAddress", std::unique_ptr<KCSendTelegram>(m_Factory.CreateSetSlaveAddressTelegram(1, 0, 0x10, 9)),
         0x02, {0x09}},
        {"SetGroupAddress",
         std::unique_ptr<KCSendTelegram>(m_Factory.CreateSetGroupAddressTelegram(1, 0, 0x10, group, 3)), 0x04,
         {0x01, 0x02, 0x03}},
        {"SetDateTime",
         std::unique_ptr<KCSendTelegram>(m_Factory.CreateSetDateTimeTelegram(1, 0, 0x10, 24, 5, 17, 13, 45, 30)),
         0x08, {24, 5, 17, 13, 45, 30}},
        {"DeleteContentID",
         std::unique_ptr<KCSendTelegram>(m_Factory.CreateDeleteContentIDTelegram(1, 0, 0x10, 0xABCD)), 0x13,
         {0xAB, 0xCD}},
        {"StartUpload",
         std::unique_ptr<KCSendTelegram>(m_Factory.CreateStartUploadTelegram(1, 0, 0x10, 3, 0x1234, 50, 0x7F, 1)),
         0x16, {0x00, 0x02, 0x12, 0x34, 0x32, 0x7F, 0x01}},
        {"StartDownload", std::unique_ptr<KCSendTelegram>(m_Factory.CreateStartDownloadTelegram(1, 0, 0x10, 0x0102, 4)),
         0x18, {0x01, 0x02, 0x04}},
        {"GetContent", std::unique_ptr<KCSendTelegram>(m_Factory.CreateGetContentTelegram(1, 0, 0x10, 0x0005)), 0x1B,
         {0x00, 0x05}},
        {"ActivateContent", std::unique_ptr<KCSendTelegram>(m_Factory.CreateActivateContentTelegram(1, 0, 0x10, 0x0102)),
         0x1C, {0x01, 0x02}},
        {"ActivateContentSignalgeever",
         std::unique_ptr<KCSendTelegram>(m_Factory.CreateActivateContentSignalgeeverTelegram(1, 0, 0x10, 0x0102, 7)),
         0x1C, {0x01, 0x02, 0x07}},
        {"SetAutoDimming",
         std::unique_ptr<KCSendTelegram>(m_Factory.CreateSetAutoDimmingTelegram(1, 0, 0x10, 0x0102, 0x0304, 0x0506, 7)),
         0x28, {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07}},
        {"SetComTimeout", std::unique_ptr<KCSendTelegram>(m_Factory.CreateSetComTimeoutTelegram(1, 0, 0x10, 0x01020304)),
         0x38, {0x01, 0x02, 0x03, 0x04}},
        {"SetLedErrorFilter",
         std::unique_ptr<KCSendTelegram>(m_Factory.CreateSetLedErrorFilterTelegram(1, 0, 0x10, 0xA0B0C0D0)), 0x3C,
         {0xA0, 0xB0, 0xC0, 0xD0}},
        {"SetComTimeoutContent",
         std::unique_ptr<KCSendTelegram>(m_Factory.CreateSetComTimeoutContentTelegram(1, 0, 0x10, 0x0A0B, 0x0C)), 0x44,
         {0x0A, 0x0B, 0x0C}},
        {"GetAsyncFWData", std::unique_ptr<KCSendTelegram>(m_Factory.CreateGetAsyncFWDataTelegram(1, 0, 0x10)), 0xF0,
         {}},
        {"StartUploadFirmware",
         std::unique_ptr<KCSendTelegram>(
             m_Factory.CreateStartUploadFirmwareTelegram(1, 0, 0x10, 0x0100, 17, 0xBEEF, 0x11223344, 1)),
         0xF1, {0x00, 0xFF, 17, 0xBE, 0xEF, 0x11, 0x22, 0x33, 0x44, 0x01, 0x00, 0x00}},
        {"ResetController", std::unique_ptr<KCSendTelegram>(m_Factory.CreateResetControllerTelegram(1, 0, 0x10)), 0x12,
         {}},
        {"ResetFWController", std::unique_ptr<KCSendTelegram>(m_Factory.CreateResetFWController(1, 0, 0x10)), 0xF5,
         {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_NE(c.request, nullptr);
        EXPECT_EQ(c.request->GetCmd(), c.cmd);
        // The bytes between command and Chk2 (GetData would skip the counter of 0x1B as a
        // sequence number).
        const unsigned char* frame = c.request->GetTelegramStream();
        EXPECT_EQ(Bytes(frame + 8, frame + c.request->GetSize() - 1), c.data);
        EXPECT_EQ(c.request->GetAddr(), 1);
        EXPECT_EQ(c.request->GetTag(), 0x10);
        EXPECT_TRUE(c.request->IsTelegramValid(c.request->GetTelegramStream(), c.request->GetSize()));
    }
}

TEST_F(KMRKCSendTelegramFactoryTest, ContentSequencesRunDownFromTheFirstBytes)
{
    const Bytes content = Ramp(300);
    struct Case
    {
        unsigned short counter;
        unsigned int first;
        unsigned int count;
    };
    for (const Case& c : {Case{2, 0, 125}, Case{1, 125, 125}, Case{0, 250, 50}})
    {
        SCOPED_TRACE(c.counter);
        std::unique_ptr<KCSendTelegram> request(m_Factory.CreateSetContentTelegram(1, 0, 0x20, content.data(), 300, 0,
                                                                                   c.counter));
        ASSERT_NE(request, nullptr);
        EXPECT_EQ(request->GetCmd(), KCTelegram::CMD_SETCONTENT);
        EXPECT_EQ(request->GetSize(), 11 + c.count);
        EXPECT_EQ(request->GetSequenceCnt(), c.counter);
        EXPECT_EQ(DataOf(*request), Slice(content, c.first, c.count));
    }
    std::unique_ptr<KCSendTelegram> lastOfExactMultiple(
        m_Factory.CreateSetContentTelegram(1, 0, 0x20, content.data(), 250, 0, 0));
    ASSERT_NE(lastOfExactMultiple, nullptr);
    EXPECT_EQ(DataOf(*lastOfExactMultiple), Slice(content, 125, 125));
}

TEST_F(KMRKCSendTelegramFactoryTest, FirmwareSequencesUseTheExtendedLayout)
{
    const Bytes image = Ramp(129);
    std::unique_ptr<KCSendTelegram> first(m_Factory.CreateSetContentFirmwareTelegram(1, 0, 0x20, image.data(), 129, 1));
    std::unique_ptr<KCSendTelegram> last(m_Factory.CreateSetContentFirmwareTelegram(1, 0, 0x20, image.data(), 129, 0));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(first->GetCmd(), KCTelegram::CMD_SETCONTENTFIRMWARE);
    EXPECT_EQ(first->GetSize(), 11u + 128u);
    EXPECT_EQ(first->GetCount(), 131);
    // 0xF3 classifies as basic: the generic reader sees the sequence bytes as data.
    EXPECT_EQ(DataOf(*first), Concat({0x00, 0x01}, Slice(image, 0, 128)));
    EXPECT_EQ(last->GetSize(), 12u);
    EXPECT_EQ(last->GetTelegramStream()[10], image[128]);
}

TEST_F(KMRKCSendTelegramFactoryTest, SequenceCountersOutsideTheContentGiveNull)
{
    const Bytes content = Ramp(300);
    EXPECT_EQ(m_Factory.CreateSetContentTelegram(1, 0, 0x20, content.data(), 300, 0, 3), nullptr);
    EXPECT_EQ(m_Factory.CreateSetContentTelegram(1, 0, 0x20, content.data(), 300, 0, 0xFFFF), nullptr);
    EXPECT_EQ(m_Factory.CreateSetContentTelegram(1, 0, 0x20, content.data(), 0, 0, 0), nullptr);
    EXPECT_EQ(m_Factory.CreateSetContentTelegram(1, 0, 0x20, nullptr, 300, 0, 0), nullptr);
    EXPECT_EQ(m_Factory.CreateSetContentFirmwareTelegram(1, 0, 0x20, content.data(), 256, 2), nullptr);
}

TEST_F(KMRKCSendTelegramFactoryTest, TelegramFactoryInterface)
{
    IKMRTelegramFactory& factory = m_Factory;
    KMRTelegramPtr prototype(factory.CreateTelegram());
    ASSERT_NE(prototype, nullptr);
    EXPECT_EQ(prototype->GetSize(), 0u);

    const Bytes poll = {0x5A, 0xA5, 0x01, 0x00, 0x01, 0x10, 0xEF, 0x01, 0xFF};
    KMRTelegramPtr parsed(factory.CreateTelegram(poll.data(), 9));
    EXPECT_EQ(FrameOf(*parsed), poll);
    EXPECT_EQ(parsed->GetTelegram(), EPoll);
    EXPECT_THROW(factory.CreateTelegram(poll.data(), 8), KMRException);
    EXPECT_THROW(factory.CreateTelegram(poll.data(), -1), KMRException);

    KMRTelegramPtr built(m_Factory.CreateTelegram(1, 0, 0x10, 0x01, nullptr, 0));
    EXPECT_EQ(FrameOf(*built), poll);
}
