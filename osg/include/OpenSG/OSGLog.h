#pragma once

#include <OpenSG/OSGBaseTypes.h>
#include <OpenSG/OSGLock.h>

#include <fstream>
#include <ostream>
#include <streambuf>
#include <string>
#include <vector>

OSG_BEGIN_NAMESPACE

// A message is written when the log's current level is at least the message's level.
enum LogLevel {
    LOG_LOG = 0,
    LOG_FATAL = 1,
    LOG_WARNING = 2,
    LOG_NOTICE = 3,
    LOG_INFO = 4,
    LOG_DEBUG = 5
};

// Where the text goes.
enum LogType { LOG_NONE = 0, LOG_STDOUT = 1, LOG_STDERR = 2, LOG_FILE = 3, LOG_BUFFER = 4 };

// Parts of the header written in front of a message; combined as bits.
enum LogHeaderElem {
    LOG_NONE_HEADER = 0,
    LOG_BEGIN_NEWLINE_HEADER = 1,
    LOG_TYPE_HEADER = 2,
    LOG_TIMESTAMP_HEADER = 4,
    LOG_MODULE_HEADER = 8,
    LOG_FILE_HEADER = 16,
    LOG_LINE_HEADER = 32,
    LOG_FUNCNAME_HEADER = 64,
    LOG_END_NEWLINE_HEADER = 128,
    LOG_ANSICOLOR_HEADER = 4096,
    LOG_COLOR_HEADER = 8192,
    LOG_TAB_HEADER = 16384,
    LOG_ALL_HEADER = 32767
};

// Which modules get a header: those named with addModuleName (KNOWN), the others (UNKNOWN),
// messages without a module (UNDEFINED).
enum LogModuleHandling {
    LOG_MODULE_NONE = 0,
    LOG_MODULE_KNOWN = 1,
    LOG_MODULE_UNKNOWN = 2,
    LOG_MODULE_UNDEFINED = 4,
    LOG_MODULE_ALL = 7
};

// The process-wide log. It is itself the main output stream; stream(level) gives the
// stream of one level, which discards its text while the level is above the current one.
//
// Defaults: level LOG_WARNING, output stderr, header LOG_TYPE_HEADER, module handling ALL.
// The environment variables OSG_LOG_LEVEL (number or name), OSG_LOG_TYPE (number or
// none/stdout/stderr/file/buffer), OSG_LOG_FILE (file name) and OSG_LOG_HEADER (number)
// win over every setter called without force = true.
class Log : public std::ostream {
public:
    Log(LogType logType = LOG_STDERR, LogLevel logLevel = LOG_WARNING);
    ~Log() override;
    Log(const Log&) = delete;
    Log& operator=(const Log&) = delete;

    // Level
    bool checkLevel(LogLevel level) const { return _logLevel >= level; }
    LogLevel getLogLevel() const { return _logLevel; }
    void setLogLevel(LogLevel logLevel, bool force = false);

    // Output
    LogType getLogType() const { return _logType; }
    void setLogType(LogType logType, bool force = false);
    // Opens the file and switches to LOG_FILE; a null or empty name only closes the file.
    void setLogFile(const Char8* fileName, bool force = false);
    // Text collected while the type is LOG_BUFFER.
    std::string getLogBuffer() const;
    void clearLogBuffer();

    // Header
    UInt32 getHeaderElem() const { return _headerElem; }
    void setHeaderElem(UInt32 elemMask, bool force = false);
    void addHeaderElem(LogHeaderElem elem, bool force = false);
    void delHeaderElem(LogHeaderElem elem, bool force = false);
    bool hasHeaderElem(LogHeaderElem elem) const { return (_headerElem & elem) != 0; }

    // Modules
    UInt32 getModuleHandling() const { return _moduleHandling; }
    void setModuleHandling(UInt32 handling, bool force = false);
    void addModuleHandling(LogModuleHandling handling, bool force = false);
    void delModuleHandling(LogModuleHandling handling, bool force = false);
    void addModuleName(const Char8* module, bool isStatic = false);
    void delModuleName(const Char8* module);
    bool hasModule(const Char8* module) const;
    bool checkModule(const Char8* module) const;

    // Streams
    std::ostream& stream(LogLevel level);
    std::ostream& nilstream() { return _nilStream; }

    // Writes the enabled header parts to the stream of that level, each followed by ": "
    // (a tab with LOG_TAB_HEADER), then a space (a newline with LOG_END_NEWLINE_HEADER).
    // Order: type, timestamp, module, file[:line], function signature.
    std::ostream& doHeader(LogLevel level, const Char8* module, const Char8* file, UInt32 line,
                           const Char8* funcName);

