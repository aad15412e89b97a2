#include "InputList.h"

#include <glob.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace envlights {

namespace {

namespace fs = std::filesystem;

constexpr const char* imageExtensions[] = {".exr", ".hdr", ".png", ".jpg", ".jpeg"};
constexpr const char* extensionList = ".exr, .hdr, .png, .jpg, .jpeg";

std::string lowerCase(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

void addFolder(const std::string& folder, std::vector<InputList::Entry>& entries)
{
    std::vector<std::string> names;
    std::error_code failure;
    for (fs::directory_iterator it(folder, failure), end; !failure && it != end;
         it.increment(failure)) {
        const std::string name = it->path().filename().string();
        std::error_code kind;
        if (InputList::hasImageExtension(name) && !it->is_directory(kind))
            names.push_back(name);
    }
    if (failure) {
        entries.push_back({folder, folder + ": cannot read the folder: " + failure.message()});
        return;
    }
    if (names.empty()) {
        entries.push_back({folder, folder + ": no images (" + extensionList + ") in the folder"});
        return;
    }
    std::sort(names.begin(), names.end());
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    for (const std::string& name : names)
        entries.push_back({prefix + name, {}});
}

void addMatches(const std::string& pattern, std::vector<InputList::Entry>& entries)
{
    glob_t matches{};
    const int status = ::glob(pattern.c_str(), 0, nullptr, &matches);
    if (status == 0)
        for (std::size_t i = 0; i < matches.gl_pathc; ++i)
            entries.push_back({matches.gl_pathv[i], {}});
    else if (status == GLOB_NOMATCH)
        entries.push_back({pattern, pattern + ": no file matches the pattern"});
    else
        entries.push_back({pattern, pattern + ": cannot expand the pattern"});
    ::globfree(&matches);
}

} // namespace

bool InputList::hasImageExtension(const std::string& name)
{
    const std::string lower = lowerCase(name);
    return std::any_of(
        std::begin(imageExtensions), std::end(imageExtensions), [&](const std::string& extension) {
            return lower.size() > extension.size() &&
                   lower.compare(lower.size() - extension.size(), extension.size(), extension) == 0;
        });
}

std::vector<InputList::Entry> InputList::expand(const std::vector<std::string>& arguments)
{
    std::vector<Entry> entries;
    for (const std::string& argument : arguments) {
        std::error_code failure;
        const fs::file_status status = fs::status(argument, failure);
        if (fs::is_directory(status))
            addFolder(argument, entries);
        else if (!fs::exists(status) && argument.find_first_of("*?[") != std::string::npos)
            addMatches(argument, entries);
        else
            entries.push_back({argument, {}});
    }
    return entries;
}

} // namespace envlights
