#include <morvekBase/HostLog.h>

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

namespace Morvek {

const char* LogModuleName = "Morvek";

void HostLog::write(osg::LogLevel level, const char* source, unsigned line, const char* function,
                    const char* format, ...)
{
    osg::initLog();
    if (!osg::osgLogP->checkLevel(level))
        return;

    // Format before taking the lock, so that the lock is held only while writing.
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::vector<char> text(length > 0 ? size_t(length) + 1 : 1, '\0');
    if (length > 0)
        std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);

    osg::osgStartLog(true, level, LogModuleName, source, line, function);
    osg::osgLogP->doLog("%s", text.data());
    osg::osgLogP->unlock();
}

} // namespace Morvek
