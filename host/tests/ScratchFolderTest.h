#pragma once

// What the image file tests share: whole files as bytes, and a fixture that starts OpenSG and
// gives each test a folder of its own under the system's temporary folder, removed afterwards.

#include <OpenSG/OSGBaseFunctions.h>

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace imageFileTests {

using Bytes = std::vector<unsigned char>;

inline Bytes readBytes(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& file, const Bytes& bytes)
{
    std::ofstream(file, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

class ScratchFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        osg::osgInit(0, nullptr);
        std::filesystem::remove_all(_dir);
        std::filesystem::create_directories(_dir);
    }
    void TearDown() override { std::filesystem::remove_all(_dir); }

    // A file of this test's folder.
    std::string path(const std::string& name) const { return (_dir / name).string(); }

    const std::filesystem::path _dir =
        std::filesystem::temp_directory_path() /
        ("morvek-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->test_suite_name()) +
         "-" + std::to_string(::getpid()) + "-" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
};

} // namespace imageFileTests
