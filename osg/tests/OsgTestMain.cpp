#include <OpenSG/OSGBaseFunctions.h>

#include <gtest/gtest.h>

namespace {
// The scene layer is started once for the whole program, as an application would.
class OsgEnvironment : public ::testing::Environment {
public:
    void SetUp() override { osg::osgInit(0, nullptr); }
    void TearDown() override { osg::osgExit(); }
};

::testing::Environment* const environment = ::testing::AddGlobalTestEnvironment(new OsgEnvironment);
} // namespace
