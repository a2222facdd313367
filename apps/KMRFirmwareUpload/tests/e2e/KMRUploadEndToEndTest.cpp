// kmrupload against kmrsim: what the technician runs, end to end over UDP and a pseudo-terminal.
#include "ChildProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace fs = std::filesystem;

namespace
{
using Bytes = std::vector<char>;

Bytes RandomBytes(size_t size_i, unsigned seed_i)
{
    std::mt19937 random(seed_i);
    Bytes data(size_i);
    for (char& c : data)
        c = static_cast<char>(random());
    return data;
}

void WriteFile(const fs::path& path_i, const Bytes& data_i)
{
    std::ofstream(path_i, std::ios::binary).write(data_i.data(), static_cast<std::streamsize>(data_i.size()));
}

Bytes ReadFile(const fs::path& path_i)
{
    std::ifstream in(path_i, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// One simulated controller, started as the technician would start it.
class Simulator
{
public:
    Simulator(const fs::path& store_i, const std::vector<std::string>& options_i)
    {
        std::vector<std::string> argv = {KMRSIM_PATH, "--store", store_i.string(), "--seed", "7"};
        argv.insert(argv.end(), options_i.begin(), options_i.end());
        m_pProcess = std::make_unique<ChildProcess>(argv);
        const std::string ready = m_pProcess->WaitForLine("READY ");
        if (ready.empty())
            return;
        m_strEndpoint = ready.substr(ready.rfind(' ') + 1);
    }
    // The UDP port or the pty path.
    const std::string& Endpoint() const { return m_strEndpoint; }

private:
    std::unique_ptr<ChildProcess> m_pProcess;
    std::string m_strEndpoint;
};

struct RunResult
{
    int status;
    std::string output;
};

RunResult Upload(std::vector<std::string> argv_i)
{
    argv_i.insert(argv_i.begin(), KMRUPLOAD_PATH);
    ChildProcess upload(argv_i);
    const int status = upload.Wait();
    return {status, upload.Output()};
}

class KMRUploadEndToEnd : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_Dir = fs::path(::testing::TempDir()) /
                (std::string("kmr_e2e_") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir / "store");
    }
    void TearDown() override { fs::remove_all(m_Dir); }

    std::vector<std::string> Udp(const Simulator& sim_i) const
    {
        return {"--udp", "127.0.0.1:" + sim_i.Endpoint(), "--address", "1", "--pause-scale", "0", "--log-dir",
                m_Dir.string()};
    }

    fs::path m_Dir;
};

std::vector<std::string> operator+(std::vector<std::string> a_i, const std::vector<std::string>& b_i)
{
    a_i.insert(a_i.end(), b_i.begin(), b_i.end());
    return a_i;
}
} // namespace

TEST_F(KMRUploadEndToEnd, FirmwareArrivesByteForByteOverUdp)
{
    Simulator sim(m_Dir / "store", {"--udp", "0", "--address", "1"});
    ASSERT_FALSE(sim.Endpoint().empty());
    const Bytes image = RandomBytes(10000, 1);
    WriteFile(m_Dir / "fw.img", image);

    const RunResult version = Upload(Udp(sim) + std::vector<std::string>{"version"});
    EXPECT_EQ(0, version.status) << version.output;
    EXPECT_NE(std::string::npos, version.output.find("Version: ")) << version.output;

    const RunResult run = Upload(Udp(sim) + std::vector<std::string>{"firmware", (m_Dir / "fw.img").string()});
    ASSERT_EQ(0, run.status) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("The firmware upload was successful."));
    EXPECT_EQ(image, ReadFile(m_Dir / "store" / "firmware-1.img"));
    // The controller is back at its own address and answers there.
    EXPECT_EQ(0, Upload(Udp(sim) + std::vector<std::string>{"poll"}).status);
}

TEST_F(KMRUploadEndToEnd, FirmwareArrivesByteForByteOverAPseudoTerminal)
{
    Simulator sim(m_Dir / "store", {"--pty", "--address", "3"});
    ASSERT_FALSE(sim.Endpoint().empty());
    const Bytes image = RandomBytes(3000, 2);
    WriteFile(m_Dir / "fw.img", image);
    const RunResult run = Upload({"--serial", sim.Endpoint(), "--address", "3", "--pause-scale", "0", "--log-dir",
                            m_Dir.string(), "firmware", (m_Dir / "fw.img").string()});
    ASSERT_EQ(0, run.status) << run.output;
    EXPECT_EQ(image, ReadFile(m_Dir / "store" / "firmware-1.img"));
}

