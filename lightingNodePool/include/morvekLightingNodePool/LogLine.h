#pragma once

#include <OpenSG/OSGLog.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace Morvek {

// Writes one line to the OpenSG log the way every part of the lighting pool does:
//   - nothing at all unless the log's level admits `level`;
//   - a header (level, `module`, `source`, `line`, `function`) only when the log accepts
//     `module`; the text is written either way;
//   - header and text under OpenSG's log lock when that lock exists, so that a line is never
//     torn apart by another thread's output.
// `format` is printf-style and carries its own trailing newline.
//
// Most callers use MORVEK_LOG_LINE below, which fills in the host's module name, the line and
// the function signature.
inline void writeLogLine(osg::LogLevel level, const char* module, const char* source, unsigned line,
                         const char* function, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 6, 7)))
#endif
    ;

inline void writeLogLine(osg::LogLevel level, const char* module, const char* source, unsigned line,
                         const char* function, const char* format, ...)
{
    osg::Log& log = osg::osgLog();
    if (!log.checkLevel(level))
        return;

    // Format before taking the lock: the lock is held only while the log itself writes.
    std::string text;
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    const int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length > 0) {
        text.resize(static_cast<size_t>(length) + 1);
        std::vsnprintf(&text[0], text.size(), format, args);
        text.resize(static_cast<size_t>(length));
    }
    va_end(args);

    // Released on every path, also if the log's stream throws.
    struct LockGuard {
        osg::Lock* lock;
        explicit LockGuard(osg::Lock* l) : lock(l)
        {
            if (lock)
                lock->aquire();
        }
        ~LockGuard()
        {
            if (lock)
                lock->release();
        }
        LockGuard(const LockGuard&) = delete;
        LockGuard& operator=(const LockGuard&) = delete;
    } guard(osg::Log::_pLogLock);

    if (log.checkModule(module))
        log.doHeader(level, module, source, line, function);
    log.doLog("%s", text.c_str());
}

} // namespace Morvek

// One log line from `source` ("lightingNodePool/<Class>") under the host's module name.
// The caller includes <morvekBase/LogModuleName.h> (or any header declaring
// Morvek::LogModuleName).
#define MORVEK_LOG_LINE(level, source, ...)                                                        \
    ::Morvek::writeLogLine((level), ::Morvek::LogModuleName, (source), __LINE__,                   \
                           __PRETTY_FUNCTION__, __VA_ARGS__)
