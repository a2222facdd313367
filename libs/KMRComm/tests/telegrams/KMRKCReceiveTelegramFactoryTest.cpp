// Response factory and address-order configuration: the controller's answers and parsing responses from bytes.
#include <KMRComm/KMRKCReceiveTelegramFactory.h>

#include <KMRBase/KMRException.h>
#include <KMRComm/KMRKCTelegramConfig.h>

#include "telegrams/TelegramTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

namespace
{
Bytes Ramp(unsigned int size_i)
{
    Bytes content(size_i);
    for (unsigned int i = 0; i < size_i; ++i)
        content[i] = static_cast<unsigned char>(i * 5 + 1);
    return content;
}

class KMRKCReceiveTelegramFactoryTest : public ::testing::Test
{
protected:
    KMRKCReceiveTelegramFactory m_Factory;
    UseSubAddressScope m_Order{true};
};

using ResponsePtr = std::unique_ptr<KCReceiveTelegram>;
} // namespace

TEST_F(KMRKCReceiveTelegramFactoryTest, StatusAnswerCarriesFlagsAndStatusBytes)
{
    ResponsePtr status(m_Factory.CreateOnGetStatusTelegram(1, 0, 0x20, 0x01, 0x80, 0, 0));
    EXPECT_TRUE(status->IsSuccessful());
    EXPECT_TRUE(status->IsTelegramBusy());
    EXPECT_EQ(status->GetCmd(), 0x01);
    EXPECT_EQ(status->GetDataSize(), 0u);
    EXPECT_EQ(status->GetTagFlags(), 0x21);
    EXPECT_EQ(status->GetTelegram(), EOnPoll);
}

