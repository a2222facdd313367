// Tests of the simulator's transports (UDP, pseudo-terminal), the file store and the program.
#include "KMRSim/KMRSimServer.h"

#include <KMRComm/KCSendTelegram.h>

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <future>
#include <optional>
#include <string>
#include <vector>

extern char** environ;

namespace
{
using Bytes = std::vector<uint8_t>;
constexpr int TIMEOUT_MS = 5000;

Bytes Request(uint8_t addr_i, uint8_t tag_i, uint8_t cmd_i, const Bytes& data_i = {})
{
    const KCSendTelegram telegram(addr_i, 0, tag_i, cmd_i, data_i.empty() ? nullptr : data_i.data(),
                                  static_cast<unsigned int>(data_i.size()));
    return Bytes(telegram.GetTelegramStream(), telegram.GetTelegramStream() + telegram.GetSize());
}

const Bytes POLL_ANSWER{0x5A, 0xA5, 0x01, 0x00, 0x01, 0x11, 0x00, 0x00, 0x00, 0xEE, 0x01, 0xFF};

// A UDP client on loopback that sends one datagram and waits for one answer.
class UdpClient
{
public:
    explicit UdpClient(uint16_t port_i) : m_fd(::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0))
    {
        m_address.sin_family = AF_INET;
        m_address.sin_port = htons(port_i);
        m_address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    }
    ~UdpClient() { ::close(m_fd); }

    void Send(const Bytes& request_i)
    {
        ::sendto(m_fd, request_i.data(), request_i.size(), 0, reinterpret_cast<const sockaddr*>(&m_address),
                 sizeof(m_address));
    }
    std::optional<Bytes> Exchange(const Bytes& request_i)
    {
        Send(request_i);
        pollfd fd{m_fd, POLLIN, 0};
        if (::poll(&fd, 1, TIMEOUT_MS) != 1)
        {
            return std::nullopt;
        }
        Bytes answer(1024);
        const ssize_t size = ::recv(m_fd, answer.data(), answer.size(), 0);
        if (size < 0)
        {
            return std::nullopt;
        }
        answer.resize(static_cast<std::size_t>(size));
        return answer;
    }

private:
    int m_fd;
    sockaddr_in m_address{};
};

Bytes ReadFile(const std::filesystem::path& path_i)
{
    std::ifstream file(path_i, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class TempDir
{
public:
    TempDir()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kmrsim-test-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(m_path); }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};
} // namespace

TEST(KMRSimServer, UdpAnswersTheSenderAndStoresTheFirmwareImage)
{
    TempDir store;
    KMRSimServerOptions options;
    options.storeDirectory = (store.Path() / "received").string();
    KMRSimServer sim(options);
    sim.StartUdp();
    ASSERT_NE(0, sim.Port());
    UdpClient client(sim.Port());
    EXPECT_EQ(POLL_ANSWER, client.Exchange(Request(1, 0x10, 0x01)));

    const Bytes image{1, 2, 3, 4, 5};
    const uint16_t checksum = KMRSimController::CalcFletcherChecksum(image.data(), image.size());
    for (const Bytes& request : {Request(1, 0x20, 0xF4), Request(1, 0x30, 0x12),
                                 Request(254, 0x40, 0xF1,
                                         {0, 0, 5, uint8_t(checksum >> 8), uint8_t(checksum), 0, 2, 0, 0, 3, 1, 0}),
                                 Request(254, 0x50, 0xF3, {0, 0, 1, 2, 3, 4, 5}), Request(254, 0x60, 0xF2)})
    {
        const std::optional<Bytes> answer = client.Exchange(request);
        ASSERT_TRUE(answer.has_value());
        EXPECT_EQ(0x01, (*answer)[5] & 0x01) << "command " << int(request[7]);
        EXPECT_EQ(0, (*answer)[8]) << "command " << int(request[7]);
    }
    ASSERT_EQ(1u, sim.FirmwareImages().size());
    EXPECT_EQ(image, sim.FirmwareImages()[0]);
    EXPECT_EQ(image, ReadFile(store.Path() / "received" / "firmware-1.img"));
    sim.Stop();
    sim.Stop();
}

