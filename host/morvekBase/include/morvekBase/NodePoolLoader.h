#pragma once

#include <map>
#include <string>

namespace Morvek {

// Loads node pools (plug-in shared libraries that register node types) by name.
//
// A pool named N lives in the file "libmorvekN.so". load() looks for it first in the search
// folder (setSearchFolder), then in the folder that holds the host's own libraries, opens it
// (its static type records register themselves in the type factory as it loads) and calls its
// entry point "initN", taking the first of:
//   1. extern "C" void initN()              (plain symbol "initN")
//   2. void Morvek::initN()                  (C++ symbol, Itanium mangling
//   "_ZN6Morvek<len>initNEv")
// Errors (file not found, not loadable, no entry point) come back as text, never as a crash;
// a library without entry point is closed again.
//
// unload() closes the library (its type records unregister themselves). Nodes of the pool's
// types must be gone by then. The destructor leaves pools loaded, for that reason.
class NodePoolLoader {
public:
    NodePoolLoader() = default;
    ~NodePoolLoader() = default;
    NodePoolLoader(const NodePoolLoader&) = delete;
    NodePoolLoader& operator=(const NodePoolLoader&) = delete;

    // A folder searched before the host's own; empty (the default) for none.
    void setSearchFolder(const std::string& folder) { _searchFolder = folder; }
    const std::string& getSearchFolder() const { return _searchFolder; }
    // The folder of the host's libraries (where libmorvekBase.so was loaded from).
    static std::string hostLibraryFolder();

    // "libmorvek" + poolName + ".so"
    static std::string libraryFileName(const std::string& poolName);
    // "init" + poolName
    static std::string entryPointName(const std::string& poolName);

    // Loads the pool and calls its entry point. A pool this loader has loaded already is not
    // opened again, but its entry point runs again. On failure returns false and sets `error`
    // to one line naming the pool and the file(s) or symbol concerned.
    bool load(const std::string& poolName, std::string& error);
    // Closes a pool this loader loaded; false with `error` for a pool it does not hold.
    bool unload(const std::string& poolName, std::string& error);
    bool isLoaded(const std::string& poolName) const;
    // The file a loaded pool came from, or "".
    std::string getLibraryPath(const std::string& poolName) const;
    // Address of `symbol` in a loaded pool, or null.
    void* findSymbol(const std::string& poolName, const char* symbol) const;

private:
    struct Pool {
        void* handle;
        std::string path;
        void (*entry)();
    };

    std::string _searchFolder;
    std::map<std::string, Pool> _pools;
};

} // namespace Morvek
