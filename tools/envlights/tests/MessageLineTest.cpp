// Every line envlights writes is one line starting "envlights: ", whatever bytes a file name or
// a file's content puts into it, and the OpenSG log's lines come out the same way.

#include "MessageLine.h"
#include "LogRelay.h"

#include <OpenSG/OSGLog.h>

#include <gtest/gtest.h>

#include <sstream>

namespace {

using envlights::LogRelay;
using envlights::MessageLine;

TEST(MessageLineTest, ControlBytesAreEscapedAndTheRestKept)
{
    const struct {
        const char* name;
        std::string message;
        std::string line;
    } rows[] = {
        {"plain", "a.exr: the file is empty", "envlights: a.exr: the file is empty\n"},
        {"newline in a channel name", "it has R\nG, B", "envlights: it has R\\x0aG, B\n"},
        {"terminal escape", "x\x1b[31m.png", "envlights: x\\x1b[31m.png\n"},
        {"tab, return, delete", "a\tb\rc\x7f", "envlights: a\\x09b\\x0dc\\x7f\n"},
        {"NUL byte", std::string("a\0b", 3), "envlights: a\\x00b\n"},
        {"UTF-8 kept", "h\xc3\xa9las.hdr", "envlights: h\xc3\xa9las.hdr\n"},
        {"backslash kept", "a\\x41", "envlights: a\\x41\n"},
    };
    for (const auto& row : rows) {
        std::ostringstream out;
        MessageLine::write(out, row.message);
        EXPECT_EQ(out.str(), row.line) << row.name;
    }
}

TEST(MessageLineTest, LogLinesAreRelayedAsToolLinesAndTheLogIsGivenBack)
{
    osg::Log& log = osg::osgLog();
    const osg::LogType before = log.getLogType();
    std::ostringstream out;
    // The log's header is its level and ": ", then one more space before the text.
    {
        LogRelay relay(out);
        SWARNING << "image too large" << std::endl;
        PWARNING << "a line in two " << std::flush;
        relay.relay();
        EXPECT_EQ(out.str(), "envlights: WARNING:  image too large\n")
            << "a line without its end waits for it";
        PWARNING << "parts, with a\x01 control byte" << std::endl;
        SWARNING << "left for the end" << std::endl;
    }
    EXPECT_EQ(out.str(), "envlights: WARNING:  image too large\n"
                         "envlights: a line in two parts, with a\\x01 control byte\n"
                         "envlights: WARNING:  left for the end\n");
    EXPECT_EQ(log.getLogType(), before);
}

} // namespace
