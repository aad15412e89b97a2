#pragma once

#include <morvekSampling/SummedAreaTableBuilder.h>

#include <atomic>
#include <limits>

namespace Morvek {
namespace SatKernel {

// Picks the stores for the builds of large tables by timing the first of them. On one
// machine streaming stores took a third off such a build (no line is read before it is
// written); on another, plain streaming writes ran at half the speed of cached ones. The
// first probeBuilds such builds alternate between the two, and later builds use the one whose
// fastest build was faster.
class StoreChoice {
public:
    static constexpr int probeBuilds = 4;

    // Cached or Streaming once decided, Chosen while the first builds are still timed.
    SummedAreaTableBuilder::Stores decided() const
    {
        using Stores = SummedAreaTableBuilder::Stores;
        if (_probes.load(std::memory_order_relaxed) < probeBuilds)
            return Stores::Chosen;
        return streamNext() ? Stores::Streaming : Stores::Cached;
    }

    // True when the next build should stream.
    bool streamNext() const
    {
        const int probes = _probes.load(std::memory_order_relaxed);
        if (probes < probeBuilds)
            return probes % 2 == 1;
        return _best[1].load(std::memory_order_relaxed) < _best[0].load(std::memory_order_relaxed);
    }

    void record(bool streamed, double nanosecondsPerPixel)
    {
        std::atomic<double>& best = _best[streamed ? 1 : 0];
        double seen = best.load(std::memory_order_relaxed);
        while (nanosecondsPerPixel < seen &&
               !best.compare_exchange_weak(seen, nanosecondsPerPixel, std::memory_order_relaxed)) {
        }
        _probes.fetch_add(1, std::memory_order_relaxed);
    }

private:
    std::atomic<int> _probes{0};
    std::atomic<double> _best[2] = {std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::infinity()};
};

// One choice for the process: it is a property of the machine.
StoreChoice& storeChoice();

} // namespace SatKernel
} // namespace Morvek
