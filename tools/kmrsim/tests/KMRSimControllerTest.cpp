// Tests of the simulated controller's behaviour: modes, firmware and content transfers, service commands.
#include "KMRSim/KMRSimController.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

Bytes MakeImage(std::size_t size_i, uint8_t seed_i)
{
    Bytes image(size_i);
    for (std::size_t i = 0; i < size_i; ++i)
    {
        image[i] = static_cast<uint8_t>(seed_i + i * 7 + (i >> 8));
    }
    return image;
}

Bytes Counter(uint16_t counter_i, const Bytes& data_i = {})
{
    Bytes payload{static_cast<uint8_t>(counter_i >> 8), static_cast<uint8_t>(counter_i & 0xFF)};
    payload.insert(payload.end(), data_i.begin(), data_i.end());
    return payload;
}

// One sequence of a transfer: its counter and its bytes.
struct Sequence
{
    uint16_t counter;
    Bytes data;
};

// Cuts data into sequences of sequenceSize_i bytes with counters running down to 0.
std::vector<Sequence> CutSequences(const Bytes& data_i, std::size_t sequenceSize_i)
{
    std::vector<Sequence> sequences;
    const std::size_t count = (data_i.size() + sequenceSize_i - 1) / sequenceSize_i;
    for (std::size_t i = 0; i < count; ++i)
    {
        const auto begin = data_i.begin() + static_cast<std::ptrdiff_t>(i * sequenceSize_i);
        const auto end = i + 1 == count ? data_i.end() : begin + static_cast<std::ptrdiff_t>(sequenceSize_i);
        sequences.push_back({static_cast<uint16_t>(count - 1 - i), Bytes(begin, end)});
    }
    return sequences;
}

Bytes FirmwareStartBlock(const Bytes& image_i, int checksumOffset_i = 0)
{
    const std::size_t count = (image_i.size() + 127) / 128;
    const uint16_t checksum =
        static_cast<uint16_t>(KMRSimController::CalcFletcherChecksum(image_i.data(), image_i.size()) + checksumOffset_i);
    const auto last = static_cast<uint8_t>(image_i.size() - (count - 1) * 128);
    return {static_cast<uint8_t>((count - 1) >> 8), static_cast<uint8_t>(count - 1), last,
            static_cast<uint8_t>(checksum >> 8), static_cast<uint8_t>(checksum & 0xFF), 0x00, 0x02, 0x00, 0x00, 0x03,
            0x01, 0x00};
}

Bytes ContentStartBlock(const Bytes& content_i, uint16_t cid_i, uint8_t type_i, int checksumOffset_i = 0)
{
    const std::size_t count = (content_i.size() + 124) / 125;
    const auto last = static_cast<uint8_t>(content_i.size() - (count - 1) * 125);
    const auto checksum = static_cast<uint8_t>(
        KMRSimController::CalcContentChecksum(content_i.data(), content_i.size()) + checksumOffset_i);
    return {static_cast<uint8_t>((count - 1) >> 8),
            static_cast<uint8_t>(count - 1),
            static_cast<uint8_t>(cid_i >> 8),
            static_cast<uint8_t>(cid_i & 0xFF),
            last,
            checksum,
            type_i};
}

class KMRSimControllerTest : public ::testing::Test
{
protected:
    std::optional<KMRSimAnswer> Send(uint8_t cmd_i, const Bytes& payload_i = {}, std::optional<uint8_t> addr_i = {})
    {
        return m_controller.Handle({addr_i.value_or(m_controller.GetAddress()), 0, cmd_i, payload_i});
    }
    // Sends and expects an answer; returns it.
    KMRSimAnswer Ask(uint8_t cmd_i, const Bytes& payload_i = {}, std::optional<uint8_t> addr_i = {})
    {
        auto answer = Send(cmd_i, payload_i, addr_i);
        EXPECT_TRUE(answer.has_value()) << "no answer to command " << int(cmd_i);
        return answer.value_or(KMRSimAnswer{});
    }
    void EnterFirmwareMode()
    {
        ASSERT_TRUE(Ask(0xF4).accepted);
        ASSERT_TRUE(Ask(0x12).accepted);
        ASSERT_EQ(KMRSimController::EMode::Firmware, m_controller.GetMode());
    }

    KMRSimController m_controller;
};
} // namespace

TEST(KMRSimChecksums, FletcherAndContentChecksumsOfAbc)
{
    const Bytes abc{'a', 'b', 'c'};
    EXPECT_EQ(0x4C8C, KMRSimController::CalcFletcherChecksum(abc.data(), abc.size()));
    EXPECT_EQ(0xDA, KMRSimController::CalcContentChecksum(abc.data(), abc.size()));
}

