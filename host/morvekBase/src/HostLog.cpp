#include <morvekBase/HostLog.h>

#include <cstdarg>
#include <cstdio>
#include <string>

namespace Morvek {

const char* LogModuleName = "Morvek";

void HostLog::write(osg::LogLevel level, const char* source, unsigned line, const char* function,
                    const char* format, ...)
{
    osg::Log& log = osg::osgLog();
    if (!log.checkLevel(level))
        return;

    // Format before taking the lock, so that the lock is held only while the log writes.
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

    // Header and text in one piece, so that another thread's line cannot come in between. The
    // lock is released on every path, also when the log's stream throws.
    struct Locked {
        osg::Log& log;
        explicit Locked(osg::Log& l) : log(l) { log.lock(); }
        ~Locked() { log.unlock(); }
        Locked(const Locked&) = delete;
        Locked& operator=(const Locked&) = delete;
    } locked(log);

    if (log.checkModule(LogModuleName))
        log.doHeader(level, LogModuleName, source, line, function);
    log.doLog("%s", text.c_str());
}

} // namespace Morvek