TEST_F(KMRKCReceiveTelegramFactoryTest, AnswerDataLayouts)
{
    const unsigned short values[] = {0x0102, 0x0304};
    const unsigned char group[] = {0x07, 0x08};
    struct Case
    {
        const char* what;
        ResponsePtr response;
        unsigned char cmd;
        Bytes data;
        unsigned char status1;
    };
    Case cases[] = {
        {"GetSlaveAddress", ResponsePtr(m_Factory.CreateOnGetSlaveAddressTelegram(1, 0, 0x20, 1, 0x04, 0, 0, 42)), 0x03,
         {42}, 0x04},
        {"GetGroupAddress", ResponsePtr(m_Factory.CreateOnGetGroupAddressTelegram(1, 0, 0x20, 1, group, 2)), 0x05,
         {0x07, 0x08}, 0},
        {"GetBrightness", ResponsePtr(m_Factory.CreateOnGetBrightnessTelegram(1, 0, 0x20, 1, 99)), 0x07, {99}, 0},
        {"GetDateTime", ResponsePtr(m_Factory.CreateOnGetDateTimeTelegram(1, 0, 0x20, 1, 1, 2, 3, 4, 5, 6)), 0x09,
         {1, 2, 3, 4, 5, 6}, 0},
        {"GetSoftwareVersion", ResponsePtr(m_Factory.CreateOnGetSoftwareVersionTelegram(1, 0, 0x20, 1, 3, 14)), 0x0B,
         {3, 14}, 0},
        {"GetCategoryValues one", ResponsePtr(m_Factory.CreateOnGetCategoryValuesTelegram(1, 0, 0x20, 1, 0xA1B2)),
         0x0D, {0xA1, 0xB2}, 0},
        {"GetCategoryValues many", ResponsePtr(m_Factory.CreateOnGetCategoryValuesTelegram(1, 0, 0x20, 1, values, 2)),
         0x0D, {0x02, 0x01, 0x04, 0x03}, 0},
        {"GetControllerID",
         ResponsePtr(m_Factory.CreateOnGetControllerIDTelegram(1, 0, 0x20, 1, 1, 2, 3, 4, 5, 6, 7, 8)), 0x11,
         {1, 2, 3, 4, 5, 6, 7, 8}, 0},
        {"GetFileSize", ResponsePtr(m_Factory.CreateOnGetFileSizeTelegram(1, 0, 0x20, 1, 0, 0, 0x04, 0x00012345)),
         0x15, {0x00, 0x01, 0x23, 0x45}, 0},
        {"StartDownload", ResponsePtr(m_Factory.CreateOnStartDownloadTelegram(1, 0, 0x20, 1, 3)), 0x18, {0x00, 0x02},
         0},
        {"SetContent", ResponsePtr(m_Factory.CreateOnSetContentTelegram(1, 0, 0x20, 1, 0x80, 0, 0, 0x0102, 9)), 0x1A,
         {}, 0x80},
        {"GetFreeMemory", ResponsePtr(m_Factory.CreateOnGetFreeMemoryTelegram(1, 0, 0x20, 1, 0x0A0B0C0D)), 0x22,
         {0x0A, 0x0B, 0x0C, 0x0D}, 0},
        {"GetAutoDimming", ResponsePtr(m_Factory.CreateOnGetAutoDimming(1, 0, 0x20, 1, 0x0102, 0x0304, 0x0506, 7)),
         0x29, {1, 2, 3, 4, 5, 6, 7}, 0},
        {"SetAutoDimming", ResponsePtr(m_Factory.CreateOnSetAutoDimming(1, 0, 0x20, 1)), 0x28, {}, 0},
        {"ActivateContent", ResponsePtr(m_Factory.CreateOnActivateContentTelegram(1, 0, 0x20, 1)), 0x1C, {}, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        ASSERT_NE(c.response, nullptr);
        EXPECT_EQ(c.response->GetCmd(), c.cmd);
        EXPECT_EQ(c.response->GetStatus1(), c.status1);
        EXPECT_TRUE(c.response->IsSuccessful());
        // Every answer must survive the trip through the stream splitter and the parser.
        unsigned int consumed = 0;
        KCReceiveTelegram splitter;
        ASSERT_EQ(splitter.SplitTelegram(c.response->GetTelegramStream(), c.response->GetSize(), consumed),
                  ETelegramComplete);
        EXPECT_EQ(consumed, c.response->GetSize());
        KMRTelegramPtr parsed(m_Factory.CreateTelegram(c.response->GetTelegramStream(),
                                                       static_cast<int>(c.response->GetSize())));
        EXPECT_EQ(parsed->GetTelegram(), c.response->GetTelegram());
        if (!c.response->IsExtendedTelegram())
        {
            EXPECT_EQ(DataOf(*c.response), c.data);
        }
    }
    // 0x1A is an extended command: its counter reads as the sequence number.
    EXPECT_EQ(cases[10].response->GetSequenceCnt(), 0x0102u);
    EXPECT_EQ(DataOf(*cases[10].response), Bytes{9});
}

TEST_F(KMRKCReceiveTelegramFactoryTest, ContentSequenceAnswers)
{
    const Bytes content = Ramp(260);
    ResponsePtr last(m_Factory.CreateOnGetContentTelegram(1, 0, 0x20, 1, content.data(), 260, 0));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->GetSequenceCnt(), 0u);
    EXPECT_EQ(DataOf(*last), Bytes(content.begin() + 250, content.end()));
    ResponsePtr first(m_Factory.CreateOnGetContentTelegram(1, 0, 0x20, 1, content.data(), 260, 2));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetSequenceCnt(), 2u);
    EXPECT_EQ(DataOf(*first), Bytes(content.begin(), content.begin() + 125));

    ResponsePtr empty(m_Factory.CreateOnGetContentTelegram(1, 0, 0x20, 1, nullptr, 0, 0));
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->IsExtendedTelegram());
    EXPECT_EQ(empty->GetDataSize(), 0u);

    EXPECT_EQ(m_Factory.CreateOnGetContentTelegram(1, 0, 0x20, 1, content.data(), 260, 3), nullptr);
    EXPECT_EQ(m_Factory.CreateOnGetContentTelegram(1, 0, 0x20, 1, nullptr, 260, 0), nullptr);
}