TEST_F(KMRSimControllerTest, FirmwareUpdateOf300BytesFromUserModeBackToUserModeAt254)
{
    const Bytes image = MakeImage(300, 0x11);
    EXPECT_FALSE(Ask(0xF0).accepted) << "firmware poll in user mode is a NACK";
    EnterFirmwareMode();
    EXPECT_EQ(254, m_controller.GetAddress());
    EXPECT_FALSE(Send(0xF0, {}, 1).has_value()) << "the old address is silent in firmware mode";
    EXPECT_TRUE(Ask(0xF0).accepted);

    const Bytes start = FirmwareStartBlock(image);
    EXPECT_EQ((Bytes{0x00, 0x02, 0x2C}), Bytes(start.begin(), start.begin() + 3));
    KMRSimAnswer answer = Ask(0xF1, start);
    EXPECT_TRUE(answer.accepted);
    EXPECT_EQ(0, answer.error2);
    const std::vector<Sequence> sequences = CutSequences(image, 128);
    ASSERT_EQ(3u, sequences.size());
    EXPECT_EQ(44u, sequences[2].data.size());
    for (const Sequence& sequence : sequences)
    {
        answer = Ask(0xF3, Counter(sequence.counter, sequence.data));
        EXPECT_TRUE(answer.accepted);
        EXPECT_EQ(0, answer.error2) << "counter " << sequence.counter;
    }
    answer = Ask(0xF2);
    EXPECT_EQ(0, answer.error2);
    ASSERT_EQ(1u, m_controller.GetFirmwareImages().size());
    EXPECT_EQ(image, m_controller.GetFirmwareImages()[0]);

    EXPECT_TRUE(Ask(0xF5).accepted);
    EXPECT_EQ(KMRSimController::EMode::User, m_controller.GetMode());
    EXPECT_EQ(254, m_controller.GetAddress());
    EXPECT_TRUE(Ask(0x01).accepted);
    EXPECT_FALSE(Ask(0xF0).accepted);
    EXPECT_EQ(0, Ask(0x02, {7}).error2);
    EXPECT_EQ(7, m_controller.GetAddress());
    EXPECT_FALSE(Send(0x01, {}, 254).has_value());
}

// Every way a sender can get the sequences wrong; only an exact, complete transfer is stored.
TEST_F(KMRSimControllerTest, FirmwareSequenceFaultsAreReportedAndNothingWrongIsStored)
{
    const Bytes image = MakeImage(300, 0x40);
    const std::vector<Sequence> s = CutSequences(image, 128);
    Bytes otherData = s[0].data;
    otherData[5] ^= 0xFF;
    Bytes shortLast = s[2].data;
    shortLast.pop_back();
    struct Case
    {
        const char* name;
        int checksumOffset;
        std::vector<std::pair<Sequence, uint8_t>> steps; // a sequence and the Error2 of its answer
        uint8_t stopError2;
        bool stored;
    };
    const std::vector<Case> cases{
        {"in order", 0, {{s[0], 0}, {s[1], 0}, {s[2], 0}}, 0, true},
        {"retransmitted identical", 0, {{s[0], 0}, {s[0], 0}, {s[1], 0}, {s[1], 0}, {s[2], 0}, {s[2], 0}}, 0, true},
        {"missing sequence", 0, {{s[0], 0}, {s[2], 0x10}}, 0x10, false},
        {"repeated with other bytes", 0, {{s[0], 0}, {{s[0].counter, otherData}, 0x10}, {s[1], 0x10}}, 0x10, false},
        {"reversed order", 0, {{s[2], 0x10}, {s[1], 0x10}, {s[0], 0x10}}, 0x10, false},
        {"last sequence short", 0, {{s[0], 0}, {s[1], 0}, {{0, shortLast}, 0x20}}, 0x10, false},
        {"stopped early", 0, {{s[0], 0}, {s[1], 0}}, 0x10, false},
        {"extra sequence after the last", 0, {{s[0], 0}, {s[1], 0}, {s[2], 0}, {s[1], 0x10}}, 0x10, false},
        {"wrong checksum announced", 1, {{s[0], 0}, {s[1], 0}, {s[2], 0}}, 0x20, false},
    };
    EnterFirmwareMode();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::size_t imagesBefore = m_controller.GetFirmwareImages().size();
        ASSERT_EQ(0, Ask(0xF1, FirmwareStartBlock(image, c.checksumOffset)).error2);
        for (const auto& [sequence, error2] : c.steps)
        {
            EXPECT_EQ(error2, Ask(0xF3, Counter(sequence.counter, sequence.data)).error2)
                << "counter " << sequence.counter;
        }
        EXPECT_EQ(c.stopError2, Ask(0xF2).error2);
        const auto images = m_controller.GetFirmwareImages();
        ASSERT_EQ(imagesBefore + (c.stored ? 1 : 0), images.size());
        if (c.stored)
        {
            EXPECT_EQ(image, images.back());
        }
    }
    EXPECT_EQ(0x10, Ask(0xF3, Counter(0, s[2].data)).error2) << "a sequence without start";
    EXPECT_EQ(0x20, Ask(0xF1, Bytes(11, 0)).error2) << "a start block of 11 bytes";
}

