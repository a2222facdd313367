// UDP round trip: a KelmarCom2 request through KMRUDPTransmission to a loopback echo peer
// until OnReceive runs on the delivery thread, against a raw UDP ping-pong.
#include <KMRComm/IKMRReceiver.h>
#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KCSendTelegram.h>
#include <KMRComm/KMREvent.h>
#include <KMRComm/KMRKCReceiveTelegramFactory.h>
#include <KMRComm/KMRUDPTransmission.h>

#include <KMRLogging/KMRLogger.h>

#include <benchmark/benchmark.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <cstdlib>
#include <unistd.h>

#include <atomic>
#include <string>
#include <memory>
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

int BoundLoopbackSocket(uint16_t& port_o)
{
    const int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    socklen_t length = sizeof(address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port_o = ntohs(address.sin_port);
    return fd;
}

// Answers every datagram with the controller's response, until a one-byte datagram arrives.
class EchoPeer
{
public:
    explicit EchoPeer(std::vector<unsigned char> answer_i) : m_Answer(std::move(answer_i))
    {
        m_iSocket = BoundLoopbackSocket(m_usPort);
        m_Thread = std::thread([this] {
            unsigned char buffer[2048];
            for (;;)
            {
                sockaddr_in from{};
                socklen_t length = sizeof(from);
                const ssize_t n = ::recvfrom(m_iSocket, buffer, sizeof(buffer), 0, reinterpret_cast<sockaddr*>(&from), &length);
                if (n <= 1)
                    return;
                ::sendto(m_iSocket, m_Answer.data(), m_Answer.size(), 0, reinterpret_cast<sockaddr*>(&from), length);
            }
        });
    }
    ~EchoPeer()
    {
        uint16_t port = 0;
        const int stopper = BoundLoopbackSocket(port);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(m_usPort);
        const unsigned char stop = 0;
        ::sendto(stopper, &stop, 1, 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
        m_Thread.join();
        ::close(stopper);
        ::close(m_iSocket);
    }
    uint16_t Port() const { return m_usPort; }

private:
    std::vector<unsigned char> m_Answer;
    int m_iSocket = -1;
    uint16_t m_usPort = 0;
    std::thread m_Thread;
};

class SignallingReceiver : public IKMRReceiver
{
public:
    void OnReceive(KMRAbstractTelegram*) override { m_Arrived.Set(); }
    KMRAutoResetEvent m_Arrived;
};

KCSendTelegram Request()
{
    const unsigned char data[] = {0x40};
    return KCSendTelegram(0x01, 0x00, 0x10, 0x06, data, sizeof(data));
}

std::vector<unsigned char> Answer(KCSendTelegram& request_i)
{
    std::unique_ptr<KCReceiveTelegram> response(request_i.CreateSRTResponse(true));
    return std::vector<unsigned char>(response->GetTelegramStream(), response->GetTelegramStream() + response->GetSize());
}

void BM_TransmissionRoundTrip(benchmark::State& state)
{
    KCSendTelegram request = Request();
    EchoPeer peer(Answer(request));
    KMRKCReceiveTelegramFactory factory;
    SignallingReceiver receiver;
    KMRUDPCommConfig config;
    config.SetListeningAddress("127.0.0.1", 0);
    config.SetDestinationAddress("127.0.0.1", peer.Port());
    KMRUDPTransmission transmission(config, &receiver, &factory);
    transmission.Initialize();
    for (auto _ : state)
    {
        transmission.Send(&request);
        receiver.m_Arrived.Wait();
    }
    transmission.UnInitialize();
}

void BM_RawUdpPingPong(benchmark::State& state)
{
    KCSendTelegram request = Request();
    EchoPeer peer(Answer(request));
    uint16_t port = 0;
    const int client = BoundLoopbackSocket(port);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    to.sin_port = htons(peer.Port());
    unsigned char buffer[2048];
    for (auto _ : state)
    {
        ::sendto(client, request.GetTelegramStream(), request.GetSize(), 0, reinterpret_cast<sockaddr*>(&to), sizeof(to));
        benchmark::DoNotOptimize(::recv(client, buffer, sizeof(buffer), 0));
    }
    ::close(client);
}
} // namespace

BENCHMARK(BM_RawUdpPingPong)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
BENCHMARK(BM_TransmissionRoundTrip)->UseRealTime()->Repetitions(9)->ReportAggregatesOnly(true);
int main(int argc, char** argv)
{
    ConfigureLogging();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    KMRLogger::Shutdown();
    return 0;
}
