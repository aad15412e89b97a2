#include <osgTestSupport/LogCapture.h>

namespace Morvek::osgTestSupport {

using osg::Log;
using osg::osgLog;

namespace {
// The capture that owns the log buffer now; changed under the log lock.
LogCapture* innermost = nullptr;
} // namespace

LogCapture::LogCapture()
{
    Log& log = osgLog();
    log.lock();
    log.flush();
    _previousType = log.getLogType();
    _previousText = log.getLogBuffer();
    log.clearLogBuffer();
    log.setLogType(osg::LOG_BUFFER, true);
    _outer = innermost;
    innermost = this;
    log.unlock();
}

LogCapture::~LogCapture()
{
    Log& log = osgLog();
    log.lock();
    log.flush();
    log.clearLogBuffer();
    log << _previousText;
    log.flush();
    log.setLogType(_previousType, true);
    innermost = _outer;
    log.unlock();
}

std::string* LogCapture::setAside() const
{
    for (LogCapture* inner = innermost; inner != nullptr; inner = inner->_outer)
        if (inner->_outer == this)
            return &inner->_previousText;
    return nullptr;
}

std::string LogCapture::text() const
{
    Log& log = osgLog();
    log.lock();
    const std::string* aside = setAside();
    std::string copy = aside != nullptr ? *aside : log.getLogBuffer();
    log.unlock();
    return copy;
}

std::vector<std::string> LogCapture::lines() const
{
    std::string all = text();
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        if (end == std::string::npos) {
            result.push_back(all.substr(start));
            break;
        }
        result.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return result;
}

void LogCapture::clear()
{
    Log& log = osgLog();
    log.lock();
    if (std::string* aside = setAside())
        aside->clear();
    else
        log.clearLogBuffer();
    log.unlock();
}

} // namespace Morvek::osgTestSupport