TEST_F(KMRSimControllerTest, ContentUploadAnswersRunningChecksumsAndStoresOnlyAMatchingContent)
{
    for (const std::size_t size : {1u, 125u, 126u, 300u})
    {
        SCOPED_TRACE(size);
        const Bytes content = MakeImage(size, static_cast<uint8_t>(size));
        ASSERT_EQ(0, Ask(0x16, ContentStartBlock(content, 0x1234, 1)).error2);
        std::size_t sent = 0;
        for (const Sequence& sequence : CutSequences(content, 125))
        {
            const KMRSimAnswer answer = Ask(0x1A, Counter(sequence.counter, sequence.data));
            sent += sequence.data.size();
            EXPECT_EQ(0, answer.error2);
            EXPECT_TRUE(answer.extended);
            EXPECT_EQ(sequence.counter, answer.seq);
            EXPECT_EQ(Bytes{KMRSimController::CalcContentChecksum(content.data(), sent)}, answer.data);
        }
        EXPECT_EQ(0, Ask(0x17).error2);
        EXPECT_EQ(content, m_controller.GetContent(0x1234));
        EXPECT_EQ(1, m_controller.GetContentType(0x1234));
        EXPECT_EQ(Bytes{0xFF}, Ask(0x43, {0x12, 0x34}).data);
    }

    const Bytes content = MakeImage(200, 3);
    ASSERT_EQ(0, Ask(0x16, ContentStartBlock(content, 0x0042, 0, 1)).error2);
    for (const Sequence& sequence : CutSequences(content, 125))
    {
        EXPECT_EQ(0, Ask(0x1A, Counter(sequence.counter, sequence.data)).error2);
    }
    EXPECT_EQ(0x20, Ask(0x17).error2) << "checksum announced in the start block does not match";
    EXPECT_FALSE(m_controller.GetContent(0x0042).has_value());
    EXPECT_EQ(Bytes{0x00}, Ask(0x43, {0x00, 0x42}).data);
    EXPECT_EQ(0x10, Ask(0x17).error2) << "stop without an upload";
}

TEST_F(KMRSimControllerTest, DownloadReturnsTheStoredContentSequenceBySequence)
{
    const Bytes content = MakeImage(260, 9);
    m_controller.PutContent(0x0100, 1, content);
    EXPECT_EQ(0x10, Ask(0x1B, Counter(0)).error2) << "get content before start download";
    EXPECT_EQ(0x04, Ask(0x18, {0x01, 0x01, 0x01}).error2) << "unknown content ID";

    KMRSimAnswer answer = Ask(0x18, {0x01, 0x00, 0x01});
    EXPECT_EQ(0, answer.error2);
    EXPECT_EQ((Bytes{0x00, 0x02}), answer.data);
    EXPECT_EQ((Bytes{0x00, 0x02}), Ask(0x37).data) << "asynchronous data: highest counter";
    Bytes received;
    for (const uint16_t counter : {2, 1, 0})
    {
        answer = Ask(0x1B, Counter(counter));
        EXPECT_EQ(0, answer.error2);
        EXPECT_TRUE(answer.extended);
        EXPECT_EQ(counter, answer.seq);
        received.insert(received.end(), answer.data.begin(), answer.data.end());
    }
    EXPECT_EQ(content, received);
    EXPECT_EQ(0x01, Ask(0x1B, Counter(3)).error2) << "counter beyond the content";
    EXPECT_TRUE(Ask(0x19).accepted);
    EXPECT_TRUE(Ask(0x37).data.empty());

    m_controller.PutContent(0x0200, 0, {});
    EXPECT_EQ((Bytes{0x00, 0x00}), Ask(0x18, {0x02, 0x00, 0x00}).data) << "an empty content is one empty sequence";
    EXPECT_TRUE(Ask(0x1B, Counter(0)).data.empty());
}

