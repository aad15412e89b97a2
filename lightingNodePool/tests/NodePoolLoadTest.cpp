// The lighting pool as the host sees it: loaded by name through the plug-in loader, known only
// through the type records it registers. This program does not link the pool.

#include <morvekBase/Field.h>
#include <morvekBase/HostLog.h>
#include <morvekBase/Node.h>
#include <morvekBase/NodePartDesc.h>
#include <morvekBase/NodePoolLoader.h>
#include <morvekBase/NodeType.h>
#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>
#include <morvekShapeNodePool/Texture.h>

#include <OpenSG/OSGFieldContainer.h>
#include <OpenSG/OSGLog.h>

#include <osgTestSupport/LogCapture.h>

#include "LightTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Morvek;

namespace {

const char* const poolName = "LightingNodePool";
const char* const entrySymbol =
    "_ZN6Morvek20initLightingNodePoolEv"; // Morvek::initLightingNodePool()

// The five types in the order their records are built while the library loads.
const std::vector<std::string> typesInLoadOrder = {"DirectionalLight", "EnvironmentLight", "Light",
                                                   "PointLight", "SpotLight"};

// The pool's types in registration order.
std::vector<std::string> poolTypeNames()
{
    std::vector<std::string> names;
    for (NodeType* type : theSceneNodeTypeFactory().getTypes())
        if (type->getPool() && std::strcmp(type->getPool(), poolName) == 0) {
            names.push_back(type->getName());
        }
    return names;
}

// Lines of the captured log that carry an "Init" report.
std::vector<std::string> initLines(const osgTestSupport::LogCapture& capture)
{
    std::vector<std::string> result;
    for (const std::string& line : capture.lines())
        if (line.find("Init ") != std::string::npos)
            result.push_back(line);
    return result;
}

class NodePoolLoadTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Runtime::instance(); // initialises OpenSG
        // A host has its own pools in the process before it loads others; the lighting pool
        // uses the shape pool's Texture.
        ASSERT_NE(NodeTypeNameSpace::findType(theSceneNodeTypeFactory(),
                                              Texture::classType().getName(), SearchCaseSensitive),
                  nullptr);
        _typesBefore = theSceneNodeTypeFactory().size();
    }
    void TearDown() override
    {
        std::string error;
        if (_loader.isLoaded(poolName)) {
            EXPECT_TRUE(_loader.unload(poolName, error)) << error;
        }
        EXPECT_EQ(theSceneNodeTypeFactory().size(), _typesBefore);
    }

    bool load()
    {
        std::string error;
        const bool loaded = _loader.load(poolName, error);
        EXPECT_TRUE(loaded) << error;
        return loaded;
    }
    void callEntry()
    {
        auto entry = reinterpret_cast<void (*)()>(_loader.findSymbol(poolName, entrySymbol));
        ASSERT_NE(entry, nullptr);
        entry();
    }

    NodePoolLoader _loader;
    size_t _typesBefore = 0;
};

TEST_F(NodePoolLoadTest, LoadingRegistersFiveTypesInBuildOrderAndReportsEachOk)
{
    LogLevelScope logLevel(osg::LOG_INFO, osg::LOG_MODULE_HEADER | osg::LOG_FILE_HEADER |
                                              osg::LOG_LINE_HEADER | osg::LOG_FUNCNAME_HEADER);
    osgTestSupport::LogCapture capture;
    ASSERT_TRUE(load());

    EXPECT_EQ(theSceneNodeTypeFactory().size(), _typesBefore + 5);
    // The registry keeps registration order: the records were built source by source.
    EXPECT_EQ(poolTypeNames(), typesInLoadOrder);

    const std::vector<std::string> lines = initLines(capture);
    ASSERT_EQ(lines.size(), 5u) << capture.text();
    for (size_t i = 0; i < 5; ++i) {
        SCOPED_TRACE(typesInLoadOrder[i]);
        const std::string& line = lines[i];
        EXPECT_TRUE(endsWith(line, "Init " + typesInLoadOrder[i] + ": OK")) << line;
        // The header names the module, the class's own source and the checking function.
        EXPECT_NE(line.find(std::string(LogModuleName) + ":"), std::string::npos) << line;
        EXPECT_NE(line.find("lightingNodePool/" + typesInLoadOrder[i] + ":"), std::string::npos)
            << line;
        EXPECT_NE(line.find("Morvek::" + typesInLoadOrder[i] + "::init()"), std::string::npos)
            << line;
    }
}

