// Serial stream: 1 MiB of back-to-back KelmarCom2 responses written into a pty and
// delivered as telegrams by KMRSerialTransmission, against raw write/read of the same bytes.
#include <KMRComm/IKMRReceiver.h>
#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KMREvent.h>
#include <KMRComm/KMRKCReceiveTelegramFactory.h>
#include <KMRComm/KMRSerialTransmission.h>

#include <KMRLogging/KMRLogger.h>

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <pty.h>
#include <termios.h>
#include <cstdlib>
#include <unistd.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace
{
// Logging as a deployed program has it: configured, info level. Unconfigured log4cxx
// would log every debug line of the hot path.
void ConfigureLogging()
{
    char path[] = "/tmp/kmr_bench_logXXXXXX";
    const int fd = ::mkstemp(path);
    const std::string config = R"(<?xml version="1.0" encoding="UTF-8"?>
<log4j:configuration xmlns:log4j="http://jakarta.apache.org/log4j/">
  <appender name="null" class="org.apache.log4j.varia.NullAppender"/>
  <root><priority value="info"/><appender-ref ref="null"/></root>
</log4j:configuration>)";
    ::write(fd, config.data(), config.size());
    ::close(fd);
    KMRLogger::Configure(path);
    ::unlink(path);
}

constexpr size_t STREAM_BYTES = 1u << 20;

// Content-upload sized responses (sequence number and 125 data bytes), repeated to 1 MiB.
std::vector<unsigned char> Stream(size_t& frames_o)
{
    std::vector<unsigned char> data(125);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<unsigned char>(i * 7);
    std::vector<unsigned char> stream;
    frames_o = 0;
    while (stream.size() < STREAM_BYTES)
    {
        KCReceiveTelegram frame(0x01, 0x00, 0x11, 0, 0, 0, 0x1a, static_cast<unsigned short>(frames_o), data.data(),
                                static_cast<unsigned int>(data.size()));
        stream.insert(stream.end(), frame.GetTelegramStream(), frame.GetTelegramStream() + frame.GetSize());
        ++frames_o;
    }
    return stream;
}

struct Pty
{
    Pty()
    {
        char name[256] = {};
        ::openpty(&master, &slave, name, nullptr, nullptr);
        path = name;
        termios settings{};
        ::tcgetattr(master, &settings);
        ::cfmakeraw(&settings);
        ::tcsetattr(master, TCSANOW, &settings);
        ::tcsetattr(slave, TCSANOW, &settings);
    }
    ~Pty()
    {
        ::close(master);
        ::close(slave);
    }
    void WriteAll(const std::vector<unsigned char>& bytes_i) const
    {
        size_t done = 0;
        while (done < bytes_i.size())
        {
            const ssize_t n = ::write(master, bytes_i.data() + done, bytes_i.size() - done);
            if (n > 0)
                done += static_cast<size_t>(n);
        }
    }
    int master = -1;
    int slave = -1;
    std::string path;
};

class CountingReceiver : public IKMRReceiver
{
public:
    void OnReceive(KMRAbstractTelegram*) override
    {
        if (++m_iCount == m_iTarget)
            m_Done.Set();
    }
    std::atomic<size_t> m_iCount{0};
    size_t m_iTarget = 0;
    KMRAutoResetEvent m_Done;
};

void BM_TransmissionStream(benchmark::State& state)
{
    size_t frames = 0;
    const std::vector<unsigned char> stream = Stream(frames);
    Pty pty;
    KMRKCReceiveTelegramFactory factory;
    CountingReceiver receiver;
    KMRSerialCommConfig config;
    config.SetCOMPort(pty.path);
    KMRSerialTransmission transmission(config, &receiver, &factory);
    transmission.Initialize();
    for (auto _ : state)
    {
        receiver.m_iCount = 0;
        receiver.m_iTarget = frames;
        std::thread writer([&] { pty.WriteAll(stream); });
        receiver.m_Done.Wait();
        writer.join();
    }
    transmission.UnInitialize();
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}

void BM_RawPtyStream(benchmark::State& state)
{
    size_t frames = 0;
    const std::vector<unsigned char> stream = Stream(frames);
    Pty pty;
    std::vector<unsigned char> buffer(511);
    for (auto _ : state)
    {
        std::thread writer([&] { pty.WriteAll(stream); });
        size_t received = 0;
        while (received < stream.size())
        {
            const ssize_t n = ::read(pty.slave, buffer.data(), buffer.size());
            if (n > 0)
                received += static_cast<size_t>(n);
        }
        writer.join();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}
} // namespace

BENCHMARK(BM_RawPtyStream)->UseRealTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(BM_TransmissionStream)->UseRealTime()->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
int main(int argc, char** argv)
{
    ConfigureLogging();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    KMRLogger::Shutdown();
    return 0;
}