    // printf-style text to the main stream, whatever the level: callers test checkLevel.
    void doLog(const Char8* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;

    // The lock that keeps one message (header and text) in one piece.
    void lock()
    {
        if (_pLogLock != nullptr)
            _pLogLock->aquire();
    }
    void unlock()
    {
        if (_pLogLock != nullptr)
            _pLogLock->release();
    }

    // Created at start-up (and by the log's first use, whichever comes first), named
    // "OSG::Log::_pLogLock". Public for the start-up code in OSGLog.cpp; everyone else goes
    // through lock() and unlock(), as OpenSG 1.x offers them.
    static Lock* _pLogLock;

private:
    // Routes everything written to the log to the target of the log type.
    class SinkBuf : public std::streambuf {
    public:
        explicit SinkBuf(Log& log) : _log(log) {}

    protected:
        int overflow(int c) override;
        std::streamsize xsputn(const char* s, std::streamsize n) override;
        int sync() override;

    private:
        Log& _log;
    };

    // A level's stream: connected to the sink or to the nil buffer.
    class LevelStream : public std::ostream {
    public:
        LevelStream() : std::ostream(nullptr) {}
    };

    class NilBuf : public std::streambuf {
    protected:
        int overflow(int c) override { return traits_type::not_eof(c); }
        std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
    };

    void write(const char* s, std::streamsize n);
    void connect();

    LogType _logType;
    LogLevel _logLevel;
    UInt32 _headerElem;
    UInt32 _moduleHandling;
    std::vector<std::string> _moduleList;
    std::ofstream _fileStream;
    std::string _buffer;
    SinkBuf _sinkBuf;
    NilBuf _nilBuf;
    std::ostream _nilStream;
    LevelStream _levelStreams[LOG_DEBUG + 1];
    Time _refTime;
};

typedef Log* LogP;

// The global log, created by initLog().
extern LogP osgLogP;

void initLog();
Log& osgLog();

// Takes the log lock and, when the module is accepted and logHeader is true, writes the
// header. Returns the level's stream (the nil stream for a rejected module). The caller
// releases the lock with osgLogP->unlock().
std::ostream& osgStartLog(bool logHeader, LogLevel level, const Char8* module, const Char8* file,
                          UInt32 line, const Char8* funcName);

// Ends a stream-form message with a newline. The statement forms (SWARNING ...) release the
// lock by themselves at the end of the statement, so this does not.
std::ostream& endLog(std::ostream& strm);

// Holds the log lock for one stream-form statement (SWARNING << ... << std::endl;).
class LogStatement {
public:
    LogStatement(bool logHeader, LogLevel level, const Char8* module, const Char8* file,
                 UInt32 line, const Char8* funcName);
    ~LogStatement();
    LogStatement(const LogStatement&) = delete;
    LogStatement& operator=(const LogStatement&) = delete;

    std::ostream& stream() { return *_stream; }

private:
    std::ostream* _stream;
};

OSG_END_NAMESPACE

#ifndef OSG_LOG_MODULE
#define OSG_LOG_MODULE "OpenSG"
#endif

// printf forms: FWARNING(("value %d\n", v)); the text is written at the level's gate; the
// header only for an accepted module.
#define OSG_LOG_PRINTF_(level, header, par)                                                        \
    do {                                                                                           \
        ::osg::initLog();                                                                          \
        if (::osg::osgLogP->checkLevel(level)) {                                                   \
            ::osg::osgStartLog(header, level, OSG_LOG_MODULE, __FILE__, __LINE__,                  \
                               OSG_FUNCNAME_MACRO);                                                \
            ::osg::osgLogP->doLog par;                                                             \
            ::osg::osgLogP->unlock();                                                              \
        }                                                                                          \
    } while (false)

#define FLOG(par) OSG_LOG_PRINTF_(::osg::LOG_LOG, true, par)
#define FFATAL(par) OSG_LOG_PRINTF_(::osg::LOG_FATAL, true, par)
#define FWARNING(par) OSG_LOG_PRINTF_(::osg::LOG_WARNING, true, par)
#define FNOTICE(par) OSG_LOG_PRINTF_(::osg::LOG_NOTICE, true, par)
#define FINFO(par) OSG_LOG_PRINTF_(::osg::LOG_INFO, true, par)
#define FPLOG(par) OSG_LOG_PRINTF_(::osg::LOG_LOG, false, par)
#define FPFATAL(par) OSG_LOG_PRINTF_(::osg::LOG_FATAL, false, par)
#define FPWARNING(par) OSG_LOG_PRINTF_(::osg::LOG_WARNING, false, par)
#define FPNOTICE(par) OSG_LOG_PRINTF_(::osg::LOG_NOTICE, false, par)
#define FPINFO(par) OSG_LOG_PRINTF_(::osg::LOG_INFO, false, par)
#ifdef OSG_DEBUG
#define FDEBUG(par) OSG_LOG_PRINTF_(::osg::LOG_DEBUG, true, par)
#define FPDEBUG(par) OSG_LOG_PRINTF_(::osg::LOG_DEBUG, false, par)
#else
#define FDEBUG(par)                                                                                \
    do {                                                                                           \
    } while (false)
#define FPDEBUG(par)                                                                               \
    do {                                                                                           \
    } while (false)
#endif

// Stream forms: SWARNING << "value " << v << std::endl; the lock is held until the end of
// the statement. S... writes a header, P... does not.
#define OSG_LOG_STREAM_(level, header)                                                             \
    ::osg::LogStatement(header, level, OSG_LOG_MODULE, __FILE__, __LINE__, OSG_FUNCNAME_MACRO)     \
        .stream()

#define SLOG OSG_LOG_STREAM_(::osg::LOG_LOG, true)
#define SFATAL OSG_LOG_STREAM_(::osg::LOG_FATAL, true)
#define SWARNING OSG_LOG_STREAM_(::osg::LOG_WARNING, true)
#define SNOTICE OSG_LOG_STREAM_(::osg::LOG_NOTICE, true)
#define SINFO OSG_LOG_STREAM_(::osg::LOG_INFO, true)
#define SDEBUG OSG_LOG_STREAM_(::osg::LOG_DEBUG, true)
#define PLOG OSG_LOG_STREAM_(::osg::LOG_LOG, false)
#define PFATAL OSG_LOG_STREAM_(::osg::LOG_FATAL, false)
#define PWARNING OSG_LOG_STREAM_(::osg::LOG_WARNING, false)
#define PNOTICE OSG_LOG_STREAM_(::osg::LOG_NOTICE, false)
#define PINFO OSG_LOG_STREAM_(::osg::LOG_INFO, false)
#define PDEBUG OSG_LOG_STREAM_(::osg::LOG_DEBUG, false)
