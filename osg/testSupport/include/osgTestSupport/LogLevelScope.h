#pragma once

#include <OpenSG/OSGLog.h>

namespace Morvek::osgTestSupport {

// Sets the OpenSG log's level and header for one test and restores them (and the module
// handling) afterwards. Forced, so that OSG_LOG_* environment variables cannot interfere.
class LogLevelScope {
public:
    LogLevelScope(osg::LogLevel level, osg::UInt32 header)
        : _level(osg::osgLog().getLogLevel()), _header(osg::osgLog().getHeaderElem()),
          _modules(osg::osgLog().getModuleHandling())
    {
        osg::osgLog().setLogLevel(level, true);
        osg::osgLog().setHeaderElem(header, true);
    }
    ~LogLevelScope()
    {
        osg::osgLog().setLogLevel(_level, true);
        osg::osgLog().setHeaderElem(_header, true);
        osg::osgLog().setModuleHandling(_modules, true);
    }
    LogLevelScope(const LogLevelScope&) = delete;
    LogLevelScope& operator=(const LogLevelScope&) = delete;

private:
    osg::LogLevel _level;
    osg::UInt32 _header;
    osg::UInt32 _modules;
};

} // namespace Morvek::osgTestSupport
