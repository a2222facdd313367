// Tests of the simulator's frame layer: answer frames, retransmissions, faults by seed, stream splitting.
#include "KMRSim/KMRSimProtocol.h"
#include "KMRSim/KMRSimRequestSplitter.h"

#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KCSendTelegram.h>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace
{
using Bytes = std::vector<uint8_t>;

Bytes Frame(const KCTelegram& telegram_i)
{
    return Bytes(telegram_i.GetTelegramStream(), telegram_i.GetTelegramStream() + telegram_i.GetSize());
}

Bytes Request(uint8_t addr_i, uint8_t tag_i, uint8_t cmd_i, const Bytes& data_i = {})
{
    return Frame(KCSendTelegram(addr_i, 0, tag_i, cmd_i, data_i.empty() ? nullptr : data_i.data(),
                                static_cast<unsigned int>(data_i.size())));
}

Bytes Sequenced(uint8_t addr_i, uint8_t tag_i, uint8_t cmd_i, uint16_t counter_i, const Bytes& data_i)
{
    KCSendTelegram telegram;
    telegram.CreateExtendedTelegram(addr_i, 0, tag_i, cmd_i, counter_i, data_i.data(),
                                    static_cast<unsigned int>(data_i.size()));
    return Frame(telegram);
}

std::optional<Bytes> Process(KMRSimProtocol& protocol_i, const Bytes& frame_i)
{
    return protocol_i.Process(frame_i.data(), frame_i.size());
}

// The tag counter of a master: 16, 32, ..., 240, 16, ...
uint8_t NextTag(uint8_t& tag_io)
{
    tag_io = static_cast<uint8_t>(tag_io == 240 ? 16 : tag_io + 16);
    return tag_io;
}
} // namespace

TEST(KMRSimProtocol, AnswersAPollWithTheAcknowledgedEcho)
{
    KMRSimController controller;
    KMRSimProtocol protocol(controller);
    const Bytes poll{0x5A, 0xA5, 0x01, 0x00, 0x01, 0x10, 0xEF, 0x01, 0xFF};
    EXPECT_EQ((Bytes{0x5A, 0xA5, 0x01, 0x00, 0x01, 0x11, 0x00, 0x00, 0x00, 0xEE, 0x01, 0xFF}),
              Process(protocol, poll));

    Bytes badChecksum = poll;
    badChecksum.back() ^= 1;
    EXPECT_FALSE(Process(protocol, badChecksum).has_value());
    EXPECT_FALSE(Process(protocol, Request(2, 0x20, 0x01)).has_value()) << "another address";
    EXPECT_EQ(1u, protocol.GetStats().invalid);
    EXPECT_EQ(1u, protocol.GetStats().ignored);
}

TEST(KMRSimProtocol, AnswersAreReadableResponsesForEveryKindOfCommand)
{
    KMRSimController controller;
    controller.PutContent(0x0001, 0, Bytes(130, 0xAB));
    KMRSimProtocol protocol(controller);
    struct Case
    {
        const char* name;
        Bytes request;
        bool successful;
        uint8_t error2;
        unsigned int dataSize;
    };
    const std::vector<Case> cases{
        {"temperature", Request(1, 0x20, 0x0D, {0x22}), true, 0, 2},
        // A reader expects a sequence number after every command that is not a basic one, so even
        // a NACK to such a command carries two (zero) bytes there; they read as data.
        {"unknown-type command", Request(1, 0x30, 0x3A), false, 0, 2},
        {"start download", Request(1, 0x40, 0x18, {0x00, 0x01, 0x00}), true, 0, 2},
        {"get content 1", Request(1, 0x50, 0x1B, {0x00, 0x01}), true, 0, 125},
        {"get content 0", Request(1, 0x60, 0x1B, {0x00, 0x00}), true, 0, 5},
        {"set content without upload", Sequenced(1, 0x70, 0x1A, 0, {1, 2}), true, 0x10, 0},
        {"firmware sequence in user mode", Sequenced(1, 0x80, 0xF3, 0, {1, 2}), false, 0, 0},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        const std::optional<Bytes> answer = Process(protocol, c.request);
        ASSERT_TRUE(answer.has_value());
        ASSERT_EQ(nullptr, KCReceiveTelegram::FindTelegramDefect(answer->data(), unsigned(answer->size())));
        const KCReceiveTelegram response(answer->data(), static_cast<unsigned int>(answer->size()));
        EXPECT_EQ(c.successful, response.IsSuccessful());
        EXPECT_EQ(c.error2, response.GetError2());
        EXPECT_EQ(c.dataSize, response.GetDataSize());
        EXPECT_EQ(c.request[5], response.GetTag());
        EXPECT_EQ(c.request[7], response.GetCmd());
    }
}

