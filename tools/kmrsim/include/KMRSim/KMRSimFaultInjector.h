// KMRSimFaultInjector: seeded, reproducible choice of the faults a simulated controller shows.
#pragma once

#include <cstdint>
#include <random>

// Probabilities (0 to 1) of each fault per answered request, a fixed answer delay and the
// seed. The same seed and the same requests give the same faults.
struct KMRSimFaultSettings
{
    double drop = 0.0;    // the request is executed but its answer is never sent
    double busy = 0.0;    // the request is not executed; the answer says "busy" (Status1 0x80)
    double nack = 0.0;    // the request is not executed; the answer is a NACK
    double corrupt = 0.0; // the answer is sent with one byte changed, so its checksum fails
    uint32_t delayMs = 0; // every answer goes out this late
    uint64_t seed = 1;
};

// What to do with one request. Busy wins over NACK; both mean "not executed".
struct KMRSimFaultDecision
{
    bool busy = false;
    bool nack = false;
    bool drop = false;
    bool corrupt = false;
    // Which byte to change, as a raw draw to reduce to the answer's size.
    uint32_t corruptDraw = 0;
};

// Draws the same five numbers for every request, whatever the probabilities, so a run's
// faults depend only on the seed and the order of the requests.
// Thread safety: not locked; the owner serialises calls.
class KMRSimFaultInjector
{
public:
    // Throws std::invalid_argument when a probability is outside 0..1.
    explicit KMRSimFaultInjector(const KMRSimFaultSettings& settings_i = {});

    KMRSimFaultDecision Next();
    const KMRSimFaultSettings& GetSettings() const { return m_settings; }

private:
    // A uniform number in [0, 1) from 53 bits of the generator, the same on every platform.
    double _Uniform();

    KMRSimFaultSettings m_settings;
    std::mt19937_64 m_rng;
};
