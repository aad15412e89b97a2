#pragma once

// Files written all together or not at all: each is first written to a temporary file beside
// its destination, and only when every one of them is complete are they renamed into place.
// Anything staged but not committed is removed, so a failure leaves no partial file behind.
//
// Only regular files are ever replaced, and they keep their permission bits. A destination that
// exists as anything else is refused, a symbolic link included (even one to a regular file: the
// rename would replace the link, not write where it points, and following it would write
// outside the folder the user named).

#include <string>
#include <vector>

namespace envlights {

class OutputFiles {
public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    ~OutputFiles(); ///< removes what is staged and not committed

    /// Checks, before anything is written, that the destinations may be written: none exists as
    /// anything but a regular file, none is one of the `inputs` (the same file by device and
    /// inode, or the same normalised path) and no two are the same. False with `error` = one line
    /// starting with the destination for the first that may not.
    static bool checkDestinations(const std::vector<std::string>& destinations,
                                  const std::vector<std::string>& inputs, std::string& error);

    /// Writes `content` to a new temporary file in the folder of `path`, with the permissions of
    /// the file it will replace or, for a new file, those an ordinary new file gets. On failure
    /// returns false with `error` = "<path>: cannot write: <reason>" (or, for a destination that
    /// is not a regular file, the line checkDestinations gives), and nothing of it stays on disk.
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
