#include "OsgTest.h"

#include <OpenSG/OSGLog.h>

#include <osgTestSupport/LogCapture.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::LogCapture;
using Lines = std::vector<std::string>;

namespace {
class LogTest : public OsgTest {
protected:
    void SetUp() override
    {
        OsgTest::SetUp();
        osgLog().setHeaderElem(LOG_TYPE_HEADER, true);
        osgLog().setModuleHandling(LOG_MODULE_ALL, true);
    }
};

// A message passes when the current level is at least its own; LOG passes unless only fatal
// messages do.
TEST_F(LogTest, LevelGatesMessages)
{
    const std::tuple<LogLevel, LogLevel, const char*> rows[] = {
        {LOG_WARNING, LOG_FATAL, "FATAL:  msg\n"},
        {LOG_WARNING, LOG_WARNING, "WARNING:  msg\n"},
        {LOG_WARNING, LOG_NOTICE, ""},
        {LOG_WARNING, LOG_LOG, "LOG:  msg\n"},
        {LOG_FATAL, LOG_WARNING, ""},
        {LOG_INFO, LOG_NOTICE, "NOTICE:  msg\n"},
        {LOG_LOG, LOG_FATAL, ""},
        {LOG_DEBUG, LOG_INFO, "INFO:  msg\n"},
    };
    for (const auto& [current, message, expected] : rows) {
        osgLog().setLogLevel(current, true);
        LogCapture capture;
        OSG_LOG_PRINTF_(message, true, ("msg\n"));
        EXPECT_EQ(capture.text(), expected) << "level " << current << ", message " << message;
        EXPECT_EQ(osgLog().checkLevel(message), *expected != '\0');
    }
}

TEST_F(LogTest, ModuleHandlingDecidesWhoGetsAHeader)
{
    const std::tuple<UInt32, const char*, bool> rows[] = {
        {LOG_MODULE_ALL, "Elsewhere", true},
        {LOG_MODULE_NONE, "Known", false},
        {LOG_MODULE_KNOWN, "Known", true},
        {LOG_MODULE_KNOWN, "Elsewhere", false},
        {LOG_MODULE_UNKNOWN, "Elsewhere", true},
        {LOG_MODULE_UNKNOWN, "Known", false},
        {LOG_MODULE_UNDEFINED, "", true},
        {LOG_MODULE_KNOWN, nullptr, false},
        {LOG_MODULE_KNOWN | LOG_MODULE_UNDEFINED, nullptr, true}};
    osgLog().addModuleName("Known");
    for (const auto& [handling, module, accepted] : rows) {
        osgLog().setModuleHandling(handling, true);
        EXPECT_EQ(osgLog().checkModule(module), accepted)
            << handling << " " << (module ? module : "null");
    }
    osgLog().delModuleName("Known");
    EXPECT_FALSE(osgLog().hasModule("Known"));

    osgLog().setModuleHandling(LOG_MODULE_KNOWN, true);
    LogCapture capture;
    FWARNING(("text %d\n", 7)); // module "OpenSG" is not known
    EXPECT_EQ(capture.text(), "text 7\n") << "a rejected module keeps the text, not the header";
}

TEST_F(LogTest, HeaderLayout)
{
    const UInt32 typeAndModule = LOG_TYPE_HEADER | LOG_MODULE_HEADER;
    const UInt32 fileAndLine = LOG_FILE_HEADER | LOG_LINE_HEADER;
    const std::pair<UInt32, const char*> rows[] = {
        {LOG_NONE_HEADER, "text"},
        {typeAndModule, "NOTICE: Mod:  text"},
        {LOG_FILE_HEADER, "src/a.cpp:  text"},
        {fileAndLine, "src/a.cpp:42:  text"},
        {LOG_FUNCNAME_HEADER, "void f(int):  text"},
        {typeAndModule | fileAndLine | LOG_FUNCNAME_HEADER,
         "NOTICE: Mod: src/a.cpp:42: void f(int):  text"},
        {typeAndModule | LOG_TAB_HEADER, "NOTICE\tMod\t text"},
        {LOG_TYPE_HEADER | LOG_END_NEWLINE_HEADER, "NOTICE: \ntext"},
        {LOG_BEGIN_NEWLINE_HEADER | LOG_TYPE_HEADER, "\nNOTICE:  text"},
        {LOG_TYPE_HEADER | LOG_COLOR_HEADER, "NOTICE:  text"},
    };
    osgLog().setLogLevel(LOG_NOTICE, true);
    for (const auto& [elements, expected] : rows) {
        osgLog().setHeaderElem(elements, true);
        LogCapture capture;
        osgLog().doHeader(LOG_NOTICE, "Mod", "src/a.cpp", 42, "void f(int)") << "text";
        EXPECT_EQ(capture.text(), expected) << std::hex << elements;
    }
    osgLog().setHeaderElem(LOG_TYPE_HEADER | LOG_COLOR_HEADER, true);
    LogCapture capture;
    osgLog().doHeader(LOG_FATAL, "Mod", "f", 1, "g") << "text";
    EXPECT_EQ(capture.text(), "\x1b[31mFATAL\x1b[0m:  text") << "fatal has a colour";
}

TEST_F(LogTest, StreamFormsWriteHeaderAndHonourTheLevel)
{
    LogCapture capture;
    SWARNING << "value " << 3 << std::endl;
    SNOTICE << "dropped" << std::endl;
    PWARNING << "plain" << std::endl;
    EXPECT_EQ(capture.lines(), (Lines{"WARNING:  value 3", "plain"}));
}

TEST_F(LogTest, EnvironmentOverridesUnforcedSetters)
{
    ::setenv("OSG_LOG_LEVEL", "info", 1);
    osgLog().setLogLevel(LOG_WARNING);
    EXPECT_EQ(osgLog().getLogLevel(), LOG_INFO) << "the variable wins over a plain setter";
    ::setenv("OSG_LOG_LEVEL", "1", 1);
    osgLog().setLogLevel(LOG_WARNING);
    EXPECT_EQ(osgLog().getLogLevel(), LOG_FATAL) << "numbers work too";
    osgLog().setLogLevel(LOG_NOTICE, true);
    EXPECT_EQ(osgLog().getLogLevel(), LOG_NOTICE) << "force wins over the variable";
    ::unsetenv("OSG_LOG_LEVEL");

    ::setenv("OSG_LOG_HEADER", "8", 1);
    osgLog().setHeaderElem(LOG_TYPE_HEADER);
    EXPECT_EQ(osgLog().getHeaderElem(), UInt32(LOG_MODULE_HEADER));
    ::unsetenv("OSG_LOG_HEADER");
}

// Captures nest, and each gives back the log type and buffer text it found.
TEST_F(LogTest, CapturesNestAndRestoreTheLog)
{
    osgLog().setLogType(LOG_BUFFER, true);
    osgLog().clearLogBuffer();
    FWARNING(("into the buffer\n"));
    {
        LogCapture outer;
        FWARNING(("one\n"));
        {
            LogCapture inner;
            FWARNING(("two\n"));
            EXPECT_EQ(inner.lines(), Lines{"WARNING:  two"});
        }
        FWARNING(("three\n"));
        EXPECT_EQ(outer.lines(), (Lines{"WARNING:  one", "WARNING:  three"}));
    }
    EXPECT_EQ(osgLog().getLogBuffer(), "WARNING:  into the buffer\n");
    EXPECT_EQ(osgLog().getLogType(), LOG_BUFFER);
    osgLog().setLogType(LOG_STDOUT, true);
    std::make_unique<LogCapture>().reset();
    EXPECT_EQ(osgLog().getLogType(), LOG_STDOUT);
    osgLog().setLogType(LOG_STDERR, true);
    osgLog().clearLogBuffer();
}

// Header and text of one message stay together when two threads log at once.
TEST_F(LogTest, OneMessageIsOneLineUnderConcurrency)
{
    LogCapture capture;
    const std::string a(64, 'a'), b(64, 'b');
    auto writer = [](const std::string* text) {
        for (int i = 0; i < 2000; ++i) {
            FWARNING(("%s\n", text->c_str()));
            SWARNING << *text << std::endl;
        }
    };
    std::thread t1(writer, &a), t2(writer, &b);
    t1.join();
    t2.join();
    const Lines lines = capture.lines();
    EXPECT_EQ(lines.size(), 8000u);
    for (const std::string& line : lines)
        ASSERT_TRUE(line == "WARNING:  " + a || line == "WARNING:  " + b) << "torn: " << line;
}
} // namespace