TEST(KMRSimServer, PtyReassemblesRequestsWrittenInPieces)
{
    KMRSimServer sim;
    sim.StartPty();
    const int fd = ::open(sim.PtyPath().c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    ASSERT_GE(fd, 0) << sim.PtyPath();
    termios settings{};
    ::tcgetattr(fd, &settings);
    ::cfmakeraw(&settings);
    ::tcsetattr(fd, TCSANOW, &settings);

    const Bytes poll = Request(1, 0x10, 0x01);
    const Bytes temperature = Request(1, 0x20, 0x0D, {0x22});
    Bytes stream = poll;
    stream.insert(stream.end(), temperature.begin(), temperature.end());
    ASSERT_EQ(4, ::write(fd, stream.data(), 4));
    ASSERT_EQ(ssize_t(stream.size() - 4), ::write(fd, stream.data() + 4, stream.size() - 4));

    Bytes expected = POLL_ANSWER;
    const Bytes temperatureAnswer{0x5A, 0xA5, 0x01, 0x00, 0x03, 0x21, 0x00, 0x00, 0x00, 0xDC, 0x0D, 0x09, 0x29, 0xC1};
    expected.insert(expected.end(), temperatureAnswer.begin(), temperatureAnswer.end());
    Bytes received;
    while (received.size() < expected.size())
    {
        pollfd wait{fd, POLLIN, 0};
        ASSERT_EQ(1, ::poll(&wait, 1, TIMEOUT_MS)) << "answers missing after " << received.size() << " bytes";
        uint8_t buffer[64];
        const ssize_t size = ::read(fd, buffer, sizeof(buffer));
        ASSERT_GT(size, 0);
        received.insert(received.end(), buffer, buffer + size);
    }
    EXPECT_EQ(expected, received);
    ::close(fd);
    sim.Stop();
}

TEST(KMRSimServer, StopEndsAServerThatDelaysItsAnswer)
{
    std::promise<void> answerBuilt;
    KMRSimServerOptions options;
    options.faults.delayMs = 60000;
    options.trace = true;
    options.log = [&answerBuilt](const std::string& line_i) {
        if (line_i.rfind("SEND ", 0) == 0)
        {
            answerBuilt.set_value();
        }
    };
    KMRSimServer sim(options);
    sim.StartUdp();
    UdpClient client(sim.Port());
    const Bytes poll = Request(1, 0x10, 0x01);
    client.Send(poll);
    // The server is now in its minute of delay; Stop must not wait it out.
    ASSERT_EQ(std::future_status::ready, answerBuilt.get_future().wait_for(std::chrono::milliseconds(TIMEOUT_MS)));
    const auto before = std::chrono::steady_clock::now();
    sim.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(30));
}

TEST(KMRSimProgram, PrintsReadyServesAndEndsCleanlyOnSigterm)
{
    TempDir store;
    int out[2];
    ASSERT_EQ(0, ::pipe(out));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    const std::string storeDir = store.Path().string();
    std::vector<std::string> args{KMRSIM_PROGRAM, "--udp", "127.0.0.1:0", "--address", "7", "--temperature", "-1.5",
                                  "--store", storeDir};
    std::vector<char*> argv;
    for (std::string& arg : args)
    {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    pid_t pid = 0;
    ASSERT_EQ(0, ::posix_spawn(&pid, KMRSIM_PROGRAM, &actions, nullptr, argv.data(), environ));
    posix_spawn_file_actions_destroy(&actions);
    ::close(out[1]);

    std::string line;
    char c = 0;
    pollfd wait{out[0], POLLIN, 0};
    while (line.find('\n') == std::string::npos && ::poll(&wait, 1, TIMEOUT_MS) == 1 && ::read(out[0], &c, 1) == 1)
    {
        line += c;
    }
    ::close(out[0]);
    unsigned int port = 0;
    ASSERT_EQ(1, std::sscanf(line.c_str(), "READY udp %u\n", &port)) << line;

    UdpClient client(static_cast<uint16_t>(port));
    const std::optional<Bytes> answer = client.Exchange(Request(7, 0x10, 0x0D, {0x22}));
    ASSERT_TRUE(answer.has_value());
    EXPECT_EQ((Bytes{0xFF, 0x6A}), Bytes(answer->begin() + 11, answer->begin() + 13)) << "-1.50 degrees";

    ::kill(pid, SIGTERM);
    int status = 0;
    ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status));
}
