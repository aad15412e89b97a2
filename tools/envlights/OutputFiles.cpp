#include "OutputFiles.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

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

const char* kindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISLNK(mode))
        return "a symbolic link";
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return "a device";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    return "not a regular file";
}

std::string notRegular(const std::string& path, mode_t mode)
{
    return path + ": will not write over " + kindOf(mode) + ", only over a regular file";
}

// The absolute path with "." and ".." resolved and the symbolic links of its existing part
// followed, so that two spellings of one place compare equal.
std::string normalised(const std::string& path)
{
    namespace fs = std::filesystem;
    std::error_code failure;
    fs::path result = fs::weakly_canonical(fs::path(path), failure);
    if (failure)
        result = fs::absolute(fs::path(path), failure).lexically_normal();
    return result.string();
}

// Where a path leads: its normalised form and, when it exists, its device and inode.
struct Place {
    std::string path;
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;

    explicit Place(const std::string& name) : path(normalised(name))
    {
        struct stat st {};
        exists = ::stat(name.c_str(), &st) == 0;
        device = st.st_dev;
        inode = st.st_ino;
    }
    bool same(const Place& other) const
    {
        return path == other.path ||
               (exists && other.exists && device == other.device && inode == other.inode);
    }
};

} // namespace

bool OutputFiles::checkDestinations(const std::vector<std::string>& destinations,
                                    const std::vector<std::string>& inputs, std::string& error)
{
    std::vector<Place> inputPlaces;
    for (const std::string& input : inputs)
        inputPlaces.emplace_back(input);
    std::vector<Place> earlier;
    for (const std::string& destination : destinations) {
        struct stat st {};
        if (::lstat(destination.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
            error = notRegular(destination, st.st_mode);
            return false;
        }
        const Place place(destination);
        for (std::size_t i = 0; i < inputs.size(); ++i)
            if (place.same(inputPlaces[i])) {
                error = destination + ": will not write over the input image " + inputs[i];
                return false;
            }
        for (const Place& other : earlier)
            if (place.same(other)) {
                error = destination + ": named by two outputs; each needs a file of its own";
                return false;
            }
        earlier.push_back(place);
    }
    return true;
}

OutputFiles::~OutputFiles() { discard(); }

bool OutputFiles::stage(const std::string& path, const std::string& content, std::string& error)
{
    // Checked again here: the destination may have changed since checkDestinations.
    struct stat st {};
    const bool replaces = ::lstat(path.c_str(), &st) == 0;
    if (replaces && !S_ISREG(st.st_mode)) {
        error = notRegular(path, st.st_mode);
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
    // A replaced file keeps its permissions; a new one gets those an ordinary new file would
    // have (mkstemp makes it private).
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = replaces ? st.st_mode & 07777 : 0666 & ~mask;
    if (!failure && ::fchmod(fd, mode) != 0)
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
