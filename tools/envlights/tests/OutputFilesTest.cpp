// Output files appear whole or not at all.

#include "OutputFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

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
         {std::pair{"no/such/out.json", "No such file or directory"}, {"folder", ""}}) {
        std::string error;
        {
            OutputFiles files;
            ASSERT_TRUE(files.stage(path("first.txt"), "first", error)) << error;
            EXPECT_FALSE(files.stage(path(destination), "second", error));
            EXPECT_EQ(error, path(destination) +
                                 (*reason ? std::string(": cannot write: ") + reason
                                          : ": will not write over a directory, only over a "
                                            "regular file"));
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

// What a folder holds, entry by entry: name, kind, permissions and content (or link target).
std::string snapshot(const fs::path& dir)
{
    std::vector<std::string> entries;
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
        const fs::file_status status = fs::symlink_status(entry.path());
        std::ostringstream line;
        line << entry.path().lexically_relative(dir).string() << ' ' << int(status.type()) << ' '
             << std::oct << int(status.permissions()) << ' ';
        if (status.type() == fs::file_type::symlink)
            line << fs::read_symlink(entry.path()).string();
        else if (status.type() == fs::file_type::regular)
            line << std::ifstream(entry.path(), std::ios::binary).rdbuf();
        entries.push_back(line.str());
    }
    std::sort(entries.begin(), entries.end());
    std::string text;
    for (const std::string& entry : entries)
        text += entry + '\n';
    return text;
}

TEST_F(OutputFilesTest, DestinationsThatWouldClobberAreRefusedBeforeAnythingIsWritten)
{
    std::ofstream(path("in.hdr")) << "picture";
    std::ofstream(path("old.json")) << "old";
    fs::create_symlink(path("old.json"), path("link.json"));
    fs::create_symlink(path("nowhere.json"), path("dangling.json"));
    fs::create_hard_link(path("in.hdr"), path("hard.hdr"));
    fs::create_directory_symlink(_dir, path("alias"));
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0644), 0);
    const std::string regular = ", only over a regular file";

    const struct {
        const char* situation;
        std::vector<std::string> destinations; // names in this test's folder, "/..." as is
        std::vector<std::string> inputs;
        std::string line; // after the offending destination's full name; empty: accepted
    } rows[] = {
        {"a directory", {"folder"}, {}, ": will not write over a directory" + regular},
        {"a device", {"/dev/null"}, {}, ": will not write over a device" + regular},
        {"a FIFO", {"fifo"}, {}, ": will not write over a FIFO" + regular},
        {"a link to a file", {"link.json"}, {}, ": will not write over a symbolic link" + regular},
        {"a dangling link",
         {"dangling.json"},
         {},
         ": will not write over a symbolic link" + regular},
        {"the input", {"in.hdr"}, {"in.hdr"}, ": will not write over the input image @in.hdr"},
        {"the input by another path",
         {"folder/../in.hdr"},
         {"in.hdr"},
         ": will not write over the input image @in.hdr"},
        {"the input through a linked folder",
         {"alias/in.hdr"},
         {"in.hdr"},
         ": will not write over the input image @in.hdr"},
        {"the input by a hard link",
         {"hard.hdr"},
         {"in.hdr"},
         ": will not write over the input image @in.hdr"},
        {"two outputs, one file",
         {"new.json", "new.json"},
         {},
         ": named by two outputs; each "
         "needs a file of its own"},
        {"two outputs, two spellings",
         {"old.json", "./old.json"},
         {},
         ": named by two outputs; each needs a file of its own"},
        {"new and existing regular files",
         {"new.json", "old.json", "folder/x.png"},
         {"in.hdr"},
         ""},
    };
    auto full = [&](const std::string& name) { return name[0] == '/' ? name : path(name); };
    for (const auto& row : rows) {
        std::vector<std::string> destinations, inputs;
        for (const std::string& name : row.destinations)
            destinations.push_back(full(name));
        for (const std::string& name : row.inputs)
            inputs.push_back(full(name));
        const std::string before = snapshot(_dir);
        std::string error;
        const bool accepted = OutputFiles::checkDestinations(destinations, inputs, error);
        EXPECT_EQ(accepted, row.line.empty()) << row.situation;
        if (!row.line.empty()) {
            std::string line = row.line;
            if (const std::size_t at = line.find('@'); at != std::string::npos)
                line.replace(at, 1, path(""));
            EXPECT_EQ(error, full(row.destinations.back()) + line) << row.situation;
        }
        EXPECT_EQ(snapshot(_dir), before) << row.situation;
    }

    // Staging checks again: what changed since the check is still not written over.
    std::string error;
    OutputFiles files;
    EXPECT_FALSE(files.stage(path("link.json"), "new", error));
    EXPECT_EQ(error, path("link.json") + ": will not write over a symbolic link" + regular);
    EXPECT_TRUE(fs::is_symlink(path("link.json")));
    EXPECT_EQ(read(path("old.json")), "old");
}

TEST_F(OutputFilesTest, ReplacedFilesKeepTheirPermissions)
{
    const mode_t mask = ::umask(0022);
    const struct {
        const char* name;
        int existing; // -1: a new file
        int expected;
    } rows[] = {{"read-only.json", 0444, 0444},
                {"private.json", 0600, 0600},
                {"shared.png", 0664, 0664},
                {"new.json", -1, 0644}};
    OutputFiles files;
    std::string error;
    for (const auto& row : rows) {
        if (row.existing >= 0) {
            std::ofstream(path(row.name)) << "old";
            ASSERT_EQ(::chmod(path(row.name).c_str(), mode_t(row.existing)), 0);
        }
        ASSERT_TRUE(files.stage(path(row.name), "new", error)) << error;
    }
    ASSERT_TRUE(files.commit(error)) << error;
    ::umask(mask);
    for (const auto& row : rows) {
        struct stat st {};
        ASSERT_EQ(::stat(path(row.name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << row.name;
        EXPECT_EQ(st.st_mode & 07777, mode_t(row.expected)) << row.name;
        EXPECT_EQ(read(path(row.name)), "new") << row.name;
    }
}

} // namespace
