// The C++ call behind the Python module's extract(): a 1024 x 512 environment prepared as
// envlights prepares it and cut into 16 physical lights. bench/pythonExtract.py runs this
// program and times the Python call on the same image to give their ratio.

#include "HdriLoader.h"

#include <EnvironmentPreparation.h>
#include <LightsFromImage.h>

#include <benchmark/benchmark.h>

namespace {

using namespace Morvek;

constexpr int lightCount = 16; // extract()'s default

void extractCall(benchmark::State& state)
{
    std::string error;
    static const bench::Hdri hdri = bench::loadHdri(bench::hdriPath("sunset"), error);
    if (hdri.rgb.empty()) {
        state.SkipWithError(error.c_str());
        return;
    }
    const RadianceImage view{hdri.rgb.data(), hdri.width, hdri.height, false};
    for (auto _ : state) {
        envlights::EnvironmentPreparation prepared;
        envlights::PhysicalReport report;
        std::string warning;
        if (!prepared.prepare(view, "sunset", 0.0, warning, error) ||
            !envlights::LightsFromImage::physical(prepared.image(), lightCount, "sunset", report,
                                                  error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(report);
    }
    state.SetLabel(std::to_string(hdri.width) + "x" + std::to_string(hdri.height));
}

} // namespace

BENCHMARK(extractCall)->Name("extract call")->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
