#include "LogRelay.h"

#include "MessageLine.h"

namespace envlights {

LogRelay::LogRelay(std::ostream& out) : _out(out)
{
    osg::Log& log = osg::osgLog();
    log.lock();
    log.flush();
    _previousType = log.getLogType();
    _previousText = log.getLogBuffer();
    log.clearLogBuffer();
    // Forced, so that OSG_LOG_TYPE in the environment cannot send lines around the relay.
    log.setLogType(osg::LOG_BUFFER, true);
    log.unlock();
}

LogRelay::~LogRelay()
{
    relay();
    if (!_partial.empty())
        MessageLine::write(_out, _partial);
    osg::Log& log = osg::osgLog();
    log.lock();
    log.clearLogBuffer();
    log << _previousText;
    log.flush();
    log.setLogType(_previousType, true);
    log.unlock();
}

void LogRelay::relay()
{
    osg::Log& log = osg::osgLog();
    log.lock();
    log.flush();
    std::string text = _partial + log.getLogBuffer();
    log.clearLogBuffer();
    log.unlock();
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
        if (end > start)
            MessageLine::write(_out, text.substr(start, end - start));
    _partial = text.substr(start);
    _out.flush();
}

} // namespace envlights
