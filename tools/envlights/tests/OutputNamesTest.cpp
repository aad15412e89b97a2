// The names of a run's files besides -o: numbered pictures, and one file per image in a folder.

#include "OutputNames.h"

#include "EnvironmentReport.h"

#include <gtest/gtest.h>

namespace {

using namespace envlights;

TEST(OutputNamesTest, NumberedPicturesAndFilesNamedAfterTheirImages)
{
    for (const auto& [file, index, count, expected] : {std::tuple{"o.png", 0, 1, "o.png"},
                                                       {"o.png", 0, 2, "o-1.png"},
                                                       {"o.png", 1, 2, "o-2.png"},
                                                       {"dir.v2/o", 2, 3, "dir.v2/o-3"},
                                                       {".png", 0, 2, ".png-1"},
                                                       {"a/.png", 1, 2, "a/.png-2"},
                                                       {"a.b.png", 0, 2, "a.b-1.png"}})
        EXPECT_EQ(OutputNames::numbered(file, std::size_t(index), std::size_t(count)), expected)
            << file << " " << index << " of " << count;

    for (const auto& [folder, image, suffix, expected] :
         {std::tuple{"out", "sky.exr", ".json", "out/sky.json"},
          {"out/", "a/b/sky.EXR", ".txt", "out/sky.txt"},
          {"out", "sky.tar.exr", ".x3d", "out/sky.tar.x3d"},
          {"out", "noextension", ".json", "out/noextension.json"},
          {"out", "a/.hidden", ".json", "out/.hidden.json"},
          {"out", "sky.exr", ".overlay.png", "out/sky.overlay.png"},
          {"/", "sky.hdr", ".json", "/sky.json"},
          {"out", builtInSkyName, ".json", "out/built-in-sky.json"}})
        EXPECT_EQ(OutputNames::inFolder(folder, image, suffix), expected) << image;
}

TEST(OutputNamesTest, TwoImagesOfOneNameAreRefusedNamingBoth)
{
    std::string error;
    EXPECT_TRUE(OutputNames::checkDistinct("out", {"a/sky.exr", "a/sky2.exr", "sky.png.exr"},
                                           ".json", error))
        << error;
    const struct {
        std::vector<std::string> images;
        const char* error;
    } rows[] = {
        {{"a/sky.exr", "b/sky.exr"},
         "out/sky.json: both a/sky.exr and b/sky.exr would be written there; rename one or run "
         "them apart"},
        {{"sky.exr", "x.exr", "sky.hdr"},
         "out/sky.json: both sky.exr and sky.hdr would be written there; rename one or run them "
         "apart"},
        {{"sky.exr", "sky.exr"},
         "out/sky.json: both sky.exr and sky.exr would be written there; rename one or run them "
         "apart"},
    };
    for (const auto& row : rows) {
        EXPECT_FALSE(OutputNames::checkDistinct("out", row.images, ".json", error)) << row.error;
        EXPECT_EQ(error, row.error);
    }
}

} // namespace
