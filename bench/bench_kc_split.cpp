// Cuts a 64 MiB stream of back-to-back KelmarCom2 responses (mixed sizes, a few garbage bytes
// between some) into frames and builds a telegram from each through the response factory,
// against memcpy of the same buffer in the same run.
#include <KMRComm/KCReceiveTelegram.h>
#include <KMRComm/KMRKCReceiveTelegramFactory.h>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

namespace
{
constexpr size_t STREAM_SIZE = 64u << 20;

// The stream, built once: responses with 0 to 254 data bytes (one in eight an extended content
// sequence) and, after about one frame in a hundred, one to three garbage bytes.
const std::vector<unsigned char>& Stream()
{
    static const std::vector<unsigned char> stream = [] {
        std::vector<unsigned char> bytes;
        bytes.reserve(STREAM_SIZE + 512);
        std::mt19937 random(4711);
        KMRKCReceiveTelegramFactory factory;
        std::vector<unsigned char> data(254);
        while (bytes.size() < STREAM_SIZE)
        {
            for (auto& b : data)
                b = static_cast<unsigned char>(random());
            const unsigned int len = random() % 255;
            std::unique_ptr<KCReceiveTelegram> frame;
            if (random() % 8 == 0)
                frame.reset(factory.CreateOnGetContentTelegram(1, 0, 0x20, 1, data.data(), len == 0 ? 1 : len % 126, 0));
            else
                frame.reset(factory.CreateOnTelegram(1, 0, 0x20, 1, 0, 0, 0, KCTelegram::CMD_GETCATEGORYVALUES,
                                                     data.data(), len));
            bytes.insert(bytes.end(), frame->GetTelegramStream(), frame->GetTelegramStream() + frame->GetSize());
            if (random() % 100 == 0)
                bytes.insert(bytes.end(), 1 + random() % 3, static_cast<unsigned char>(0x13));
        }
        bytes.resize(STREAM_SIZE); // the cut-off last frame stays incomplete
        return bytes;
    }();
    return stream;
}

// Splits the whole stream and builds every frame; answers the number of telegrams built.
size_t SplitAndConstruct(const std::vector<unsigned char>& stream_i, KMRKCReceiveTelegramFactory& factory_i,
                         KMRAbstractTelegram& splitter_i)
{
    size_t telegrams = 0;
    size_t offset = 0;
    const auto len = static_cast<unsigned int>(stream_i.size());
    while (offset < len)
    {
        unsigned int consumed = 0;
        const ETelegramState state =
            splitter_i.SplitTelegram(stream_i.data() + offset, len - static_cast<unsigned int>(offset), consumed);
        if (state == ETelegramIncomplete)
            break;
        if (state == ETelegramComplete)
        {
            KMRTelegramPtr telegram(factory_i.CreateTelegram(stream_i.data() + offset, static_cast<int>(consumed)));
            benchmark::DoNotOptimize(telegram.get());
            ++telegrams;
        }
        offset += consumed;
    }
    return telegrams;
}

void BM_Memcpy(benchmark::State& state)
{
    const std::vector<unsigned char>& stream = Stream();
    std::vector<unsigned char> copy(stream.size());
    for (auto _ : state)
    {
        std::memcpy(copy.data(), stream.data(), stream.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
}

// Each iteration also times one memcpy of the same buffer outside the measured time, so the
// ratio compares both under the same conditions.
void BM_SplitAndConstruct(benchmark::State& state)
{
    const std::vector<unsigned char>& stream = Stream();
    std::vector<unsigned char> copy(stream.size());
    KMRKCReceiveTelegramFactory factory;
    KMRTelegramPtr splitter(factory.CreateTelegram());
    double splitSeconds = 0;
    double memcpySeconds = 0;
    size_t telegrams = 0;
    for (auto _ : state)
    {
        const auto start = std::chrono::steady_clock::now();
        telegrams = SplitAndConstruct(stream, factory, *splitter);
        const auto split = std::chrono::steady_clock::now();
        state.PauseTiming();
        const auto copyStart = std::chrono::steady_clock::now();
        std::memcpy(copy.data(), stream.data(), stream.size());
        benchmark::ClobberMemory();
        const auto copyEnd = std::chrono::steady_clock::now();
        state.ResumeTiming();
        splitSeconds += std::chrono::duration<double>(split - start).count();
        memcpySeconds += std::chrono::duration<double>(copyEnd - copyStart).count();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * stream.size()));
    state.counters["telegrams"] = static_cast<double>(telegrams);
    state.counters["ratio_vs_memcpy"] = memcpySeconds > 0 ? splitSeconds / memcpySeconds : 0;
    state.counters["memcpy_MBps"] =
        memcpySeconds > 0 ? static_cast<double>(state.iterations()) * stream.size() / memcpySeconds / 1e6 : 0;
}
} // namespace

BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SplitAndConstruct)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
