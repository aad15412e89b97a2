#pragma once

#include <OpenSG/OSGFieldContainer.h>
#include <OpenSG/OSGLog.h>

#include <osgTestSupport/EditJournal.h>

#include <gtest/gtest.h>

// Every test starts with an empty edit journal and must leave exactly as many live
// containers as it found: a leak or an extra release fails the test that caused it.
class OsgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        _liveAtStart = osg::getLiveContainerCount();
        Morvek::osgTestSupport::EditJournal::clear();
        _savedLevel = osg::osgLog().getLogLevel();
        _savedHeader = osg::osgLog().getHeaderElem();
        _savedModules = osg::osgLog().getModuleHandling();
    }
    void TearDown() override
    {
        osg::osgLog().setLogLevel(_savedLevel, true);
        osg::osgLog().setHeaderElem(_savedHeader, true);
        osg::osgLog().setModuleHandling(_savedModules, true);
        EXPECT_EQ(osg::getLiveContainerCount(), _liveAtStart) << "containers leaked or released too often";
    }

private:
    osg::UInt32 _liveAtStart = 0;
    osg::LogLevel _savedLevel = osg::LOG_WARNING;
    osg::UInt32 _savedHeader = 0;
    osg::UInt32 _savedModules = 0;
};
