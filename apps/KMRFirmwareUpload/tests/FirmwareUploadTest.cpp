// The upload engine against a scripted controller: exchanges, checks and procedures.
#include "FirmwareUpload.h"

#include "KMRPause.h"
#include "KMRTagPool.h"
#include "ScriptedTransmission.h"

#include <KMRComm/KCTelegram.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

namespace
{
constexpr int32_t TIMEOUT = 40;

class TestEngine : public FirmwareUpload
{
public:
    using FirmwareUpload::FirmwareUpload;
    using FirmwareUpload::_CheckResponse;
    using FirmwareUpload::_CreateRequest;
    using FirmwareUpload::_SendTelegramAndWaitForResponse;
};

class RecordingProgress : public IKMRProgressBar
{
public:
    void SetRange(int lower_i, int upper_i) override { m_iUpper = upper_i; }
    void SetStep(int step_i) override { m_iStep = step_i; }
    void StepIt() override { m_iPos += m_iStep; }
    void SetPos(int position_i) override { m_iPos = position_i; }
    int m_iUpper = 0;
    int m_iStep = 0;
    int m_iPos = 0;
};

std::string WriteFile(const std::string& name_i, const Bytes& data_i)
{
    const std::string path = ::testing::TempDir() + name_i;
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data_i.data()),
                                                static_cast<std::streamsize>(data_i.size()));
    return path;
}

Bytes ReadFile(const std::string& path_i)
{
    std::ifstream in(path_i, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Bytes DataOf(const KCSendTelegram& request_i)
{
    const unsigned char* data = request_i.GetData();
    return data != nullptr ? Bytes(data, data + request_i.GetDataSize()) : Bytes();
}

// Answers every request positively; set-content answers carry the running checksum.
std::vector<Bytes> Accepting(const KCSendTelegram& request_i, Bytes& content_io)
{
    if (request_i.GetCmd() == KCTelegram::CMD_SETCONTENT)
    {
        const Bytes data = DataOf(request_i);
        content_io.insert(content_io.end(), data.begin(), data.end());
        return {Answer(request_i, {FirmwareUpload::CalcChecksum_CID(content_io.data(), content_io.size())})};
    }
    return {Answer(request_i)};
}

class FirmwareUploadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        KMRPause::SetHook([this](uint32_t ms_i) { m_Pauses.push_back(ms_i); });
    }
    void TearDown() override
    {
        m_pEngine.reset();
        KMRPause::SetHook({});
    }
    TestEngine& Engine(uint8_t address_i = 5, const std::string& image_i = std::string())
    {
        m_pEngine = image_i.empty() ? std::make_unique<TestEngine>(&m_Factory, address_i)
                                    : std::make_unique<TestEngine>(&m_Factory, image_i.c_str(), address_i);
        m_pEngine->Initialize(TIMEOUT);
        return *m_pEngine;
    }

    ScriptedLine m_Line;
    ScriptedTransmissionFactory m_Factory{m_Line};
    std::unique_ptr<TestEngine> m_pEngine;
    std::vector<uint32_t> m_Pauses;
};
} // namespace

TEST(KMRTagPool, RollsThroughSixteenToTwoHundredFortyAndNeverZero)
{
    KMRTagPool* pool = KMRTagPool::CreatePool();
    pool->Reset();
    for (int round = 0; round < 2; ++round)
        for (int tag = 16; tag <= 240; tag += 16)
            EXPECT_EQ(tag, KMRTagPool::GetNextTag(pool));
    EXPECT_EQ(pool, KMRTagPool::CreatePool());
}

