#pragma once

#include <OpenSG/OSGLog.h>

namespace Morvek {

// The module name in the header of every log line of the host and its node pools.
extern const char* LogModuleName;

// Writes log lines to the OpenSG log, for the host and for the node pools it loads:
//   - nothing at all unless the log's level admits `level`;
//   - a header (level, module LogModuleName, source, line, function) only when the log accepts
//     the module; the text is written either way;
//   - header and text under OpenSG's log lock, so that a line is never torn apart by another
//     thread's output.
// Out of line on purpose: a pool that calls it binds to the host, never the other way round,
// so the pool can still be unloaded.
class HostLog {
public:
    // source: the writer's source file without extension, e.g. "morvekBase/Node".
    // format: printf-style, carrying its own trailing newline.
    static void write(osg::LogLevel level, const char* source, unsigned line, const char* function,
                      const char* format, ...) __attribute__((format(printf, 5, 6)));
};

} // namespace Morvek

// One line with the caller's line and function signature:
//   MORVEK_HOST_LOG(osg::LOG_WARNING, "morvekBase/Node", "...", ...)
#define MORVEK_HOST_LOG(level, source, ...)                                                        \
    ::Morvek::HostLog::write((level), (source), __LINE__, __PRETTY_FUNCTION__, __VA_ARGS__)
