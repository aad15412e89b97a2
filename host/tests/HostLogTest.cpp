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

TEST(HostLog, WrittenByLevelWithHeaderOnlyForAnAcceptedModule)
{
    // Each header part ends in ": ", and the header in one more space (OpenSG's layout).
    const std::string header = std::string(LogModuleName) + ": " + source + ": " + " ";
    enum Written { nothing, textOnly, withHeader };
    struct Row {
        osg::LogLevel logLevel;
        osg::UInt32 moduleHandling;
        bool moduleKnown;
        osg::LogLevel messageLevel;
        Written written;
    };
    using namespace osg;
    const Row rows[] = {
        {LOG_INFO, LOG_MODULE_ALL, false, LOG_INFO, withHeader},
        {LOG_WARNING, LOG_MODULE_ALL, false, LOG_FATAL, withHeader},
        {LOG_NOTICE, LOG_MODULE_ALL, false, LOG_NOTICE, withHeader},
        {LOG_NOTICE, LOG_MODULE_ALL, false, LOG_INFO, nothing},
        {LOG_WARNING, LOG_MODULE_ALL, false, LOG_NOTICE, nothing},
        {LOG_INFO, LOG_MODULE_KNOWN, true, LOG_INFO, withHeader},
        {LOG_INFO, LOG_MODULE_KNOWN, false, LOG_INFO, textOnly},
        {LOG_INFO, LOG_MODULE_NONE, false, LOG_INFO, textOnly},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        LogLevelScope logLevel(row.logLevel, osg::LOG_MODULE_HEADER | osg::LOG_FILE_HEADER);
        osg::osgLog().setModuleHandling(row.moduleHandling, true);
        if (row.moduleKnown)
            osg::osgLog().addModuleName(LogModuleName);
        osgTestSupport::LogCapture capture;
        MORVEK_HOST_LOG(row.messageLevel, source, "%s/%s: %d %s\n", "Type", "name", 42, "done");
        if (row.moduleKnown)
            osg::osgLog().delModuleName(LogModuleName);

        const std::string text = "Type/name: 42 done\n";
        EXPECT_EQ(capture.text(), row.written == nothing    ? ""
                                  : row.written == textOnly ? text
                                                            : header + text);
    }
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
    const int perThread = 300;
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