TEST_F(FirmwareUploadTest, ResponseCheckTable)
{
    TestEngine& engine = Engine();
    struct Case
    {
        uint8_t cmd;
        uint8_t flags;
        uint8_t status1;
        uint8_t error1;
        uint8_t error2;
        const char* thrown; // null: accepted
    };
    const Case cases[] = {
        {KCTelegram::CMD_RESETCONTROLLER, 0x00, 0x80, 0x80, 0xFF, nullptr},
        {KCTelegram::CMD_ENABLEFIRMWAREUPDATE, 0x00, 0x00, 0x00, 0x04, nullptr},
        {KCTelegram::CMD_RESETFWCONTROLLER, 0x00, 0x00, 0x00, 0x10, nullptr},
        {KCTelegram::CMD_POLL, 0x00, 0x80, 0x00, 0x00, "BUSY"},
        {KCTelegram::CMD_POLLFIRMWARE, 0x00, 0x00, 0x00, 0x00, "Controller not in Firmware Upload Mode"},
        {KCTelegram::CMD_POLL, 0x00, 0x00, 0x00, 0x00, "response is a NACK telegram."},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x00, 0x01, "out of range error."},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x00, 0x06, "CID error."},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x00, 0x02, nullptr},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x00, 0x08, "Controller has an internal conflict"},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x00, 0x10, "SEQUENCE error."},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x00, 0x20, "data format error."},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x00, 0x40, "internal error."},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x00, 0x80, "subaddress not allowed error."},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x80, 0x00, "CLIMATE ERROR!"},
        {KCTelegram::CMD_POLL, 0x01, 0x00, 0x7F, 0x00, nullptr},
    };
    for (const Case& c : cases)
    {
        const KCReceiveTelegram answer(5, 0, static_cast<uint8_t>(0x10 | c.flags), c.status1, c.error1, c.error2, c.cmd,
                                       nullptr, 0);
        if (c.thrown == nullptr)
            EXPECT_TRUE(engine._CheckResponse(&answer)) << int(c.cmd) << " " << int(c.error2);
        else
        {
            try
            {
                engine._CheckResponse(&answer);
                ADD_FAILURE() << "accepted: " << c.thrown;
            }
            catch (const KMRExceptionBase& e)
            {
                EXPECT_STREQ(c.thrown, e.GetMessage());
                EXPECT_STREQ("FirmwareUpload::OnReceive", e.GetLocation());
            }
        }
    }
}

TEST_F(FirmwareUploadTest, AddressesAndUserModeAddress)
{
    TestEngine& engine = Engine(7);
    engine.SetKelmarCom2Address(254);
    EXPECT_EQ(254, engine.GetKelmarCom2Address());
    EXPECT_EQ(7, engine.GetUserModeAddress());
    engine.SetKelmarCom2Address(0);
    EXPECT_EQ(7, engine.GetUserModeAddress());
    engine.SetKelmarCom2Address(255);
    EXPECT_EQ(255, engine.GetUserModeAddress());
}

TEST_F(FirmwareUploadTest, RetriedExchangeSendsTheSameRequestAndReportsTimeouts)
{
    TestEngine& engine = Engine();
    auto request = engine._CreateRequest(KCTelegram::CMD_POLL);
    EXPECT_TRUE(engine._SendTelegramAndWaitForResponse(request.get(), TIMEOUT, 3));
    const auto sent = m_Line.Requests();
    ASSERT_EQ(3u, sent.size());
    for (const auto& r : sent)
        EXPECT_EQ(request->GetTag(), r.GetTag());
    // 5 ms before and 25 ms after every telegram.
    EXPECT_EQ((std::vector<uint32_t>{5, 25, 5, 25, 5, 25}), m_Pauses);
    EXPECT_TRUE(engine._SendTelegramAndWaitForResponse(request.get(), TIMEOUT, 0));
    EXPECT_EQ(3u, m_Line.Requests().size());
}