// Init repeats its checks on every call and changes nothing; a record missing from the registry
// is reported failed while the others are still checked.
TEST_F(NodePoolLoadTest, InitChecksEveryRecordAgainAndReportsMissingOnesFailed)
{
    ASSERT_TRUE(load());
    NodeTypeNameSpace& factory = theSceneNodeTypeFactory();
    const std::vector<NodeType*> typesAfterLoad = factory.getTypes();
    for (const char* removed : {"", "", "DirectionalLight", "Light", "SpotLight"}) {
        SCOPED_TRACE(*removed ? removed : "nothing removed");
        NodeType* record = NodeTypeNameSpace::findType(factory, removed, SearchCaseSensitive);
        ASSERT_EQ(record != nullptr, *removed != '\0');
        if (record) {
            ASSERT_TRUE(factory.unregisterType(*record));
        }
        {
            LogLevelScope logLevel(osg::LOG_INFO, osg::LOG_NONE_HEADER);
            osgTestSupport::LogCapture capture;
            callEntry();
            const std::vector<std::string> lines = capture.lines();
            ASSERT_EQ(lines.size(), 5u) << capture.text();
            for (size_t i = 0; i < 5; ++i)
                EXPECT_EQ(lines[i], "Init " + typesInLoadOrder[i] +
                                        (typesInLoadOrder[i] == removed ? ": FAILED" : ": OK"));
        }
        if (record) {
            factory.registerType(*record); // back for the unload
        } else {
            EXPECT_EQ(factory.getTypes(), typesAfterLoad);
        }
    }
}

// Below info level loading and the entry point write nothing, and their checks still run.
TEST_F(NodePoolLoadTest, LoadAndUnloadHundredTimesSilentlyLeavesNoRegistryEntry)
{
    LogLevelScope logLevel(osg::LOG_NOTICE, osg::LOG_ALL_HEADER);
    osgTestSupport::LogCapture capture;
    const osg::UInt32 containersBefore = osg::getLiveContainerCount();
    for (int round = 0; round < 100; ++round) {
        ASSERT_TRUE(load()) << "round " << round;
        callEntry();
        ASSERT_EQ(capture.text(), "") << "round " << round;
        ASSERT_EQ(poolTypeNames(), typesInLoadOrder) << "round " << round;
        // A node of each concrete type, made and dropped while the pool is in.
        for (const char* type : {"DirectionalLight", "PointLight", "SpotLight", "EnvironmentLight"})
            ASSERT_TRUE(RefPtr<Node>(theSceneNodeTypeFactory().createNode(type, nullptr, nullptr)))
                << type;
        Runtime::instance().update();
        std::string error;
        ASSERT_TRUE(_loader.unload(poolName, error)) << error;
        ASSERT_TRUE(poolTypeNames().empty()) << "round " << round;
        ASSERT_EQ(theSceneNodeTypeFactory().size(), _typesBefore) << "round " << round;
    }
    EXPECT_EQ(osg::getLiveContainerCount(), containersBefore);
}

// ---------------------------------------------------------------------------------------------
// Type records and field tables, read back from the registry and compared with tables written
// here from the documented values.

struct RecordRow {
    const char* name;
    const char* parent;
    const char* status;
    const char* standard;
    bool hasNodeFactory;
    bool hasProcFactory;
    unsigned rows;
    const char* description;
};

