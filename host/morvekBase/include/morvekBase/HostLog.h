#pragma once

#include <OpenSG/OSGLog.h>

namespace Morvek {

// The module name in the header of every log line of the host and its node pools.
extern const char* LogModuleName;

// Writes log lines to the OpenSG log the way every part of the host does: only when the log
// admits the level; the header (level, module LogModuleName, source, line, function) only when
// the log accepts the module; then the printf-style text; header and text under the log lock.
class HostLog {
public:
    // source: the writer's source file without extension, e.g. "morvekBase/Node".
    static void write(osg::LogLevel level, const char* source, unsigned line,
                      const char* function, const char* format, ...)
        __attribute__((format(printf, 5, 6)));
};

} // namespace Morvek

// Convenience for host sources: MORVEK_HOST_LOG(osg::LOG_WARNING, "morvekBase/Node", "...", ...)
#define MORVEK_HOST_LOG(level, source, ...) \
    ::Morvek::HostLog::write((level), (source), __LINE__, __PRETTY_FUNCTION__, __VA_ARGS__)