TEST_F(FirmwareUploadTest, ALateAnswerToAnEarlierRequestIsNotTakenForTheCurrentOne)
{
    TestEngine& engine = Engine();
    // The controller answers every request with the tag of the request before it.
    uint8_t previousTag = 0;
    m_Line.m_Script = [&](const KCSendTelegram& r_i) {
        std::vector<Bytes> answers;
        if (previousTag != 0)
        {
            KCSendTelegram stale(r_i.GetAddr(), 0, previousTag, r_i.GetCmd(), nullptr, 0);
            answers.push_back(Answer(stale));
        }
        previousTag = r_i.GetTag();
        return answers;
    };
    EXPECT_FALSE(engine._PollControllerUSERMode(1, TIMEOUT));
    EXPECT_FALSE(engine._PollControllerUSERMode(1, TIMEOUT)) << "the stale answer to the first poll must not count";
}

TEST_F(FirmwareUploadTest, BusyAnswersResendThePollWithoutCountingAndAreBounded)
{
    TestEngine& engine = Engine();
    int busy = 3;
    m_Line.m_Script = [&](const KCSendTelegram& r_i) {
        return std::vector<Bytes>{busy-- > 0 ? Answer(r_i, {}, 0x01, 0x80) : Answer(r_i)};
    };
    EXPECT_TRUE(engine._PollControllerUSERMode(1, TIMEOUT));
    EXPECT_EQ(4u, m_Line.Requests().size());

    m_Line.m_Script = [&](const KCSendTelegram& r_i) { return std::vector<Bytes>{Answer(r_i, {}, 0x01, 0x80)}; };
    EXPECT_FALSE(engine._PollControllerUSERMode(1, TIMEOUT)) << "an always busy controller fails the poll";
    EXPECT_EQ(4u + FirmwareUpload::MAX_BUSY_ANSWERS, m_Line.Requests().size());
}

TEST_F(FirmwareUploadTest, FirmwarePollNackIsNotFirmwareModeAndReachabilityKeepsPolling)
{
    TestEngine& engine = Engine();
    m_Line.m_Script = [](const KCSendTelegram& r_i) { return std::vector<Bytes>{Answer(r_i, {}, 0x00)}; };
    try
    {
        engine._PollControllerFirmwareMode(1, TIMEOUT);
        FAIL();
    }
    catch (const KMRExceptionBase& e)
    {
        EXPECT_STREQ("Controller not in Firmware Upload Mode", e.GetMessage());
    }
    EXPECT_FALSE(engine.CheckIfControllerIsReachable_FirmwareMode(3 * TIMEOUT));
    EXPECT_EQ(1u + 4u, m_Line.Requests().size()) << "K+1 polls with K = 120/40";
}

TEST_F(FirmwareUploadTest, ReachabilityFindsAControllerInFirmwareModeAt254)
{
    TestEngine& engine = Engine(9);
    m_Line.m_Script = [](const KCSendTelegram& r_i) {
        if (r_i.GetAddr() == 254 && r_i.GetCmd() == KCTelegram::CMD_POLLFIRMWARE)
            return std::vector<Bytes>{Answer(r_i)};
        return std::vector<Bytes>{};
    };
    bool firmwareMode = false;
    EXPECT_TRUE(engine.CheckIfControllerIsReachable(0, &firmwareMode));
    EXPECT_TRUE(firmwareMode);
    EXPECT_EQ(254, engine.GetKelmarCom2Address());
    EXPECT_EQ(9, engine.GetUserModeAddress());
}

TEST_F(FirmwareUploadTest, FletcherChecksum)
{
    const uint8_t abc[] = {'a', 'b', 'c'};
    EXPECT_EQ(0x4C8C, FirmwareUpload::CalcFletcherChecksum(abc, 3));
    EXPECT_EQ(0xDA, FirmwareUpload::CalcChecksum_CID(abc, 3));
}