const RecordRow records[] = {
    {"DirectionalLight", "Light", "stable", "X3D2.0", true, true, 2,
     "DirectionalLight creates parallel light rays to illuminate geometric shapes. Light is "
     "scoped and only illuminates geometry within its enclosing parent group! No source location "
     "is needed since rays are parallel from an infinitely distant source. DirectionalLight nodes "
     "do not attenuate with distance. Lights have no visible shape themselves and shine through "
     "occluding geometry. Hint: animate direction to simulate time-of-day sunlight effects. Hint: "
     "HeadLight is controlled by NavigationInfo. Interchange profile hint: light might not be "
     "scoped by parent Group or Transform."},
    {"EnvironmentLight", "Light", "beta", "Morvek", true, true, 4,
     "The EnvironmentLight creates DirectionalLights based on a given Environment texture (which "
     "must be a SingleTexture in lat-long format), e.g. the same texture as used in the "
     "SkydomeBackground."},
    {"Light", "VisualEffector", "stable", "Morvek", false, false, 7, "Base class for light nodes."},
    {"PointLight", "Light", "stable", "X3D2.0", true, true, 4,
     "PointLight is a light source that illuminates shapes in all directions Light illuminates all "
     "geometry and is not scoped by scene graph hierarchy Lights have no visible shape themselves "
     "and shine through occluding geometry. Hint: HeadLight is controlled by NavigationInfo."},
    {"SpotLight", "Light", "stable", "X3D2.0", true, true, 7,
     "SpotLight is a light source that illuminates geometry within a conical beam Light "
     "illuminates all geometry and is not scoped by scene graph hierarchy Lights have no visible "
     "shape themselves and shine through occluding geometry. Hint: HeadLight is controlled by "
     "NavigationInfo."},
};

struct FieldRow {
    const char* type;
    unsigned index;
    unsigned long long mask;
    unsigned partType;
    unsigned dataType;
    unsigned flags;
    const char* name;
    const char* defaultText; // null: none
    const char* constraint;  // null: none
    const char* description;
};

const char* const globalLowerCase =
    "indicates if the light is global (influences all elements in the scene) or local (only the "
    "childs of the parent node)";
const char* const attenuationText =
    "Constant, linear-distance and squared-distance dropoff factors.";
const char* const locationText = "Position of light relative to local coordinate system.";
const char* const radiusText = "(NOT IMPLEMENTED YET) Maximum effective distance of light "
                               "relative to local light position, affected by ancestor scaling.";