// A master that repeats each request (same tag) until it gets a readable answer, against a
// controller that loses, corrupts and refuses answers: the image arrives intact.
TEST(KMRSimProtocol, RetransmissionsThroughFaultsDeliverTheExactImage)
{
    Bytes image(1000);
    for (std::size_t i = 0; i < image.size(); ++i)
    {
        image[i] = static_cast<uint8_t>(i * 31 + 7);
    }
    const uint16_t checksum = KMRSimController::CalcFletcherChecksum(image.data(), image.size());
    KMRSimController controller;
    KMRSimProtocol protocol(controller, KMRSimFaultSettings{0.3, 0.1, 0.0, 0.2, 0, 42});
    uint8_t tag = 0;
    unsigned int attempts = 0;
    auto exchange = [&](const Bytes& request_i) -> KCReceiveTelegram {
        for (int attempt = 0; attempt < 100; ++attempt)
        {
            ++attempts;
            const std::optional<Bytes> answer = Process(protocol, request_i);
            if (answer && KCReceiveTelegram::FindTelegramDefect(answer->data(), unsigned(answer->size())) == nullptr)
            {
                KCReceiveTelegram response(answer->data(), static_cast<unsigned int>(answer->size()));
                if (!response.IsTelegramBusy())
                {
                    return response;
                }
            }
        }
        ADD_FAILURE() << "no answer after 100 attempts";
        return KCReceiveTelegram();
    };
    auto expectOk = [&](const KCReceiveTelegram& response_i) {
        EXPECT_TRUE(response_i.IsSuccessful());
        EXPECT_EQ(0, response_i.GetError2());
    };

    expectOk(exchange(Request(1, NextTag(tag), 0xF4)));
    expectOk(exchange(Request(1, NextTag(tag), 0x12)));
    ASSERT_EQ(KMRSimController::EMode::Firmware, controller.GetMode());
    const uint16_t first = static_cast<uint16_t>((image.size() + 127) / 128 - 1);
    const auto last = static_cast<uint8_t>(image.size() - first * 128u);
    expectOk(exchange(Request(254, NextTag(tag), 0xF1,
                              {static_cast<uint8_t>(first >> 8), static_cast<uint8_t>(first), last,
                               static_cast<uint8_t>(checksum >> 8), static_cast<uint8_t>(checksum), 0, 2, 0, 0, 3, 1,
                               0})));
    for (uint16_t i = 0; i <= first; ++i)
    {
        const std::size_t begin = std::size_t(i) * 128;
        const std::size_t end = std::min(image.size(), begin + 128);
        const Bytes data(image.begin() + static_cast<std::ptrdiff_t>(begin),
                         image.begin() + static_cast<std::ptrdiff_t>(end));
        expectOk(exchange(Sequenced(254, NextTag(tag), 0xF3, static_cast<uint16_t>(first - i), data)));
    }
    expectOk(exchange(Request(254, NextTag(tag), 0xF2)));
    ASSERT_EQ(1u, controller.GetFirmwareImages().size());
    EXPECT_EQ(image, controller.GetFirmwareImages()[0]);
    const KMRSimProtocolStats stats = protocol.GetStats();
    EXPECT_GT(stats.dropped, 0u);
    EXPECT_GT(stats.corrupted, 0u);
    EXPECT_GT(stats.busy, 0u);
    EXPECT_GT(stats.replayed, 0u);
    EXPECT_GT(attempts, 14u);
}

