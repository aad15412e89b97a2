#include "ProgressLine.h"

#include "MessageLine.h"

#include <cmath>
#include <cstdio>

namespace envlights {

ProgressLine::ProgressLine(std::ostream& out, bool shown, std::size_t total)
    : _out(out), _shown(shown), _total(total), _start(std::chrono::steady_clock::now())
{
}

std::string ProgressLine::clock(double seconds)
{
    const long long whole = seconds > 0.0 ? static_cast<long long>(std::floor(seconds)) : 0;
    char text[32];
    if (whole >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60,
                      whole % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", whole / 60, whole % 60);
    return text;
}

std::string ProgressLine::text(std::size_t done, std::size_t total, double elapsedSeconds)
{
    const std::string left = done == 0 ? std::string("--:--")
                                       : clock(elapsedSeconds / static_cast<double>(done) *
                                               static_cast<double>(total - std::min(done, total)));
    return std::string(MessageLine::prefix) + std::to_string(done) + " of " +
           std::to_string(total) + " images, " + clock(elapsedSeconds) + " elapsed, about " + left +
           " left";
}

void ProgressLine::show(std::size_t done)
{
    if (!_shown)
        return;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - _start;
    const std::string line = text(done, _total, elapsed.count());
    // Padded over a longer line shown before.
    _out << '\r' << line << std::string(_width > line.size() ? _width - line.size() : 0, ' ')
         << std::flush;
    _width = std::max(_width, line.size());
}

void ProgressLine::clear()
{
    if (_width == 0)
        return;
    _out << '\r' << std::string(_width, ' ') << '\r' << std::flush;
    _width = 0;
}

} // namespace envlights
