#pragma once

#include <OpenSG/OSGLog.h>

#include <string>
#include <vector>

OSG_BEGIN_NAMESPACE

// Test hook. While an instance is alive, everything the global log writes (headers and
// text, whatever the log type) goes into it instead of its usual target. Level and module
// gating still apply. Captures nest: the destructor restores whatever was active before.
class LogCapture
{
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // Everything captured so far.
    std::string text() const;
    // The text split at '\n'; a trailing newline does not add an empty last line.
    std::vector<std::string> lines() const;
    void clear();

private:
    std::string _text;
    std::string* _previous;
};

OSG_END_NAMESPACE