const FieldRow fieldRows[] = {
    {"Light", 3, 0x8, 7, 9, 1, "ambientIntensity", "0", "[0,1]",
     "Brightness of ambient (nondirectional background) emission from the light."},
    {"Light", 4, 0x10, 7, 3, 1, "color", "1 1 1", nullptr,
     "color of light, applied to colors of objects."},
    {"Light", 5, 0x20, 7, 9, 1, "intensity", "1", "[0,1]",
     "Brightness of direct emission from the light."},
    {"Light", 6, 0x40, 7, 1, 9, "showProxyGeometry", "FALSE", nullptr,
     "toggle geometry at light position (use for visual debugging)"},
    {"Light", 7, 0x80, 7, 37, 9, "proxyGeometrySize", "1 1 1", nullptr, "scales proxy geometry"},
    {"Light", 8, 0x100, 7, 9, 9, "shadowIntensity", "0", "[0,1]",
     "intensity of the shadow; 0 is no shadow at all"},
    {"Light", 9, 0x200, 7, 1, 5, "local", "FALSE", nullptr,
     "indicates if the light is local (for multi-pass usage)"},

    {"DirectionalLight", 10, 0x400, 7, 37, 1, "direction", "0 0 -1", nullptr,
     "Orientation of light relative to local coordinate system. Hint. animate direction to "
     "simulate time-of-day sunlight effects."},
    {"DirectionalLight", 11, 0x800, 7, 1, 1, "global", "FALSE", nullptr, globalLowerCase},

    {"EnvironmentLight", 10, 0x400, 7, 23, 1, "envTexture", nullptr, "Texture",
     "The environment texture that is used for extracting light sources."},
    {"EnvironmentLight", 11, 0x800, 7, 13, 9, "numLights", "2", nullptr,
     "The (maximum) number of lights that are generated."},
    {"EnvironmentLight", 12, 0x1000, 7, 1, 1, "global", "TRUE", nullptr,
     "Indicates if the light is global (influences all elements in the scene) or local (only the "
     "children of the parent node)."},
    {"EnvironmentLight", 13, 0x2000, 1, 24, 11, "_lights", nullptr, nullptr,
     "The generated light nodes."},

    {"PointLight", 10, 0x400, 7, 37, 1, "attenuation", "1 0 0", nullptr, attenuationText},
    {"PointLight", 11, 0x800, 7, 37, 1, "location", "0 0 0", nullptr, locationText},
    {"PointLight", 12, 0x1000, 7, 9, 1, "radius", "100", nullptr, radiusText},
    {"PointLight", 13, 0x2000, 7, 1, 1, "global", "TRUE", nullptr, globalLowerCase},

    {"SpotLight", 10, 0x400, 7, 37, 1, "attenuation", "1 0 0", nullptr, attenuationText},
    {"SpotLight", 11, 0x800, 7, 9, 1, "beamWidth", "1.570796", nullptr,
     "(NOT IMPLEMENTED YET) Inner solid angle (in radians) where light source has uniform full "
     "intensity if beamWidth greater then; cutOffAngle, beamWidth reset to equal cutOffAngle."},
    {"SpotLight", 12, 0x1000, 7, 9, 1, "cutOffAngle", "0.785398", nullptr,
     "Outer solid angle (in radians) where light source intensity becomes zero if beamWidth "
     "greater then; cutOffAngle, beamWidth reset to equal cutOffAngle."},
    {"SpotLight", 13, 0x2000, 7, 37, 1, "direction", "0 0 -1", nullptr,
     "Orientation of light relative to local coordinate system."},
    {"SpotLight", 14, 0x4000, 7, 37, 1, "location", "0 0 0", nullptr, locationText},
    {"SpotLight", 15, 0x8000, 7, 9, 1, "radius", "100", nullptr, radiusText},
    {"SpotLight", 16, 0x10000, 7, 1, 1, "global", "TRUE", nullptr, globalLowerCase},
};

void expectText(const char* actual, const char* expected, const char* what)
{
    if (expected == nullptr)
        EXPECT_EQ(actual, nullptr) << what;
    else
        EXPECT_STREQ(actual, expected) << what;
}

