// KMRPause: the one pause function of the upload procedures.
#pragma once

#include <cstdint>
#include <functional>

// Every fixed pause of the procedures (the 5 ms and 25 ms around each telegram, the
// seconds after resets) goes through Sleep, so that simulators and training runs can
// scale them (--pause-scale) and tests can record them without waiting. Response
// time-outs are not pauses and never scale.
// Thread safety: Sleep may be called from any thread; set scale and hook before use.
class KMRPause
{
public:
    static void Sleep(uint32_t milliseconds_i);

    // Factor applied to every pause (1 = as designed, 0 = no pauses). Negative is 0.
    static void SetScale(double scale_i);
    static double GetScale();

    // Replaces the sleeping: the hook receives the unscaled duration. Empty restores sleeping.
    static void SetHook(std::function<void(uint32_t)> hook_i);
};
