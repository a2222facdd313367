// KMRSimFaultInjector: seeded, reproducible choice of the faults a simulated controller shows.
#include "KMRSim/KMRSimFaultInjector.h"

#include <stdexcept>

namespace
{
void _CheckProbability(double value_i, const char* name_i)
{
    if (!(value_i >= 0.0 && value_i <= 1.0))
    {
        throw std::invalid_argument(std::string("fault probability out of 0..1: ") + name_i);
    }
}
} // namespace

KMRSimFaultInjector::KMRSimFaultInjector(const KMRSimFaultSettings& settings_i)
    : m_settings(settings_i), m_rng(settings_i.seed)
{
    _CheckProbability(settings_i.drop, "drop");
    _CheckProbability(settings_i.busy, "busy");
    _CheckProbability(settings_i.nack, "nack");
    _CheckProbability(settings_i.corrupt, "corrupt");
}

double KMRSimFaultInjector::_Uniform()
{
    return static_cast<double>(m_rng() >> 11) * (1.0 / 9007199254740992.0);
}

KMRSimFaultDecision KMRSimFaultInjector::Next()
{
    KMRSimFaultDecision decision;
    const double busy = _Uniform();
    const double nack = _Uniform();
    const double drop = _Uniform();
    const double corrupt = _Uniform();
    decision.corruptDraw = static_cast<uint32_t>(m_rng() >> 32);
    decision.busy = busy < m_settings.busy;
    decision.nack = !decision.busy && nack < m_settings.nack;
    decision.drop = drop < m_settings.drop;
    decision.corrupt = corrupt < m_settings.corrupt;
    return decision;
}
