#pragma once

// Where a run's files go besides -o: the pictures of several images numbered after one name,
// and with --output-dir one file per image, named after it.

#include <cstddef>
#include <string>
#include <vector>

namespace envlights {

class OutputNames {
public:
    /// The picture file of image `index` (0-based) of `count`: `file` itself for a single
    /// image, otherwise "-<index+1>" inserted before its extension.
    static std::string numbered(const std::string& file, std::size_t index, std::size_t count);

    /// The file of `image` in `folder`: the image's file name without its extension, then
    /// `suffix` (".json", ".overlay.png"). The built-in sky is named "built-in-sky".
    static std::string inFolder(const std::string& folder, const std::string& image,
                                const std::string& suffix);

    /// Checks that inFolder gives every one of `images` a file of its own. False with `error` =
    /// one line naming the file and the two images that would share it.
    static bool checkDistinct(const std::string& folder, const std::vector<std::string>& images,
                              const std::string& suffix, std::string& error);

    /// Checks that `folder` exists and is a folder (or a link to one); false with `error`.
    static bool checkFolder(const std::string& folder, std::string& error);
};

} // namespace envlights
