// Folders and patterns expanded where they stand, in order, with one error line for an argument
// that gives no image.

#include "InputList.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;
using namespace envlights;

class InputListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        _dir = fs::temp_directory_path() / ("morvek-inputs-" + std::to_string(::getpid()));
        fs::remove_all(_dir);
        fs::create_directories(_dir / "sky" / "sub");
        fs::create_directories(_dir / "empty");
        fs::create_directories(_dir / "dir.exr");
        for (const char* name :
             {"sky/b.exr", "sky/a.PNG", "sky/C.hdr", "sky/d.jpeg", "sky/e.JPG", "sky/notes.txt",
              "sky/exr", "sky/sub/deep.exr", "empty/readme", "odd[1].exr"})
            std::ofstream(_dir / name) << "x";
    }
    void TearDown() override { fs::remove_all(_dir); }
    std::string path(const std::string& name) const { return (_dir / name).string(); }

    fs::path _dir;
};

TEST_F(InputListTest, FoldersAndPatternsExpandInPlace)
{
    const std::string sky = path("sky");
    const struct {
        const char* name;
        std::vector<std::string> arguments;
        std::vector<InputList::Entry> entries;
    } rows[] = {
        {"a folder: its images sorted by name (bytes: capitals first), no subfolder, no other file",
         {sky},
         {{sky + "/C.hdr", ""},
          {sky + "/a.PNG", ""},
          {sky + "/b.exr", ""},
          {sky + "/d.jpeg", ""},
          {sky + "/e.JPG", ""}}},
        {"a folder given with a slash",
         {sky + "/"},
         {{sky + "/C.hdr", ""},
          {sky + "/a.PNG", ""},
          {sky + "/b.exr", ""},
          {sky + "/d.jpeg", ""},
          {sky + "/e.JPG", ""}}},
        {"files stay where they stand between patterns",
         {path("x.exr"), sky + "/[ab].*", path("y.exr"), sky + "/*.exr"},
         {{path("x.exr"), ""},
          {sky + "/a.PNG", ""},
          {sky + "/b.exr", ""},
          {path("y.exr"), ""},
          {sky + "/b.exr", ""}}},
        {"a name that exists is taken as it is, pattern characters and all",
         {path("odd[1].exr")},
         {{path("odd[1].exr"), ""}}},
        {"a pattern that matches nothing",
         {sky + "/*.tif", sky + "/b.exr"},
         {{sky + "/*.tif", sky + "/*.tif: no file matches the pattern"}, {sky + "/b.exr", ""}}},
        {"a folder without images",
         {path("empty")},
         {{path("empty"), path("empty") + ": no images (.exr, .hdr, .png, .jpg, .jpeg) in the "
                                          "folder"}}},
        {"a folder named like an image is a folder",
         {path("dir.exr")},
         {{path("dir.exr"), path("dir.exr") + ": no images (.exr, .hdr, .png, .jpg, .jpeg) in "
                                              "the folder"}}},
    };
    for (const auto& row : rows) {
        const std::vector<InputList::Entry> got = InputList::expand(row.arguments);
        ASSERT_EQ(got.size(), row.entries.size()) << row.name;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].path, row.entries[i].path) << row.name << ", entry " << i;
            EXPECT_EQ(got[i].error, row.entries[i].error) << row.name << ", entry " << i;
        }
    }
}

TEST_F(InputListTest, ImageExtensionsInAnyCase)
{
    for (const auto& [name, image] : {std::pair{"a.exr", true},
                                      {"a.EXR", true},
                                      {"a.Hdr", true},
                                      {"b.png", true},
                                      {"c.jpg", true},
                                      {"c.JPEG", true},
                                      {".exr", false},
                                      {"exr", false},
                                      {"a.exr.txt", false},
                                      {"a.tif", false},
                                      {"a.pic", false},
                                      {"a.jpe", false}})
        EXPECT_EQ(InputList::hasImageExtension(name), image) << name;
}

} // namespace