TEST_F(FirmwareUploadTest, FirmwareUploadSendsCountedSequencesFramedByStartAndStop)
{
    Bytes image(300);
    for (size_t i = 0; i < image.size(); ++i)
        image[i] = static_cast<uint8_t>(i * 7 + 1);
    TestEngine& engine = Engine(254, WriteFile("fw300.img", image));
    RecordingProgress progress;
    engine.SetProgressBar(&progress);
    Bytes received;
    m_Line.m_Script = [&](const KCSendTelegram& r_i) {
        if (r_i.GetCmd() == KCTelegram::CMD_SETCONTENTFIRMWARE)
        {
            const Bytes data = PayloadOf(r_i);
            received.insert(received.end(), data.begin(), data.end());
        }
        return std::vector<Bytes>{Answer(r_i)};
    };
    engine.UploadFile();

    const auto requests = m_Line.Requests();
    ASSERT_GE(requests.size(), 5u);
    const Bytes start = DataOf(requests[0]);
    const uint16_t fletcher = FirmwareUpload::CalcFletcherChecksum(image.data(), image.size());
    EXPECT_EQ((Bytes{0x00, 0x02, 0x2C, static_cast<uint8_t>(fletcher >> 8), static_cast<uint8_t>(fletcher), 0x00, 0x02,
                     0x00, 0x00, 0x03, 0x01, 0x00}),
              start);
    std::vector<unsigned int> counters;
    std::vector<unsigned int> lengths;
    for (const auto& r : requests)
        if (r.GetCmd() == KCTelegram::CMD_SETCONTENTFIRMWARE)
        {
            counters.push_back(FirmwareCounterOf(r));
            lengths.push_back(static_cast<unsigned int>(PayloadOf(r).size()));
        }
    EXPECT_EQ((std::vector<unsigned int>{2, 1, 0}), counters);
    EXPECT_EQ((std::vector<unsigned int>{128, 128, 44}), lengths);
    EXPECT_EQ(image, received);
    EXPECT_EQ(KCTelegram::CMD_STOPUPLOADFIRMWARE, requests[requests.size() - 2].GetCmd());
    EXPECT_EQ(5, progress.m_iUpper);
    EXPECT_EQ(3, progress.m_iPos) << "a complete upload ends with the bar at N";
}

TEST_F(FirmwareUploadTest, BusyAnswersDuringATransferResendTheTelegram)
{
    Bytes image(300, 0x42);
    TestEngine& engine = Engine(254, WriteFile("fw_busy.img", image));
    Bytes received;
    int calls = 0;
    m_Line.m_Script = [&](const KCSendTelegram& r_i) {
        // Every other transfer telegram is answered "busy" and not taken.
        const bool transfer = r_i.GetCmd() >= KCTelegram::CMD_STARTUPLOADFIRMWARE &&
                              r_i.GetCmd() <= KCTelegram::CMD_SETCONTENTFIRMWARE;
        if (transfer && calls++ % 2 == 0)
            return std::vector<Bytes>{Answer(r_i, {}, 0x00, 0x80)};
        if (r_i.GetCmd() == KCTelegram::CMD_SETCONTENTFIRMWARE)
        {
            const Bytes data = PayloadOf(r_i);
            received.insert(received.end(), data.begin(), data.end());
        }
        return std::vector<Bytes>{Answer(r_i)};
    };
    engine.UploadFile();
    EXPECT_EQ(image, received);

    m_Line.m_Script = [](const KCSendTelegram& r_i) { return std::vector<Bytes>{Answer(r_i, {}, 0x00, 0x80)}; };
    EXPECT_THROW(engine.UploadFile(), KMRExceptionBase) << "an always busy controller fails the upload";
}