TEST_F(KMRUploadEndToEnd, ContentRoundTrip)
{
    Simulator sim(m_Dir / "store", {"--udp", "0", "--address", "1"});
    const Bytes content = RandomBytes(1000, 3);
    WriteFile(m_Dir / "show.cid", content);
    const RunResult up = Upload(Udp(sim) + std::vector<std::string>{"upload", (m_Dir / "show.cid").string(), "--cid", "1A2F"});
    ASSERT_EQ(0, up.status) << up.output;
    EXPECT_EQ(content, ReadFile(m_Dir / "store" / "content-1A2F.bin"));

    const RunResult down =
        Upload(Udp(sim) + std::vector<std::string>{"download", (m_Dir / "back.bin").string(), "--cid", "1A2F"});
    ASSERT_EQ(0, down.status) << down.output;
    EXPECT_EQ(content, ReadFile(m_Dir / "back.bin"));
    EXPECT_EQ(0, Upload(Udp(sim) + std::vector<std::string>{"exists", "--cid", "1A2F"}).status);
    EXPECT_EQ(0, Upload(Udp(sim) + std::vector<std::string>{"delete", "--cid", "1A2F"}).status);
    EXPECT_EQ(1, Upload(Udp(sim) + std::vector<std::string>{"exists", "--cid", "1A2F"}).status);
}

TEST_F(KMRUploadEndToEnd, FlashScriptUpdatesTwoControllers)
{
    fs::create_directories(m_Dir / "store2");
    Simulator first(m_Dir / "store", {"--udp", "0", "--address", "1"});
    Simulator second(m_Dir / "store2", {"--udp", "0", "--address", "2"});
    const Bytes imageA = RandomBytes(2000, 4);
    const Bytes imageB = RandomBytes(2500, 5);
    WriteFile(m_Dir / "a.img", imageA);
    WriteFile(m_Dir / "b.img", imageB);
    std::ofstream(m_Dir / "flash.xml") << "<FlashScript>\n"
                                          "  <FlashItem ImageFile=\"" << (m_Dir / "a.img").string()
                                       << "\" ConnectionType=\"UDP\" KC2Addr=\"1\" RemoteIP=\"127.0.0.1\" RemotePort=\""
                                       << first.Endpoint() << "\" LocalIP=\"\" LocalPort=\"0\"/>\n"
                                       << "  <FlashItem ImageFile=\"" << (m_Dir / "b.img").string()
                                       << "\" ConnectionType=\"udp\" KC2Addr=\"2\" RemoteIP=\"127.0.0.1\" RemotePort=\""
                                       << second.Endpoint() << "\" LocalIP=\"\" LocalPort=\"0\"/>\n"
                                       << "</FlashScript>\n";
    const RunResult run = Upload({"--pause-scale", "0", "--log-dir", m_Dir.string(), "flash-script",
                            (m_Dir / "flash.xml").string()});
    ASSERT_EQ(0, run.status) << run.output;
    EXPECT_EQ(imageA, ReadFile(m_Dir / "store" / "firmware-1.img"));
    EXPECT_EQ(imageB, ReadFile(m_Dir / "store2" / "firmware-1.img"));
    const size_t at = run.output.find("log file: ");
    ASSERT_NE(std::string::npos, at);
    std::string logName = run.output.substr(at + 10);
    logName = logName.substr(0, logName.find('\n'));
    const Bytes log = ReadFile(logName);
    const std::string text(log.begin(), log.end());
    EXPECT_NE(std::string::npos, text.find("START FLASH SCRIPT FILE: "));
    EXPECT_EQ(2u, [&] {
        size_t count = 0;
        for (size_t p = text.find("<--   OK   -->"); p != std::string::npos; p = text.find("<--   OK   -->", p + 1))
            ++count;
        return count;
    }());
}

TEST_F(KMRUploadEndToEnd, DroppedAndBusyAnswersStillGiveAnIntactImage)
{
    Simulator sim(m_Dir / "store", {"--udp", "0", "--address", "1", "--drop", "0.1", "--busy", "0.1"});
    const Bytes image = RandomBytes(2500, 6);
    WriteFile(m_Dir / "fw.img", image);
    const RunResult run = Upload(Udp(sim) + std::vector<std::string>{"firmware", (m_Dir / "fw.img").string()});
    // The retries of the procedure carry the upload through (the fault pattern is fixed by the seed).
    ASSERT_EQ(0, run.status) << run.output;
    EXPECT_EQ(image, ReadFile(m_Dir / "store" / "firmware-1.img"));
    // Whatever the faults did, a stored image is always the one that was sent.
    for (const auto& entry : fs::directory_iterator(m_Dir / "store"))
        EXPECT_EQ(image, ReadFile(entry.path()));
}

TEST_F(KMRUploadEndToEnd, ASilentControllerFailsWithoutAWordOfSuccess)
{
    Simulator sim(m_Dir / "store", {"--pty", "--drop", "1"});
    WriteFile(m_Dir / "fw.img", RandomBytes(500, 7));
    const RunResult run = Upload({"--serial", sim.Endpoint(), "--address", "1", "--pause-scale", "0", "--log-dir",
                            m_Dir.string(), "firmware", (m_Dir / "fw.img").string()});
    EXPECT_EQ(1, run.status) << run.output;
    EXPECT_EQ(std::string::npos, run.output.find("successful")) << run.output;
    EXPECT_NE(std::string::npos, run.output.find("Error:")) << run.output;
    EXPECT_TRUE(fs::is_empty(m_Dir / "store"));
}

TEST_F(KMRUploadEndToEnd, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(2, Upload({"--udp", "127.0.0.1:1", "brightness", "101"}).status);
    EXPECT_EQ(2, Upload({"frobnicate"}).status);
    EXPECT_EQ(2, Upload({"version"}).status) << "no connection given";
}
