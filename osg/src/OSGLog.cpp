#include <OpenSG/OSGLog.h>

#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <strings.h>

OSG_BEGIN_NAMESPACE

namespace {
const Char8* const levelNames[] = {"LOG", "FATAL", "WARNING", "NOTICE", "INFO", "DEBUG"};
// ANSI colours of the level names under LOG_COLOR_HEADER / LOG_ANSICOLOR_HEADER.
const Char8* const levelColors[] = {nullptr, "\x1b[31m", "\x1b[33m", nullptr, nullptr, nullptr};

Time systemTime()
{
    using namespace std::chrono;
    return duration<Time>(steady_clock::now().time_since_epoch()).count();
}

// A whole number, or -1 when text is not one.
long parseNumber(const char* text)
{
    char* end = nullptr;
    long value = std::strtol(text, &end, 10);
    return (end != text && *end == '\0') ? value : -1;
}

Lock* ensureLogLock()
{
    if (Log::_pLogLock == nullptr)
        Log::_pLogLock = new Lock("OSG::Log::_pLogLock");
    return Log::_pLogLock;
}

// The lock exists from start-up on, as in OpenSG.
Lock* const startupLogLock = ensureLogLock();
} // namespace

Lock* Log::_pLogLock;
LogP osgLogP = nullptr;

int Log::SinkBuf::overflow(int c)
{
    if (c != traits_type::eof()) {
        char ch = char(c);
        _log.write(&ch, 1);
    }
    return traits_type::not_eof(c);
}

std::streamsize Log::SinkBuf::xsputn(const char* s, std::streamsize n)
{
    _log.write(s, n);
    return n;
}

int Log::SinkBuf::sync()
{
    if (_log._logType == LOG_STDERR)
        std::fflush(stderr);
    else if (_log._logType == LOG_STDOUT)
        std::fflush(stdout);
    else if (_log._logType == LOG_FILE)
        _log._fileStream.flush();
    return 0;
}

Log::Log(LogType logType, LogLevel logLevel)
    : std::ostream(nullptr), _logType(logType), _logLevel(logLevel), _headerElem(LOG_TYPE_HEADER),
      _moduleHandling(LOG_MODULE_ALL), _sinkBuf(*this), _nilStream(&_nilBuf), _refTime(systemTime())
{
    rdbuf(&_sinkBuf);
    connect();
}

Log::~Log() { flush(); }

void Log::write(const char* s, std::streamsize n)
{
    if (n <= 0)
        return;
    switch (_logType) {
    case LOG_STDOUT:
        std::fwrite(s, 1, std::size_t(n), stdout);
        break;
    case LOG_STDERR:
        std::fwrite(s, 1, std::size_t(n), stderr);
        break;
    case LOG_FILE:
        _fileStream.write(s, n);
        break;
    case LOG_BUFFER:
        _buffer.append(s, std::size_t(n));
        break;
    case LOG_NONE:
    default:
        break;
    }
}

void Log::connect()
{
    for (int level = LOG_LOG; level <= LOG_DEBUG; ++level)
        _levelStreams[level].rdbuf(level <= _logLevel ? static_cast<std::streambuf*>(&_sinkBuf)
                                                      : static_cast<std::streambuf*>(&_nilBuf));
}

void Log::setLogLevel(LogLevel logLevel, bool force)
{
    const char* env = std::getenv("OSG_LOG_LEVEL");
    if (!force && this == osgLogP && env != nullptr) {
        long number = parseNumber(env);
        if (number >= 0) {
            _logLevel = LogLevel(number > long(LOG_DEBUG) ? long(LOG_DEBUG) : number);
        } else {
            _logLevel = LOG_DEBUG;
            for (int level = LOG_LOG; level <= LOG_DEBUG; ++level)
                if (strcasecmp(env, levelNames[level]) == 0)
                    _logLevel = LogLevel(level);
        }
    } else {
        _logLevel = logLevel;
    }
    connect();
}

void Log::setLogType(LogType logType, bool force)
{
    static const Char8* const typeNames[] = {"none", "stdout", "stderr", "file", "buffer"};
    const char* env = std::getenv("OSG_LOG_TYPE");
    if (!force && this == osgLogP && env != nullptr) {
        long number = parseNumber(env);
        if (number >= 0) {
            _logType = LogType(number > long(LOG_BUFFER) ? long(LOG_BUFFER) : number);
        } else {
            _logType = LOG_STDERR;
            for (int type = LOG_NONE; type <= LOG_BUFFER; ++type)
                if (strcasecmp(env, typeNames[type]) == 0)
                    _logType = LogType(type);
        }
    } else {
        _logType = logType;
    }
}

void Log::setLogFile(const Char8* fileName, bool force)
{
    if (_fileStream.is_open())
        _fileStream.close();
    const char* env = std::getenv("OSG_LOG_FILE");
    const Char8* name = (!force && this == osgLogP && env != nullptr) ? env : fileName;
    if (name != nullptr && *name != '\0') {
        _fileStream.open(name, std::ios::out);
        if (_fileStream.is_open())
            _logType = LOG_FILE;
    }
}

std::string Log::getLogBuffer() const { return _buffer; }

void Log::clearLogBuffer() { _buffer.clear(); }

void Log::setHeaderElem(UInt32 elemMask, bool force)
{
    const char* env = std::getenv("OSG_LOG_HEADER");
    if (!force && this == osgLogP && env != nullptr) {
        long number = parseNumber(env);
        _headerElem = number >= 0 ? UInt32(number) : elemMask;
    } else {
        _headerElem = elemMask;
    }
}

