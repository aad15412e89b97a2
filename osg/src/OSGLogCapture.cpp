#include <OpenSG/OSGLogCapture.h>

OSG_BEGIN_NAMESPACE

LogCapture::LogCapture()
{
    Log& log = osgLog();
    log.lock();
    log.flush();
    _previous = log.swapCapture(&_text);
    log.unlock();
}

LogCapture::~LogCapture()
{
    Log& log = osgLog();
    log.lock();
    log.flush();
    log.swapCapture(_previous);
    log.unlock();
}

std::string LogCapture::text() const
{
    Log& log = osgLog();
    log.lock();
    std::string copy = _text;
    log.unlock();
    return copy;
}

std::vector<std::string> LogCapture::lines() const
{
    std::string all = text();
    std::vector<std::string> result;
    std::size_t start = 0;
    while (start < all.size())
    {
        std::size_t end = all.find('\n', start);
        if (end == std::string::npos)
        {
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
    _text.clear();
    log.unlock();
}

OSG_END_NAMESPACE