TEST_F(NodePoolLoadTest, TypeRecordsAndDescriptorTablesHoldTheDocumentedValues)
{
    ASSERT_TRUE(load());
    for (const RecordRow& record : records) {
        SCOPED_TRACE(record.name);
        NodeType* type = NodeTypeNameSpace::findType(theSceneNodeTypeFactory(), record.name,
                                                     SearchCaseSensitive);
        ASSERT_NE(type, nullptr);
        EXPECT_STREQ(type->getPool(), "LightingNodePool");
        EXPECT_STREQ(type->getParentName(), record.parent);
        EXPECT_NE(type->getParentType(), nullptr); // found by name in the same registry
        EXPECT_EQ(type->getContainerField(), nullptr);
        EXPECT_EQ(type->getProfile(), nullptr);
        EXPECT_STREQ(type->getComponent(), "Lighting");
        EXPECT_EQ(type->getComponentLevel(), nullptr);
        EXPECT_STREQ(type->getStatus(), record.status);
        EXPECT_STREQ(type->getDescription(), record.description);
        EXPECT_STREQ(type->getStandard(), record.standard);
        EXPECT_FALSE(type->isInternal());
        EXPECT_FALSE(type->isDeprecated());
        EXPECT_NE(type->getIsType(), nullptr);
        EXPECT_EQ(type->getCreateNode() != nullptr, record.hasNodeFactory);
        EXPECT_EQ(type->getCreateProc() != nullptr, record.hasProcFactory);
        ASSERT_EQ(type->getNumDesc(), record.rows);

        // The table holds the class's rows in field order.
        unsigned position = 0;
        for (const FieldRow& row : fieldRows) {
            if (std::strcmp(row.type, record.name) != 0)
                continue;
            SCOPED_TRACE(row.name);
            ASSERT_LT(position, record.rows);
            const NodePartDesc& desc = type->getDesc()[position++];
            EXPECT_EQ(desc.getIndex(), row.index);
            EXPECT_EQ(desc.getMask().value(), row.mask);
            EXPECT_EQ(unsigned(desc.getPartType()), row.partType);
            EXPECT_EQ(unsigned(desc.getDataType()), row.dataType);
            EXPECT_EQ(desc.getFlags(), row.flags);
            EXPECT_STREQ(desc.getName(), row.name);
            EXPECT_EQ(desc.getUnused(), nullptr);
            expectText(desc.getDefault(), row.defaultText, "default");
            expectText(desc.getConstraint(), row.constraint, "constraint");
            EXPECT_STREQ(desc.getDescription(), row.description);
            EXPECT_EQ(desc.getZero(), 0u);
        }
        EXPECT_EQ(position, record.rows);
    }
}

// The field table above fixes every mask of the pool; the host's base classes (up to
// VisualEffector) must keep to the bits below Light's first field.
TEST_F(NodePoolLoadTest, BaseClassMasksStayBelowTheLightFields)
{
    ASSERT_TRUE(load());
    for (const char* base : {"SceneBaseNode", "UnboundedNode", "VisualEffector"}) {
        NodeType* type =
            NodeTypeNameSpace::findType(theSceneNodeTypeFactory(), base, SearchCaseSensitive);
        ASSERT_NE(type, nullptr) << base;
        for (unsigned i = 0; i < type->getNumDesc(); ++i)
            EXPECT_EQ(type->getDesc()[i].getMask().value() & ~0x7ull, 0u)
                << base << "." << type->getDesc()[i].getName();
    }
}

// ---------------------------------------------------------------------------------------------
// Nodes made by type name hold the documented defaults of their own and of Light's rows, read
// back as text (no default text: an empty node field).

TEST_F(NodePoolLoadTest, NodesCreatedByTypeNameHoldTheirDefaults)
{
    ASSERT_TRUE(load());
    for (const char* typeName :
         {"DirectionalLight", "EnvironmentLight", "PointLight", "SpotLight"}) {
        SCOPED_TRACE(typeName);
        RefPtr<Node> node(theSceneNodeTypeFactory().createNode(typeName, nullptr, "made"));
        ASSERT_TRUE(node);
        EXPECT_STREQ(node->getTypeName(), typeName);
        EXPECT_EQ(node->findField("on", SearchDerivedFirst)->getValueString(), "TRUE");
        for (const FieldRow& row : fieldRows) {
            if (std::strcmp(row.type, "Light") != 0 && std::strcmp(row.type, typeName) != 0)
                continue;
            const Field* field = node->findField(row.name, SearchDerivedFirst);
            ASSERT_NE(field, nullptr) << row.name;
            const char* empty = row.dataType == 24 ? "[]" : "NULL";
            EXPECT_EQ(field->getValueString(), row.defaultText ? row.defaultText : empty)
                << row.name;
        }
    }
    // The abstract base makes no nodes.
    EXPECT_EQ(theSceneNodeTypeFactory().createNode("Light", nullptr, nullptr), nullptr);
}

} // namespace