TEST_F(KMRKCReceiveTelegramFactoryTest, WholeDownloadInContentOrder)
{
    std::list<KCReceiveTelegram*> out;
    m_Factory.CreateOnGetContentTelegrams(1, 0, 0x20, 1, 0, 0, 0, nullptr, 0, out);
    EXPECT_TRUE(out.empty());

    const Bytes content = Ramp(251);
    m_Factory.CreateOnGetContentTelegrams(1, 0, 0x20, 1, 0x80, 0, 0, content.data(), 251, out);
    ASSERT_EQ(out.size(), 3u);
    Bytes joined;
    for (KCReceiveTelegram* response : out)
    {
        EXPECT_EQ(response->GetCmd(), KCTelegram::CMD_GETCONTENT);
        EXPECT_EQ(response->GetStatus1(), 0x80);
        // Plain frames: the content follows the command byte directly.
        joined.insert(joined.end(), response->GetTelegramStream() + 11,
                      response->GetTelegramStream() + response->GetSize() - 1);
        KMRAbstractTelegram::Release(response);
    }
    EXPECT_EQ(joined, content);
}

TEST_F(KMRKCReceiveTelegramFactoryTest, TelegramFactoryInterface)
{
    IKMRTelegramFactory& factory = m_Factory;
    KMRTelegramPtr prototype(factory.CreateTelegram());
    EXPECT_EQ(prototype->GetSize(), 0u);
    Bytes frame = {0x5A, 0xA5, 0x01, 0x00, 0x02, 0x21, 0x00, 0x00, 0x00, 0xDD, 0x07, 0x40, 0xB9};
    KMRTelegramPtr parsed(factory.CreateTelegram(frame.data(), static_cast<int>(frame.size())));
    EXPECT_EQ(parsed->GetTelegram(), EOnGetBrightness);
    EXPECT_EQ(DataOf(*parsed), Bytes{0x40});
    frame.back() ^= 0x01;
    EXPECT_THROW(factory.CreateTelegram(frame.data(), static_cast<int>(frame.size())), KMRException);
    EXPECT_THROW(factory.CreateTelegram(frame.data(), -5), KMRException);
}

TEST(KMRKCTelegramConfigTest, KeyedFlagsAndCopies)
{
    KMRKCTelegramConfig config;
    EXPECT_TRUE(config.GetUseSubAddress());
    EXPECT_FALSE(config.HasUseSubAddressKey(7));
    EXPECT_FALSE(config.GetUseSubAddress(7u));
    EXPECT_TRUE(config.HasUseSubAddressKey(7));
    config.SetUseSubAddress(8u, true);
    config.SetUseSubAddress(false);
    KMRKCTelegramConfig copy(config);
    EXPECT_FALSE(copy.GetUseSubAddress());
    EXPECT_TRUE(copy.GetUseSubAddress(8u));
    EXPECT_TRUE(copy.HasUseSubAddressKey(7));
    EXPECT_EQ(KMRKCTelegramConfig::GetKCTelegramConfig(), KMRKCTelegramConfig::GetKCTelegramConfig());
}

TEST(KMRKCTelegramConfigTest, FrameReadersFollowTheSettingAtEveryRead)
{
    UseSubAddressScope order(true);
    KMRKCReceiveTelegramFactory factory;
    ResponsePtr response(factory.CreateOnSetBrightnessTelegram(5, 2, 0x10, 1));
    EXPECT_EQ(response->GetAddr(), 5);
    KMRKCTelegramConfig::GetKCTelegramConfig()->SetUseSubAddress(false);
    // Read under the other setting, address and sub-address trade places.
    EXPECT_EQ(response->GetAddr(), 2);
    EXPECT_EQ(response->GetSubAddr(), 5);
}
