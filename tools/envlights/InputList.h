#pragma once

// The images a command line names. An argument that names a folder stands for the images in
// it (the files whose names end in .exr, .hdr, .png, .jpg or .jpeg in any case, sorted by name;
// subfolders are not entered); one that names nothing but holds a pattern character (* ? [) is
// expanded as the shell would (glob(3), sorted), for patterns the shell was given quoted; any
// other argument is taken as it is, and reading it says what is wrong with it.

#include <string>
#include <vector>

namespace envlights {

class InputList {
public:
    /// One image to work on, or an argument that gave none.
    struct Entry {
        std::string path;  ///< the image, or the argument that gave no image
        std::string error; ///< empty, or why `path` gave no image (one line starting with it)
    };

    /// The entries of `arguments`, in their order, each expanded where it stands.
    static std::vector<Entry> expand(const std::vector<std::string>& arguments);

    /// Whether `name` ends in one of the extensions a folder's images are chosen by.
    static bool hasImageExtension(const std::string& name);
};

} // namespace envlights
