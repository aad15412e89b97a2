#pragma once

// A line on a terminal that says how far a run is: images done of all, time elapsed and an
// estimate of the time left, rewritten in place (a carriage return, no newline) and erased
// before any other line is written and at the end. Nothing at all when the stream is not a
// terminal, so that logs and pipes stay clean.

#include <chrono>
#include <cstddef>
#include <ostream>
#include <string>

namespace envlights {

class ProgressLine {
public:
    /// `shown` false: every call does nothing (standard error is not a terminal).
    ProgressLine(std::ostream& out, bool shown, std::size_t total);
    ~ProgressLine() { clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    /// Rewrites the line for `done` images finished.
    void show(std::size_t done);
    /// Erases the line, if one is shown.
    void clear();

    /// "envlights: 3 of 10 images, 0:04 elapsed, about 0:09 left"; the time left is the time
    /// per image so far times the images left, "--:--" before the first image is done.
    static std::string text(std::size_t done, std::size_t total, double elapsedSeconds);
    /// Whole seconds as m:ss, or h:mm:ss from an hour.
    static std::string clock(double seconds);

private:
    std::ostream& _out;
    bool _shown;
    std::size_t _total;
    std::size_t _width = 0; ///< characters on screen now, 0: no line
    std::chrono::steady_clock::time_point _start;
};

} // namespace envlights
