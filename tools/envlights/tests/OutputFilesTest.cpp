// Output files appear whole or not at all.

#include "OutputFiles.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using envlights::OutputFiles;

class OutputFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        _dir = fs::temp_directory_path() /
               ("morvek-outputfiles-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(_dir);
        fs::create_directories(_dir / "folder");
    }
    void TearDown() override { fs::remove_all(_dir); }
    std::string path(const std::string& name) const { return (_dir / name).string(); }
    std::size_t entries() const
    {
        return std::size_t(std::distance(fs::directory_iterator(_dir), fs::directory_iterator()));
    }
    static std::string read(const std::string& file)
    {
        std::ostringstream text;
        text << std::ifstream(file, std::ios::binary).rdbuf();
        return text.str();
    }
    fs::path _dir;
};

TEST_F(OutputFilesTest, CommitPutsEveryFileInPlace)
{
    std::ofstream(path("old.json")) << "previous, longer content";
    std::string error;
    OutputFiles files;
    ASSERT_TRUE(files.stage(path("old.json"), "{}", error)) << error;
    ASSERT_TRUE(files.stage(path("picture.png"), std::string("\x89PNG\0\1", 6), error)) << error;
    EXPECT_EQ(read(path("old.json")), "previous, longer content") << "untouched until commit";
    EXPECT_FALSE(fs::exists(path("picture.png")));
    ASSERT_TRUE(files.commit(error)) << error;
    EXPECT_EQ(read(path("old.json")), "{}");
    EXPECT_EQ(read(path("picture.png")), std::string("\x89PNG\0\1", 6));
    EXPECT_EQ(entries(), 3u) << "the folder and the two files, no temporary file";
    EXPECT_NE(fs::status(path("picture.png")).permissions() & fs::perms::owner_read,
              fs::perms::none);
}

TEST_F(OutputFilesTest, FailuresLeaveNothingBehind)
{
    for (const auto& [destination, reason] :
         {std::pair{"no/such/out.json", "No such file or directory"},
          {"folder", "Is a directory"}}) {
        std::string error;
        {
            OutputFiles files;
            ASSERT_TRUE(files.stage(path("first.txt"), "first", error)) << error;
            EXPECT_FALSE(files.stage(path(destination), "second", error));
            EXPECT_EQ(error, path(destination) + ": cannot write: " + reason);
        } // abandoned: the staged first file goes too
        EXPECT_EQ(entries(), 1u) << destination;
    }

    // A rename that fails part-way keeps what was renamed and removes what is left.
    std::string error;
    OutputFiles files;
    ASSERT_TRUE(files.stage(path("a.txt"), "a", error));
    ASSERT_TRUE(files.stage(path("folder/b.txt"), "b", error));
    ASSERT_TRUE(files.stage(path("c.txt"), "c", error));
    fs::remove_all(path("folder")); // b's temporary file vanishes with its folder
    EXPECT_FALSE(files.commit(error));
    EXPECT_EQ(error, path("folder/b.txt") + ": cannot write: No such file or directory");
    EXPECT_EQ(read(path("a.txt")), "a");
    EXPECT_EQ(entries(), 1u) << "c's temporary file is gone and c never appeared";
}

} // namespace
