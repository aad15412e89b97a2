// The log lines of the host and its pools: level gate, header only for an accepted module, one
// piece per line.

#include <morvekBase/HostLog.h>

#include <osgTestSupport/LogCapture.h>
#include <osgTestSupport/LogLevelScope.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace Morvek;
using osgTestSupport::LogLevelScope;

namespace {

bool endsWith(const std::string& text, const std::string& tail)
{
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

const char* const source = "morvekBase/HostLogTest";

// The level gate and the module handling are the log's own; here: that they apply.
TEST(HostLog, WrittenByLevelWithHeaderOnlyForAnAcceptedModule)
{
    // Each header part ends in ": ", and the header in one more space (OpenSG's layout).
    const std::string header = std::string(LogModuleName) + ": " + source + ":  ";
    const std::string text = "Type/name: 42 done\n";
    auto written = [](osg::LogLevel level) {
        osgTestSupport::LogCapture capture;
        MORVEK_HOST_LOG(level, source, "%s/%s: %d %s\n", "Type", "name", 42, "done");
        return capture.text();
    };
    LogLevelScope logLevel(osg::LOG_NOTICE, osg::LOG_MODULE_HEADER | osg::LOG_FILE_HEADER);
    osg::osgLog().setModuleHandling(osg::LOG_MODULE_ALL, true);
    EXPECT_EQ(written(osg::LOG_NOTICE), header + text);
    EXPECT_EQ(written(osg::LOG_INFO), "");
    osg::osgLog().setModuleHandling(osg::LOG_MODULE_KNOWN, true);
    EXPECT_EQ(written(osg::LOG_NOTICE), text) << "an unknown module gets no header";
    osg::osgLog().addModuleName(LogModuleName);
    EXPECT_EQ(written(osg::LOG_NOTICE), header + text);
    osg::osgLog().delModuleName(LogModuleName);
}

TEST(HostLog, HeaderNamesTheWritingFunction)
{
    LogLevelScope logLevel(osg::LOG_INFO, osg::LOG_FUNCNAME_HEADER);
    osgTestSupport::LogCapture capture;
    MORVEK_HOST_LOG(osg::LOG_INFO, source, "x\n");
    EXPECT_NE(capture.text().find("TestBody()"), std::string::npos) << capture.text();
}

TEST(HostLog, LinesOfTwoThreadsStayWhole)
{
    LogLevelScope logLevel(osg::LOG_INFO, osg::LOG_MODULE_HEADER | osg::LOG_FILE_HEADER |
                                              osg::LOG_FUNCNAME_HEADER);
    osgTestSupport::LogCapture capture;
    const int perThread = 5000;
    auto writer = [&](const char* name) {
        for (int i = 0; i < perThread; ++i)
            MORVEK_HOST_LOG(osg::LOG_INFO, source, "%s line %d\n", name, i);
    };
    std::thread first(writer, "first");
    std::thread second(writer, "second");
    first.join();
    second.join();

    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), size_t(2 * perThread));
    int next[2] = {0, 0};
    for (const std::string& line : lines) {
        ASSERT_EQ(line.rfind(std::string(LogModuleName) + ": " + source + ": ", 0), 0u) << line;
        const bool isFirst = line.find(" first line ") != std::string::npos;
        const int k = isFirst ? 0 : 1;
        // Each thread's lines arrive whole and in its own order.
        EXPECT_TRUE(endsWith(line, std::string(isFirst ? "first" : "second") + " line " +
                                       std::to_string(next[k]++)))
            << line;
    }
}

} // namespace
