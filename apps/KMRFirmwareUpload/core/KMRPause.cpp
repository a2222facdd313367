// KMRPause: scaled sleeps with a hook for tests.
#include "KMRPause.h"

#include <chrono>
#include <mutex>
#include <thread>

namespace
{
std::mutex g_Mutex;
double g_dScale = 1.0;
std::function<void(uint32_t)> g_Hook;
} // namespace

void KMRPause::Sleep(uint32_t milliseconds_i)
{
    std::function<void(uint32_t)> hook;
    double scale;
    {
        std::lock_guard<std::mutex> lock(g_Mutex);
        hook = g_Hook;
        scale = g_dScale;
    }
    if (hook)
    {
        hook(milliseconds_i);
        return;
    }
    const auto scaled = std::chrono::duration<double, std::milli>(milliseconds_i * scale);
    if (scaled.count() > 0)
        std::this_thread::sleep_for(scaled);
}

void KMRPause::SetScale(double scale_i)
{
    std::lock_guard<std::mutex> lock(g_Mutex);
    g_dScale = scale_i > 0 ? scale_i : 0;
}

double KMRPause::GetScale()
{
    std::lock_guard<std::mutex> lock(g_Mutex);
    return g_dScale;
}

void KMRPause::SetHook(std::function<void(uint32_t)> hook_i)
{
    std::lock_guard<std::mutex> lock(g_Mutex);
    g_Hook = std::move(hook_i);
}
