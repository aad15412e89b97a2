// Field changes of light nodes on their way to the processor, and the guard against loops.
//
// While a node hands a change of field F on, F's bit is set in the node's changing mask. The
// tests put a node into that state by setting the mask themselves, then change fields as a
// processor reacting to F would.

#include <morvekLightingNodePool/DirectionalLight.h>
#include <morvekLightingNodePool/EnvironmentLight.h>
#include <morvekLightingNodePool/LightProc.h>
#include <morvekLightingNodePool/PointLight.h>
#include <morvekLightingNodePool/SpotLight.h>

#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>

#include <OpenSG/OSGLog.h>

#include <osgTestSupport/LogCapture.h>

#include "LightTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace Morvek;

namespace {

template <class T> Light* make(const char* name)
{
    return T::create(nullptr, name, CreatorProgram);
}

struct LightKind {
    const char* type;
    Light* (*create)(const char* name);
    bool hasCore; // an OpenSG light core shows what reached the processor
};

const LightKind kinds[] = {
    {"DirectionalLight", &make<DirectionalLight>, true},
    {"PointLight", &make<PointLight>, true},
    {"SpotLight", &make<SpotLight>, true},
    {"EnvironmentLight", &make<EnvironmentLight>, false},
};

// A new light whose first update has been delivered, so nothing is queued.
RefPtr<Light> settledLight(const LightKind& kind, const char* name)
{
    RefPtr<Light> light(kind.create(name));
    Runtime::instance().update();
    return light;
}

unsigned updatesOf(Light& light) { return light.getLightProc()->getUpdateCount(); }

// The re-entered change is dropped at every log level; only at info level it says so.
TEST(FieldChange, ReentryOfTheSameFieldIsDroppedWithOneInfoLine)
{
    for (const LightKind& kind : kinds) {
        for (const char* name : {"lamp", static_cast<const char*>(nullptr)}) {
            for (osg::LogLevel level : {osg::LOG_INFO, osg::LOG_NOTICE}) {
                SCOPED_TRACE(std::string(kind.type) + (name ? " named" : " unnamed") +
                             (level == osg::LOG_INFO ? ", info" : ", notice"));
                RefPtr<Light> light = settledLight(kind, name);
                ASSERT_TRUE(light);
                ASSERT_FALSE(Runtime::instance().hasPendingUpdates());

                LogLevelScope logLevel(level, osg::LOG_FILE_HEADER | osg::LOG_FUNCNAME_HEADER);
                osgTestSupport::LogCapture capture;
                light->_changingMask = Light::colorMask; // color's change is being handed on
                light->color().setValue(osg::Color3f(0.5f, 0.5f, 0.5f));

                // Not handed on, and the mask is left as the outer change set it.
                EXPECT_FALSE(Runtime::instance().hasPendingUpdates());
                EXPECT_EQ(light->_changingMask, Light::colorMask);
                light->_changingMask = FieldMask();
                const std::vector<std::string> lines = capture.lines();
                if (level != osg::LOG_INFO) {
                    EXPECT_EQ(capture.text(), "");
                    continue;
                }
                ASSERT_EQ(lines.size(), 1u) << capture.text();
                const std::string who = name ? std::string(name) : light->getIDStr();
                EXPECT_TRUE(endsWith(lines[0], std::string("Field ") + kind.type + "/" + who +
                                                   ".color is already changing; break loop"))
                    << lines[0];
                // The header names the declaring class's source and its fieldChanged.
                EXPECT_NE(lines[0].find(std::string("lightingNodePool/") + kind.type),
                          std::string::npos)
                    << lines[0];
                EXPECT_NE(lines[0].find(std::string("Morvek::") + kind.type + "::fieldChanged"),
                          std::string::npos)
                    << lines[0];
            }
        }
    }
}

// Other fields changed during a forward, and the same field changed twice in sequence, are all
// handed on, silently even at info level.
TEST(FieldChange, OtherFieldsDuringAForwardAndRepeatedChangesAreHandedOn)
{
    for (const LightKind& kind : kinds) {
        SCOPED_TRACE(kind.type);
        RefPtr<Light> light = settledLight(kind, "nested");
        const unsigned updates = updatesOf(*light);
        LogLevelScope logLevel(osg::LOG_INFO, osg::LOG_NONE_HEADER);
        osgTestSupport::LogCapture capture;

        // Only the bit of each nested change is set and cleared again.
        light->_changingMask = Light::colorMask;
        light->intensity().setValue(0.5f);
        EXPECT_EQ(light->_changingMask, Light::colorMask);
        light->on().setValue(false);
        EXPECT_EQ(light->_changingMask, Light::colorMask);
        light->_changingMask = FieldMask();
        ASSERT_TRUE(Runtime::instance().hasPendingUpdates());
        Runtime::instance().update();
        EXPECT_EQ(updatesOf(*light), updates + 1);
        if (kind.hasCore) {
            EXPECT_FALSE(light->getLightProc()->getLightPtr()->getOn());
        }

        light->on().setValue(true);
        EXPECT_TRUE(light->_changingMask.none());
        ASSERT_TRUE(Runtime::instance().hasPendingUpdates());
        Runtime::instance().update();
        EXPECT_EQ(updatesOf(*light), updates + 2);
        if (kind.hasCore) {
            EXPECT_TRUE(light->getLightProc()->getLightPtr()->getOn());
        }
        EXPECT_EQ(capture.text(), "");
    }
}

} // namespace
