#include "TableWriter.h"

#include "FloatText.h"

#include <cstdio>

namespace envlights {

namespace {

template <class... Args> std::string format(const char* pattern, Args... args)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, pattern, args...);
    return buffer;
}

// The end of a title line: the turn, when there was one.
std::string turned(const FormatOptions& options)
{
    return options.rotateDeg == 0.0 ? "" : ", turned " + doubleText(options.rotateDeg) + " degrees";
}

} // namespace

std::string TableWriter::write(const std::vector<EnvironmentReport>& reports,
                               const FormatOptions& options)
{
    std::string out;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const EnvironmentReport& report = reports[i];
        if (i)
            out += '\n';
        out +=
            format("%s: %d x %d, %zu light%s from %zu region%s", report.path.c_str(), report.width,
                   report.height, report.lights.size(), report.lights.size() == 1 ? "" : "s",
                   report.leaves.size(), report.leaves.size() == 1 ? "" : "s") +
            turned(options) + "\n";
        if (report.lights.empty())
            continue;
        out += format("%4s  %-30s  %-33s  %s\n", "rank", "direction (x, y, z)", "color (r, g, b)",
                      "region (x, y, width, height)");
        for (std::size_t k = 0; k < report.lights.size(); ++k) {
            const ReportedLight& light = report.lights[k];
            const auto& d = light.direction;
            const auto& c = light.color;
            const PictureRect& r = light.region;
            out += format("%4zu  (%8.5f, %8.5f, %8.5f)  (%9.6f, %9.6f, %9.6f)  (%d, %d, %d, %d)\n",
                          k + 1, static_cast<double>(d[0]), static_cast<double>(d[1]),
                          static_cast<double>(d[2]), static_cast<double>(c[0]),
                          static_cast<double>(c[1]), static_cast<double>(c[2]), r.x, r.y, r.width,
                          r.height);
        }
    }
    return out;
}

std::string TableWriter::write(const std::vector<PhysicalReport>& reports,
                               const FormatOptions& options)
{
    std::string out;
    for (std::size_t i = 0; i < reports.size(); ++i) {
        const PhysicalReport& report = reports[i];
        const auto& total = report.totalIrradiance;
        if (i)
            out += '\n';
        out += format("%s: %d x %d, %zu light%s (physical method), total irradiance (%.5g, %.5g, "
                      "%.5g)",
                      report.path.c_str(), report.width, report.height, report.lights.size(),
                      report.lights.size() == 1 ? "" : "s", total[0], total[1], total[2]) +
               turned(options) + "\n";
        if (!report.lights.empty())
            out += format("%4s  %-30s  %-39s  %11s  %11s  %s\n", "rank", "direction (x, y, z)",
                          "irradiance (r, g, b)", "intensity", "solid angle",
                          "region (x, y, width, height)");
        for (std::size_t k = 0; k < report.lights.size(); ++k) {
            const Morvek::PhysicalLight& light = report.lights[k];
            const auto& d = light.direction;
            const auto& e = light.irradiance;
            const Morvek::PixelRect& r = light.region;
            out += format("%4zu  (%8.5f, %8.5f, %8.5f)  (%11.5g, %11.5g, %11.5g)  %11.5g  %11.6f  "
                          "(%d, %d, %d, %d)\n",
                          k + 1, d[0], d[1], d[2], e[0], e[1], e[2], colorIntensity(e).intensity,
                          light.solidAngle, r.x, r.y, r.width, r.height);
        }
        if (report.irradianceError)
            out += format("irradiance error: %.4g\n", *report.irradianceError);
    }
    return out;
}

} // namespace envlights
