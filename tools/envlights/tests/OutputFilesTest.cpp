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
        fs::create_directories(_dir);
    }
    void TearDown() override { fs::remove_all(_dir); }

    std::string path(const std::string& name) const { return (_dir / name).string(); }
    std::size_t entries() const
    {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(_dir), fs::directory_iterator()));
    }
    static std::string read(const std::string& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    fs::path _dir;
};

TEST_F(OutputFilesTest, CommitPutsEveryFileInPlace)
{
    { std::ofstream(path("old.json")) << "previous content that is longer"; }
    std::string error;
    OutputFiles files;
    ASSERT_TRUE(files.stage(path("old.json"), "{}", error)) << error;
    ASSERT_TRUE(files.stage(path("picture.png"), std::string("\x89PNG\0\1", 6), error)) << error;
    EXPECT_EQ(read(path("old.json")), "previous content that is longer") << "untouched until commit";
    EXPECT_FALSE(fs::exists(path("picture.png")));
    ASSERT_TRUE(files.commit(error)) << error;
    EXPECT_EQ(read(path("old.json")), "{}");
    EXPECT_EQ(read(path("picture.png")), std::string("\x89PNG\0\1", 6));
    EXPECT_EQ(entries(), 2u) << "no temporary file left";
    const fs::perms perms = fs::status(path("picture.png")).permissions();
    EXPECT_NE(perms & fs::perms::owner_read, fs::perms::none);
    EXPECT_NE(perms & fs::perms::owner_write, fs::perms::none);
}

TEST_F(OutputFilesTest, FailuresLeaveNothingBehind)
{
    fs::create_directory(path("folder"));
    struct Row {
        const char* name;
        std::string destination;
        std::string message;
    };
    const Row rows[] = {
        {"missing folder", path("no/such/out.json"), path("no/such/out.json") + ": cannot write: No such file or directory"},
        {"destination is a folder", path("folder"), path("folder") + ": cannot write: Is a directory"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        std::string error;
        {
            OutputFiles files;
            ASSERT_TRUE(files.stage(path("first.txt"), "first", error)) << error;
            EXPECT_FALSE(files.stage(row.destination, "second", error));
            EXPECT_EQ(error, row.message);
        }  // abandoned: the staged first file goes too
        EXPECT_FALSE(fs::exists(path("first.txt")));
        EXPECT_EQ(entries(), 1u) << "only the folder made by the test";
    }

    // A rename that fails part-way removes the remaining temporary files.
    std::string error;
    OutputFiles files;
    ASSERT_TRUE(files.stage(path("a.txt"), "a", error));
    ASSERT_TRUE(files.stage(path("folder/b.txt"), "b", error));
    ASSERT_TRUE(files.stage(path("c.txt"), "c", error));
    fs::remove_all(path("folder"));  // b's temporary file vanishes with its folder
    EXPECT_FALSE(files.commit(error));
    EXPECT_EQ(error, path("folder/b.txt") + ": cannot write: No such file or directory");
    EXPECT_EQ(read(path("a.txt")), "a") << "renamed before the failure";
    EXPECT_EQ(entries(), 1u) << "c's temporary file is gone, c never appeared";
}

}  // namespace
