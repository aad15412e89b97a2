#include "PhaseTimer.h"

#include <cstdio>

namespace envlights {

void PhaseTimer::add(const std::string& phase, double seconds)
{
    for (auto& [name, total] : _phases)
        if (name == phase) {
            total += seconds;
            return;
        }
    _phases.emplace_back(phase, seconds);
}

double PhaseTimer::seconds(const std::string& phase) const
{
    for (const auto& [name, total] : _phases)
        if (name == phase)
            return total;
    return 0.0;
}

std::string PhaseTimer::summary() const
{
    std::string out;
    for (const auto& [name, total] : _phases) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, " %.2f ms", total * 1000.0);
        out += (out.empty() ? "" : ", ") + name + buffer;
    }
    return out;
}

} // namespace envlights