TEST_F(FirmwareUploadTest, FirmwareUploadFailuresAndTheirTexts)
{
    const std::string path = WriteFile("fw256.img", Bytes(256, 0x55));
    struct Case
    {
        const char* name;
        ControllerScript script;
        const char* message;
    };
    const Case cases[] = {
        {"silent controller", [](const KCSendTelegram&) { return std::vector<Bytes>{}; }, "Controller not reachable."},
        {"sequence never answered",
         [](const KCSendTelegram& r_i) {
             return r_i.GetCmd() == KCTelegram::CMD_SETCONTENTFIRMWARE ? std::vector<Bytes>{}
                                                                        : std::vector<Bytes>{Answer(r_i)};
         },
         "Error while sending data."},
        {"sequence refused",
         [](const KCSendTelegram& r_i) {
             return std::vector<Bytes>{r_i.GetCmd() == KCTelegram::CMD_SETCONTENTFIRMWARE
                                           ? Answer(r_i, {}, 0x01, 0, 0, 0x10)
                                           : Answer(r_i)};
         },
         "SEQUENCE error."},
    };
    for (const Case& c : cases)
    {
        TestEngine& engine = Engine(254, path);
        m_Line.m_Script = c.script;
        try
        {
            engine.UploadFile();
            ADD_FAILURE() << c.name;
        }
        catch (const KMRExceptionBase& e)
        {
            EXPECT_STREQ(c.message, e.GetMessage()) << c.name;
        }
    }
    EXPECT_THROW(Engine(254, WriteFile("empty.img", {})), KMRExceptionBase) << "an empty image is refused";
    EXPECT_THROW(TestEngine(&m_Factory, "/nonexistent/image.img", 254), KMRExceptionBase);
}

TEST_F(FirmwareUploadTest, ContentUploadChecksRunningChecksums)
{
    Bytes content(126);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<uint8_t>(i);
    const std::string path = WriteFile("content126.bin", content);
    TestEngine& engine = Engine();
    Bytes received;
    m_Line.m_Script = [&](const KCSendTelegram& r_i) { return Accepting(r_i, received); };
    engine.UploadCidOrConfigFile(path.c_str(), 0x1A2F, 1);
    EXPECT_EQ(content, received);
    const auto requests = m_Line.Requests();
    ASSERT_EQ(KCTelegram::CMD_STARTUPLOAD, requests[0].GetCmd());
    EXPECT_EQ((Bytes{0x00, 0x01, 0x1A, 0x2F, 0x01, FirmwareUpload::CalcChecksum_CID(content.data(), 126), 0x01}),
              DataOf(requests[0]));

    // An answer with two data bytes is wrong even when the first byte matches.
    Bytes again;
    m_Line.m_Script = [&](const KCSendTelegram& r_i) {
        auto answers = Accepting(r_i, again);
        if (r_i.GetCmd() == KCTelegram::CMD_SETCONTENT)
            answers = {Answer(r_i, {FirmwareUpload::CalcChecksum_CID(again.data(), again.size()), 0})};
        return answers;
    };
    try
    {
        engine.UploadCidOrConfigFile(path.c_str(), 0x1A2F, 1);
        FAIL();
    }
    catch (const KMRExceptionBase& e)
    {
        EXPECT_STREQ("Error while sending data. running checksum not correct", e.GetMessage());
    }
}

TEST_F(FirmwareUploadTest, DownloadAsksForEverySequenceAndWritesThemInOrder)
{
    TestEngine& engine = Engine();
    m_Line.m_Script = [](const KCSendTelegram& r_i) {
        if (r_i.GetCmd() == KCTelegram::CMD_GETASYNCDATA)
            return std::vector<Bytes>{Answer(r_i, {0x00, 0x02})};
        if (r_i.GetCmd() == KCTelegram::CMD_GETCONTENT)
        {
            // The counter sits where an extended frame carries its sequence number.
            const auto counter = static_cast<uint8_t>(r_i.GetSequenceCnt());
            return std::vector<Bytes>{Answer(r_i, {static_cast<uint8_t>('a' + counter), '-'})};
        }
        return std::vector<Bytes>{Answer(r_i)};
    };
    const std::string target = ::testing::TempDir() + "download.bin";
    engine.DownloadContent(target.c_str(), 0x10, 1);
    EXPECT_EQ((Bytes{'c', '-', 'b', '-', 'a', '-'}), ReadFile(target));
    EXPECT_THROW(engine.DownloadContent("/nonexistent/dir/x.bin", 0x10, 1), KMRExceptionBase)
        << "a file that cannot be written is a failure";
}