TEST(KMRSimProtocol, FaultsFollowTheSeed)
{
    auto run = [](uint64_t seed_i) {
        KMRSimController controller;
        KMRSimProtocol protocol(controller, KMRSimFaultSettings{0.25, 0.25, 0.25, 0.25, 0, seed_i});
        std::vector<std::optional<Bytes>> answers;
        uint8_t tag = 0;
        for (int i = 0; i < 64; ++i)
        {
            answers.push_back(Process(protocol, Request(1, NextTag(tag), 0x0D, {0x22})));
        }
        return answers;
    };
    EXPECT_EQ(run(7), run(7));
    EXPECT_NE(run(7), run(8));
}

TEST(KMRSimProtocol, EachFaultAlone)
{
    const Bytes setBrightness = Request(1, 0x10, 0x06, {55});
    struct Case
    {
        const char* name;
        KMRSimFaultSettings faults;
        bool answered;
        bool executed;
    };
    const std::vector<Case> cases{
        {"drop", {1.0, 0, 0, 0, 0, 1}, false, true},
        {"busy", {0, 1.0, 0, 0, 0, 1}, true, false},
        {"nack", {0, 0, 1.0, 0, 0, 1}, true, false},
        {"corrupt", {0, 0, 0, 1.0, 0, 1}, true, true},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.name);
        KMRSimController controller;
        KMRSimProtocol protocol(controller, c.faults);
        const std::optional<Bytes> answer = Process(protocol, setBrightness);
        EXPECT_EQ(c.answered, answer.has_value());
        EXPECT_EQ(c.executed ? 55 : 100, controller.GetBrightness());
        if (!answer)
        {
            continue;
        }
        const char* defect = KCReceiveTelegram::FindTelegramDefect(answer->data(), unsigned(answer->size()));
        if (c.faults.corrupt > 0)
        {
            EXPECT_NE(nullptr, defect) << "a corrupted answer must fail its checksum";
            EXPECT_EQ(12u, answer->size());
            continue;
        }
        ASSERT_EQ(nullptr, defect);
        const KCReceiveTelegram response(answer->data(), static_cast<unsigned int>(answer->size()));
        EXPECT_FALSE(response.IsSuccessful());
        EXPECT_EQ(c.faults.busy > 0, const_cast<KCReceiveTelegram&>(response).IsTelegramBusy());
    }
}

TEST(KMRSimRequestSplitter, ReassemblesFramesFromAnyPiecesAndSkipsNoise)
{
    const Bytes a = Request(1, 0x10, 0x01);
    const Bytes b = Sequenced(254, 0x20, 0xF3, 1, Bytes(128, 0x5A));
    const Bytes c = Request(1, 0x30, 0x0D, {0x22});
    Bytes badChk1 = Request(1, 0x40, 0x01);
    badChk1[6] ^= 1;
    Bytes stream{0x00, 0x5A, 0x13};
    for (const Bytes* part : std::initializer_list<const Bytes*>{&a, &badChk1, &b, &c})
    {
        stream.insert(stream.end(), part->begin(), part->end());
    }
    stream.push_back(0x5A); // the start of a frame yet to come

    for (const std::size_t piece : {std::size_t(1), std::size_t(3), std::size_t(50), stream.size()})
    {
        SCOPED_TRACE(piece);
        KMRSimRequestSplitter splitter;
        std::vector<Bytes> frames;
        Bytes frame;
        for (std::size_t offset = 0; offset < stream.size(); offset += piece)
        {
            const std::size_t size = std::min(piece, stream.size() - offset);
            splitter.Append(stream.data() + offset, size);
            while (splitter.Next(frame))
            {
                frames.push_back(frame);
            }
        }
        EXPECT_EQ((std::vector<Bytes>{a, b, c}), frames);
        EXPECT_EQ(3u + badChk1.size(), splitter.GetSkippedBytes());
        EXPECT_EQ(1u, splitter.GetPendingBytes());
    }
}
