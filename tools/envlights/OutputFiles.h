#pragma once

// Files written all together or not at all: each is first written to a temporary file beside
// its destination, and only when every one of them is complete are they renamed into place.
// Anything staged but not committed is removed, so a failure leaves no partial file behind.

#include <string>
#include <vector>

namespace envlights {

class OutputFiles {
public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    ~OutputFiles(); ///< removes what is staged and not committed

    /// Writes `content` to a new temporary file in the folder of `path`. On failure returns
    /// false with `error` = "<path>: cannot write: <reason>", and nothing of it stays on disk.
    bool stage(const std::string& path, const std::string& content, std::string& error);

    /// Renames every staged file to its destination, in staging order. On a failure the
    /// remaining temporary files are removed; returns false with `error` as for stage().
    bool commit(std::string& error);

    /// Removes every staged temporary file.
    void discard();

private:
    struct Staged {
        std::string path;
        std::string temporary;
    };
    std::vector<Staged> _staged;
};

} // namespace envlights
