#pragma once

// Wall-clock time per named phase, for --timings.

#include <chrono>
#include <string>
#include <utility>
#include <vector>

namespace envlights {

class PhaseTimer {
public:
    /// Measures from construction to destruction and adds it to its phase.
    class Scope {
    public:
        Scope(PhaseTimer& timer, std::string phase)
            : _timer(timer), _phase(std::move(phase)), _start(std::chrono::steady_clock::now())
        {
        }
        ~Scope()
        {
            const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - _start;
            _timer.add(_phase, elapsed.count());
        }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

    private:
        PhaseTimer& _timer;
        std::string _phase;
        std::chrono::steady_clock::time_point _start;
    };

    Scope measure(std::string phase) { return Scope(*this, std::move(phase)); }

    /// Adds `seconds` to `phase`; phases keep the order in which they first appear.
    void add(const std::string& phase, double seconds);

    /// Seconds recorded for `phase` (0 for an unknown one).
    double seconds(const std::string& phase) const;

    /// "phase 1.23 ms, other 0.45 ms"; empty when nothing was measured.
    std::string summary() const;

private:
    std::vector<std::pair<std::string, double>> _phases;
};

} // namespace envlights
