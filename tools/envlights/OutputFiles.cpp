#include "OutputFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace envlights {

namespace {

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string cannotWrite(const std::string& path, int error)
{
    return path + ": cannot write: " + std::strerror(error);
}

} // namespace

OutputFiles::~OutputFiles() { discard(); }

bool OutputFiles::stage(const std::string& path, const std::string& content, std::string& error)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        error = cannotWrite(path, EISDIR);
        return false;
    }
    std::string temporary = folderOf(path) + "/.envlights-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        error = cannotWrite(path, errno);
        return false;
    }
    const char* data = content.data();
    std::size_t left = content.size();
    int failure = 0;
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            failure = errno;
            break;
        }
        data += written;
        left -= static_cast<std::size_t>(written);
    }
    // Files get the permissions an ordinary new file would have (mkstemp makes them private).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    if (!failure && ::fchmod(fd, 0666 & ~mask) != 0)
        failure = errno;
    if (::close(fd) != 0 && !failure)
        failure = errno;
    if (failure) {
        std::remove(temporary.c_str());
        error = cannotWrite(path, failure);
        return false;
    }
    _staged.push_back({path, temporary});
    return true;
}

bool OutputFiles::commit(std::string& error)
{
    for (std::size_t i = 0; i < _staged.size(); ++i) {
        if (std::rename(_staged[i].temporary.c_str(), _staged[i].path.c_str()) != 0) {
            error = cannotWrite(_staged[i].path, errno);
            _staged.erase(_staged.begin(), _staged.begin() + static_cast<std::ptrdiff_t>(i));
            discard();
            return false;
        }
    }
    _staged.clear();
    return true;
}

void OutputFiles::discard()
{
    for (const Staged& staged : _staged)
        std::remove(staged.temporary.c_str());
    _staged.clear();
}

} // namespace envlights