void Log::addHeaderElem(LogHeaderElem elem, bool force)
{
    setHeaderElem(_headerElem | elem, force);
}

void Log::delHeaderElem(LogHeaderElem elem, bool force)
{
    setHeaderElem(_headerElem & ~UInt32(elem), force);
}

void Log::setModuleHandling(UInt32 handling, bool) { _moduleHandling = handling & LOG_MODULE_ALL; }

void Log::addModuleHandling(LogModuleHandling handling, bool) { _moduleHandling |= handling; }

void Log::delModuleHandling(LogModuleHandling handling, bool)
{
    _moduleHandling &= ~UInt32(handling);
}

void Log::addModuleName(const Char8* module, bool)
{
    if (module != nullptr && *module != '\0' && !hasModule(module))
        _moduleList.emplace_back(module);
}

void Log::delModuleName(const Char8* module)
{
    if (module == nullptr)
        return;
    for (auto it = _moduleList.begin(); it != _moduleList.end(); ++it)
        if (*it == module) {
            _moduleList.erase(it);
            return;
        }
}

bool Log::hasModule(const Char8* module) const
{
    if (module == nullptr || *module == '\0')
        return false;
    for (const std::string& name : _moduleList)
        if (name == module)
            return true;
    return false;
}

bool Log::checkModule(const Char8* module) const
{
    if (_moduleHandling == LOG_MODULE_NONE)
        return false;
    if (_moduleHandling == LOG_MODULE_ALL)
        return true;
    if (module == nullptr || *module == '\0')
        return (_moduleHandling & LOG_MODULE_UNDEFINED) != 0;
    if (hasModule(module))
        return (_moduleHandling & LOG_MODULE_KNOWN) != 0;
    return (_moduleHandling & LOG_MODULE_UNKNOWN) != 0;
}

std::ostream& Log::stream(LogLevel level)
{
    if (level < LOG_LOG || level > LOG_DEBUG)
        return _nilStream;
    return _levelStreams[level];
}

std::ostream& Log::doHeader(LogLevel level, const Char8* module, const Char8* file, UInt32 line,
                            const Char8* funcName)
{
    std::ostream& sout = stream(level);
    if (_headerElem == 0)
        return sout;
    const char* sep = (_headerElem & LOG_TAB_HEADER) ? "\t" : ": ";
    const char* color = nullptr;
    if ((_headerElem & (LOG_COLOR_HEADER | LOG_ANSICOLOR_HEADER)) && level >= LOG_LOG &&
        level <= LOG_DEBUG)
        color = levelColors[level];

    if (_headerElem & LOG_BEGIN_NEWLINE_HEADER)
        sout << '\n';
    if ((_headerElem & LOG_TYPE_HEADER) && level >= LOG_LOG && level <= LOG_DEBUG) {
        if (color != nullptr)
            sout << color << levelNames[level] << "\x1b[0m" << sep;
        else
            sout << levelNames[level] << sep;
    }
    if (_headerElem & LOG_TIMESTAMP_HEADER)
        sout << (systemTime() - _refTime) << sep;
    if ((_headerElem & LOG_MODULE_HEADER) && module != nullptr && *module != '\0')
        sout << module << sep;
    if ((_headerElem & LOG_FILE_HEADER) && file != nullptr && *file != '\0') {
        sout << file;
        if (_headerElem & LOG_LINE_HEADER)
            sout << ':' << line;
        sout << sep;
    } else if (_headerElem & LOG_LINE_HEADER) {
        sout << line << sep;
    }
    if ((_headerElem & LOG_FUNCNAME_HEADER) && funcName != nullptr && *funcName != '\0')
        sout << funcName << sep;
    if (_headerElem & LOG_END_NEWLINE_HEADER)
        sout << '\n';
    else
        sout << ' ';
    return sout;
}

void Log::doLog(const Char8* format, ...)
{
    if (format == nullptr)
        return;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int count = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (count > 0) {
        std::string text(std::size_t(count) + 1, '\0');
        std::vsnprintf(&text[0], text.size(), format, args);
        text.resize(std::size_t(count));
        *this << text;
        flush();
    }
    va_end(args);
}

void initLog()
{
    static Log* const log = [] {
        ensureLogLock();
        osgLogP = new Log(LOG_STDERR, LOG_WARNING);
        // The setters consult the environment now that osgLogP names this log.
        osgLogP->setLogLevel(LOG_WARNING);
        osgLogP->setLogFile(nullptr);
        if (osgLogP->getLogType() != LOG_FILE)
            osgLogP->setLogType(LOG_STDERR);
        osgLogP->setHeaderElem(LOG_TYPE_HEADER);
        return osgLogP;
    }();
    (void)log;
}

Log& osgLog()
{
    initLog();
    return *osgLogP;
}

std::ostream& osgStartLog(bool logHeader, LogLevel level, const Char8* module, const Char8* file,
                          UInt32 line, const Char8* funcName)
{
    initLog();
    osgLogP->lock();
    if (!osgLogP->checkModule(module))
        return osgLogP->nilstream();
    if (logHeader)
        osgLogP->doHeader(level, module, file, line, funcName);
    return osgLogP->stream(level);
}

std::ostream& endLog(std::ostream& strm) { return strm << std::endl; }

LogStatement::LogStatement(bool logHeader, LogLevel level, const Char8* module, const Char8* file,
                           UInt32 line, const Char8* funcName)
    : _stream(&osgStartLog(logHeader, level, module, file, line, funcName))
{
}

LogStatement::~LogStatement()
{
    _stream->flush();
    osgLogP->unlock();
}

OSG_END_NAMESPACE
