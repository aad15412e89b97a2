#pragma once

#include <OpenSG/OSGLog.h>

#include <string>
#include <vector>

namespace Morvek::osgTestSupport {

// While an instance is alive, everything the global log writes (headers and
// text, whatever the log type) goes into it instead of its usual target: the log writes to
// its buffer (LOG_BUFFER) meanwhile, and gets its type and buffer text back afterwards.
// Level and module gating still apply. Captures nest: an inner capture sets the outer one's
// text aside and hands it back when it ends.
class LogCapture {
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
    // Where this capture's text is kept while an inner capture runs; null when it is the
    // innermost one (its text is then the log's buffer).
    std::string* setAside() const;

    osg::LogType _previousType;
    // The log buffer's text from before: the enclosing capture's, or the application's.
    std::string _previousText;
    LogCapture* _outer;
};

} // namespace Morvek::osgTestSupport