TEST_F(FirmwareUploadTest, ContentIdOperations)
{
    TestEngine& engine = Engine();
    m_Line.m_Script = [](const KCSendTelegram& r_i) { return std::vector<Bytes>{Answer(r_i, {0xFE})}; };
    EXPECT_THROW(engine.CheckIfCidExists(5), KMRExceptionBase);
    m_Line.m_Script = [](const KCSendTelegram& r_i) { return std::vector<Bytes>{Answer(r_i, {0xFF})}; };
    EXPECT_NO_THROW(engine.CheckIfCidExists(5));
    // Refusals at the stop of an upload and at activation are failures, not successes.
    const std::string path = WriteFile("content3.bin", Bytes{1, 2, 3});
    Bytes received;
    m_Line.m_Script = [&](const KCSendTelegram& r_i) {
        if (r_i.GetCmd() == KCTelegram::CMD_STOPUPLOAD || r_i.GetCmd() == KCTelegram::CMD_ACTIVATECONTENT)
            return std::vector<Bytes>{Answer(r_i, {}, 0x01, 0, 0, 0x20)};
        return Accepting(r_i, received);
    };
    EXPECT_THROW(engine.UploadCidOrConfigFile(path.c_str(), 7, 1), KMRExceptionBase);
    EXPECT_THROW(engine.ActivateContent(7), KMRExceptionBase);
    m_Line.m_Script = nullptr;
    EXPECT_NO_THROW(engine.DeleteContentID(5)) << "a silent controller does not fail a delete";
    EXPECT_THROW(engine.DeleteContentIDChecked(5), KMRExceptionBase);
}

TEST_F(FirmwareUploadTest, EveryOperationNamesItsTimeout)
{
    TestEngine& engine = Engine();
    uint8_t addresses[12] = {};
    const std::pair<const char*, std::function<void()>> cases[] = {
        {"Could not read the Software Version", [&] { engine.ReadSoftwareVersion(); }},
        {"Could not get Led Test Timer", [&] { engine.GetLedTestTimer(); }},
        {"Controller not reachable.", [&] { engine.SetLedTestTimer(3); }},
        {"Controller not reachable.", [&] { engine.GetProtocolAddress(1, addresses); }},
        {"Controller not reachable.", [&] { engine.SetProtocolAddress(1, addresses); }},
        {"New slave address couldn't be set.", [&] { engine.ChangeSlaveAddress(9); }},
        {"The test could not be executed.", [&] { engine.Test(); }},
        {"The reset could not be executed.", [&] { engine.ResetController(true); }},
        {"Controller not reachable\nContent was not activated", [&] { engine.ActivateContent(1); }},
        {"Controller not reachable\nBrightness was not set", [&] { engine.SetSignBrightness(50); }},
        {"cid not available", [] { throw KMRExceptionBase("", "cid not available"); }},
    };
    for (const auto& [message, operation] : cases)
    {
        try
        {
            operation();
            ADD_FAILURE() << message;
        }
        catch (const KMRExceptionBase& e)
        {
            EXPECT_STREQ(message, e.GetMessage());
        }
    }
    EXPECT_NO_THROW(engine.ResetController(false));
    EXPECT_NO_THROW(engine.ResetControllerFirmwareMode());
    EXPECT_FALSE(engine.SetDateTime());
    EXPECT_EQ(FirmwareUpload::TEMPERATURE_UNKNOWN, engine.GetControllerTemperature());
}

