#pragma once

#include <OpenSG/OSGFieldContainer.h>
#include <OpenSG/OSGLog.h>

#include <osgTestSupport/EditJournal.h>
#include <osgTestSupport/LogLevelScope.h>

#include <gtest/gtest.h>

#include <optional>

// Every test starts with an empty edit journal and the log as it found it, and must leave
// exactly as many live containers as it found: a leak or an extra release fails the test.
class OsgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        _liveAtStart = osg::getLiveContainerCount();
        Morvek::osgTestSupport::EditJournal::clear();
        _log.emplace(osg::osgLog().getLogLevel(), osg::osgLog().getHeaderElem());
    }
    void TearDown() override
    {
        _log.reset();
        EXPECT_EQ(osg::getLiveContainerCount(), _liveAtStart)
            << "containers leaked or released too often";
    }

private:
    osg::UInt32 _liveAtStart = 0;
    std::optional<Morvek::osgTestSupport::LogLevelScope> _log;
};
