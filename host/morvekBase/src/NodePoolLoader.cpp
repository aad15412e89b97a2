#include <morvekBase/NodePoolLoader.h>

#include <morvekBase/HostLog.h>
#include <morvekBase/TypeCast.h>

#include <dlfcn.h>
#include <sys/stat.h>

#include <vector>

namespace Morvek {

namespace {

const char* const source = "morvekBase/NodePoolLoader";

bool isRegularFile(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string joinPath(const std::string& folder, const std::string& file)
{
    if (folder.empty())
        return file;
    return folder.back() == '/' ? folder + file : folder + "/" + file;
}

// The C++ name of `void Morvek::<name>()` under the Itanium ABI.
std::string mangledEntryName(const std::string& name)
{
    return "_ZN6Morvek" + std::to_string(name.size()) + name + "Ev";
}

} // namespace

std::string NodePoolLoader::hostLibraryFolder()
{
    Dl_info info;
    if (!::dladdr(reinterpret_cast<void*>(&NodePoolLoader::hostLibraryFolder), &info) ||
        !info.dli_fname)
        return std::string();
    const std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string NodePoolLoader::libraryFileName(const std::string& poolName)
{
    return "libmorvek" + poolName + ".so";
}

std::string NodePoolLoader::entryPointName(const std::string& poolName)
{
    return "init" + poolName;
}

bool NodePoolLoader::load(const std::string& poolName, std::string& error)
{
    error.clear();
    if (poolName.empty() || poolName.find('/') != std::string::npos) {
        error = "Node pool name \"" + poolName + "\" is not valid (empty or with '/')";
        return false;
    }
    auto loaded = _pools.find(poolName);
    if (loaded != _pools.end()) {
        loaded->second.entry();
        return true;
    }

    const std::string file = libraryFileName(poolName);
    std::vector<std::string> folders;
    if (!_searchFolder.empty())
        folders.push_back(_searchFolder);
    const std::string hostFolder = hostLibraryFolder();
    if (!hostFolder.empty() && hostFolder != _searchFolder)
        folders.push_back(hostFolder);

    std::string path;
    for (const std::string& folder : folders) {
        if (isRegularFile(joinPath(folder, file))) {
            path = joinPath(folder, file);
            break;
        }
    }
    if (path.empty()) {
        error = "Node pool " + poolName + ": " + file + " not found in";
        for (size_t i = 0; i < folders.size(); ++i)
            error += (i ? ", " : " ") + folders[i];
        if (folders.empty())
            error += " any folder";
        return false;
    }

    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* reason = ::dlerror();
        error = "Node pool " + poolName + ": cannot load " + path + ": " +
                (reason ? reason : "unknown reason");
        return false;
    }
    const std::string entryName = entryPointName(poolName);
    void* symbol = ::dlsym(handle, entryName.c_str());
    if (!symbol)
        symbol = ::dlsym(handle, mangledEntryName(entryName).c_str());
    if (!symbol) {
        ++typeCastGeneration;
        ::dlclose(handle);
        error = "Node pool " + poolName + ": " + path + " has no entry point " + entryName;
        return false;
    }

    Pool pool{handle, path, reinterpret_cast<void (*)()>(symbol)};
    _pools.emplace(poolName, pool);
    MORVEK_HOST_LOG(osg::LOG_INFO, source, "Loaded node pool %s from %s\n", poolName.c_str(),
                    path.c_str());
    pool.entry();
    return true;
}

bool NodePoolLoader::unload(const std::string& poolName, std::string& error)
{
    error.clear();
    auto it = _pools.find(poolName);
    if (it == _pools.end()) {
        error = "Node pool " + poolName + " is not loaded";
        return false;
    }
    void* handle = it->second.handle;
    _pools.erase(it);
    ++typeCastGeneration;
    if (::dlclose(handle) != 0) {
        const char* reason = ::dlerror();
        error = "Node pool " + poolName + ": cannot close: " + (reason ? reason : "unknown");
        return false;
    }
    return true;
}

bool NodePoolLoader::isLoaded(const std::string& poolName) const
{
    return _pools.count(poolName) != 0;
}

std::string NodePoolLoader::getLibraryPath(const std::string& poolName) const
{
    auto it = _pools.find(poolName);
    return it == _pools.end() ? std::string() : it->second.path;
}

void* NodePoolLoader::findSymbol(const std::string& poolName, const char* symbol) const
{
    auto it = _pools.find(poolName);
    if (it == _pools.end() || !symbol)
        return nullptr;
    return ::dlsym(it->second.handle, symbol);
}

} // namespace Morvek
