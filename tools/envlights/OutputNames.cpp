#include "OutputNames.h"

#include "EnvironmentReport.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <map>

namespace envlights {

std::string OutputNames::numbered(const std::string& file, std::size_t index, std::size_t count)
{
    if (count <= 1)
        return file;
    const std::size_t slash = file.find_last_of('/');
    std::size_t dot = file.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
        dot == slash + 1 || (slash == std::string::npos && dot == 0))
        dot = file.size();
    return file.substr(0, dot) + "-" + std::to_string(index + 1) + file.substr(dot);
}

std::string OutputNames::inFolder(const std::string& folder, const std::string& image,
                                  const std::string& suffix)
{
    std::string name = image == builtInSkyName ? "built-in-sky" : image;
    const std::size_t slash = name.find_last_of('/');
    if (slash != std::string::npos)
        name = name.substr(slash + 1);
    // A leading dot belongs to the name (".sky.exr" is ".sky"), not to an extension.
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0)
        name = name.substr(0, dot);
    const bool separated = !folder.empty() && folder.back() == '/';
    return folder + (separated ? "" : "/") + name + suffix;
}

bool OutputNames::checkDistinct(const std::string& folder, const std::vector<std::string>& images,
                                const std::string& suffix, std::string& error)
{
    std::map<std::string, const std::string*> taken;
    for (const std::string& image : images) {
        const std::string file = inFolder(folder, image, suffix);
        const auto [at, added] = taken.emplace(file, &image);
        if (!added) {
            error = file + ": both " + *at->second + " and " + image +
                    " would be written there; rename one or run them apart";
            return false;
        }
    }
    return true;
}

bool OutputNames::checkFolder(const std::string& folder, std::string& error)
{
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0) {
        error = folder + ": cannot write into the folder: " + std::strerror(errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = folder + ": not a folder; --output-dir needs an existing folder";
        return false;
    }
    return true;
}

} // namespace envlights
