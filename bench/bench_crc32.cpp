// CRC-32 of 64 MiB: our sliced table against zlib's crc32 in the same run.
#include <KMRBase/KMRChecksum.h>

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdint>
#include <random>
#include <vector>

namespace
{
constexpr size_t SIZE = 64u << 20;

const std::vector<uint8_t>& Data()
{
    static const std::vector<uint8_t> data = [] {
        std::vector<uint8_t> bytes(SIZE);
        std::mt19937 random(7);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(random());
        return bytes;
    }();
    return data;
}

void Crc32_KMRBase(benchmark::State& state)
{
    const auto& data = Data();
    for (auto _ : state)
        benchmark::DoNotOptimize(Crc32(data.data(), data.size()));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(SIZE));
}

void Crc32_zlib(benchmark::State& state)
{
    const auto& data = Data();
    for (auto _ : state)
        benchmark::DoNotOptimize(::crc32(0L, data.data(), static_cast<uInt>(data.size())));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(SIZE));
}

// One byte at a time through the table: the technique the file helpers started from.
void Crc32_ByteTable(benchmark::State& state)
{
    const auto& data = Data();
    for (auto _ : state)
    {
        uint32_t crc = 0xFFFFFFFFu;
        for (uint8_t b : data)
            CalcCrc32(b, crc);
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(SIZE));
}
} // namespace

BENCHMARK(Crc32_zlib)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Crc32_KMRBase)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(Crc32_ByteTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