TEST_F(FirmwareUploadTest, ServiceAnswersAreDecoded)
{
    TestEngine& engine = Engine();
    m_Line.m_Script = [](const KCSendTelegram& r_i) {
        switch (r_i.GetCmd())
        {
        case KCTelegram::CMD_GETSOFTWAREVERSION: return std::vector<Bytes>{Answer(r_i, {3, 4, 0x01, 0x02})};
        case KCTelegram::CMD_GETBUILDNUMBER:
            return std::vector<Bytes>{Answer(r_i, {'1', '3', '0', '5', '1', '2', '0', '9', '4', '5', '1'})};
        case KCTelegram::CMD_GETLEDTESTTIMER: return std::vector<Bytes>{Answer(r_i, {0x01, 0x2C})};
        case KCTelegram::CMD_GETPROTOCOLADDRESS: return std::vector<Bytes>{Answer(r_i, Bytes(11, 7))};
        default: return std::vector<Bytes>{Answer(r_i)};
        }
    };
    EXPECT_STREQ("Version: 3.4.258\nBuild Number: 13.05.12  09:45  (Release Version)", engine.ReadSoftwareVersion());
    EXPECT_EQ(300, engine.GetLedTestTimer());
    uint8_t addresses[12] = {};
    EXPECT_THROW(engine.GetProtocolAddress(2, addresses), KMRExceptionBase) << "11 bytes are not an address";

    struct Temperature
    {
        Bytes data;
        int32_t degrees;
    };
    const Temperature temperatures[] = {
        {{0xFF, 0x38}, -2}, {{0x09, 0x29}, 23}, {{0x09, 0x29, 0x00, 0x00}, 23}, {{0x09, 0x29, 0x00}, -200}, {{}, -200}};
    for (const Temperature& t : temperatures)
        EXPECT_EQ(t.degrees, FirmwareUpload::DecodeTemperature(t.data.data(), static_cast<unsigned int>(t.data.size())));
}

TEST_F(FirmwareUploadTest, DateBlockIsTwoHoursAheadWithoutMonthCarry)
{
    std::tm t {};
    t.tm_year = 2026 - 1900;
    t.tm_mon = 11;
    t.tm_mday = 14;
    t.tm_hour = 23;
    t.tm_min = 30;
    t.tm_sec = 5;
    uint8_t block[6];
    FirmwareUpload::BuildDateTimeBlock(t, block);
    EXPECT_EQ((Bytes{26, 12, 15, 1, 30, 5}), Bytes(block, block + 6));
    t.tm_hour = 10;
    FirmwareUpload::BuildDateTimeBlock(t, block);
    EXPECT_EQ(14, block[2]);
    EXPECT_EQ(12, block[3]);
}

TEST_F(FirmwareUploadTest, ChangeSlaveAddressRestoresTheOldAddressWhenTheNewOneIsSilent)
{
    TestEngine& engine = Engine(4);
    m_Line.m_Script = [](const KCSendTelegram& r_i) {
        return r_i.GetAddr() == 7 ? std::vector<Bytes>{} : std::vector<Bytes>{Answer(r_i)};
    };
    try
    {
        engine.ChangeSlaveAddress(7);
        FAIL();
    }
    catch (const KMRExceptionBase& e)
    {
        EXPECT_STREQ("The address could not be changed!", e.GetMessage());
    }
    EXPECT_EQ(4, engine.GetKelmarCom2Address());
}

TEST_F(FirmwareUploadTest, DeviceAddressIsAskedAtTheBroadcastAddress)
{
    TestEngine& engine = Engine(4);
    m_Line.m_Script = [](const KCSendTelegram& r_i) { return std::vector<Bytes>{Answer(r_i, {42})}; };
    EXPECT_EQ(42, engine.GetKC2AddrOfConnectedDevice());
    EXPECT_EQ(255, m_Line.Requests().back().GetAddr());
    EXPECT_EQ(4, engine.GetKelmarCom2Address());
    m_Line.m_Script = nullptr;
    EXPECT_EQ(0, engine.GetKC2AddrOfConnectedDevice());
}