TEST_F(KMRSimControllerTest, AddressingAndModes)
{
    EXPECT_FALSE(Send(0x01, {}, 2).has_value()) << "another controller's address";
    EXPECT_EQ(Bytes{1}, Ask(0x03, {}, 255).data) << "get slave address at 255";
    EXPECT_FALSE(Send(0x01, {}, 255).has_value()) << "255 serves only get slave address";
    KMRSimRequest otherSubAddress{1, 3, 0x01, {}};
    EXPECT_EQ(0x80, m_controller.Handle(otherSubAddress)->error2);

    EXPECT_TRUE(Ask(0x12).accepted) << "a reset without enable stays in user mode";
    EXPECT_EQ(KMRSimController::EMode::User, m_controller.GetMode());
    EXPECT_EQ(1, m_controller.GetAddress());

    EnterFirmwareMode();
    EXPECT_FALSE(Ask(0x01).accepted) << "the loader does not know the user poll";
    EXPECT_FALSE(Ask(0x12).accepted) << "nor the application's reset";
    EXPECT_FALSE(Ask(0x1A, Counter(0, {1})).accepted);
    EXPECT_EQ(Bytes{254}, Ask(0x03, {}, 255).data);
    EXPECT_EQ(0x10, Ask(0xF2).error2) << "stop without a start";
}

// Service commands: what each answers and what each changes, including refusals.
TEST_F(KMRSimControllerTest, ServiceCommands)
{
    struct Case
    {
        const char* name;
        uint8_t cmd;
        Bytes payload;
        bool accepted;
        uint8_t error2;
        Bytes data;
    };
    const std::vector<Case> cases{
        {"temperature", 0x0D, {0x22}, true, 0, {0x09, 0x29}},
        {"other category", 0x0D, {0x21}, true, 0x01, {}},
        {"software version", 0x0B, {0x04}, true, 0, {1, 0, 0, 1}},
        {"build number", 0x46, {0x04}, true, 0, {'2', '4', '0', '6', '0', '1', '1', '2', '0', '0', '1'}},
        {"set LED test timer", 0x26, {0x01, 0x2C}, true, 0, {}},
        {"get LED test timer", 0x25, {}, true, 0, {0x01, 0x2C}},
        {"set protocol address", 0x2A, {3, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}, true, 0, {}},
        {"get protocol address", 0x2B, {3}, true, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
        {"get unset protocol address", 0x2B, {4}, true, 0, Bytes(12, 0)},
        {"set protocol address, 12 bytes", 0x2A, Bytes(12, 1), true, 0x20, {}},
        {"set date/time", 0x08, {24, 6, 14, 1, 30, 0}, true, 0, {}},
        {"date/time with day 32", 0x08, {24, 5, 32, 1, 30, 0}, true, 0x01, {}},
        {"brightness", 0x06, {40}, true, 0, {}},
        {"sign test", 0xFD, {}, true, 0, {}},
        {"activate unknown content", 0x1C, {0x77, 0x77}, true, 0x04, {}},
        {"delete unknown content", 0x13, {0x77, 0x77}, true, 0x04, {}},
        {"set slave address 0", 0x02, {0}, true, 0x01, {}},
        {"unknown command", 0x0F, {}, false, 0, {}},
        {"loader command in user mode", 0xF1, Bytes(12, 0), false, 0, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const KMRSimAnswer answer = Ask(c.cmd, c.payload);
        EXPECT_EQ(c.accepted, answer.accepted);
        EXPECT_EQ(c.error2, answer.error2);
        EXPECT_EQ(c.data, answer.data);
        EXPECT_EQ(c.cmd, answer.cmd);
    }
    EXPECT_EQ(300, m_controller.GetLedTestTimer());
    EXPECT_EQ((std::array<uint8_t, 6>{24, 6, 14, 1, 30, 0}), m_controller.GetDateTime());
    EXPECT_EQ(40, m_controller.GetBrightness());
    EXPECT_TRUE(m_controller.IsTestRunning());
    Ask(0x12);
    EXPECT_FALSE(m_controller.IsTestRunning()) << "a reset ends the sign test";

    m_controller.SetTemperature(-200);
    EXPECT_EQ((Bytes{0xFF, 0x38}), Ask(0x0D, {0x22}).data);

    m_controller.PutContent(0x0005, 0, {1, 2, 3});
    EXPECT_EQ(0, Ask(0x1C, {0x00, 0x05}).error2);
    EXPECT_EQ(0x0005, m_controller.GetActiveContent());
    EXPECT_TRUE(Ask(0xF6).accepted) << "format";
    EXPECT_TRUE(m_controller.GetContentIds().empty());
    EXPECT_FALSE(m_controller.GetActiveContent().has_value());
}
