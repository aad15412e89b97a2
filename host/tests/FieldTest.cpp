// Field values from X3D classic-encoding text: row defaults at registration, user text,
// node fields and their type checks.

#include "HostTestNodes.h"

#include <morvekBase/ClassicEncoding.h>
#include <morvekBase/NodeTypeNameSpace.h>
#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekBase/SFString.h>
#include <morvekCoreNodePool/Group.h>
#include <morvekShapeNodePool/Texture.h>

#include <osgTestSupport/LogCapture.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <utility>
#include <vector>

using namespace Morvek;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

constexpr unsigned probeIndex = 20;

// A field object of the given class with a recognisable placeholder value.
std::unique_ptr<Field> makeProbe(Node& node, NodePartDataType type)
{
    using F = std::unique_ptr<Field>;
    const std::map<NodePartDataType, std::function<F()>> make = {
        {DataSFBool, [&] { return F(new SFBool(node, true)); }},
        {DataSFInt32, [&] { return F(new SFInt32(node, 42)); }},
        {DataSFFloat, [&] { return F(new SFFloat(node, 0.5f)); }},
        {DataSFColor, [&] { return F(new SFColor(node, osg::Color3f(0.25f, 0.25f, 0.25f))); }},
        {DataSFVec3f, [&] { return F(new SFVec3f(node, osg::Vec3f(9, 9, 9))); }},
        {DataMFString, [&] { return F(new MFString(node, std::vector<std::string>{"keep"})); }},
        {DataSFString, [&] { return F(new SFString(node, "keep")); }},
        {DataSFNode, [&] { return F(new SFNode(node, nullptr)); }},
        {DataMFNode, [&] { return F(new MFNode(node, nullptr)); }},
    };
    return make.at(type)();
}

struct DefaultRow {
    const char* name;
    NodePartDataType type;
    const char* text;
    const char* constraint;
    const char* value; // expected value text; the placeholder's when the default is refused
    bool refused;
};

const DefaultRow defaultRows[] = {
    {"bool FALSE with blanks", DataSFBool, " FALSE\n", nullptr, "FALSE", false},
    {"bool lower case", DataSFBool, "false", nullptr, "TRUE", true},
    {"int plus sign", DataSFInt32, "+5", nullptr, "5", false},
    {"int hexadecimal", DataSFInt32, "0x1F", nullptr, "31", false},
    {"int too large", DataSFInt32, "4294967296", nullptr, "42", true},
    {"int within range", DataSFInt32, "100", "[0,100]", "100", false},
    {"int above range", DataSFInt32, "101", "[0,100]", "42", true},
    {"float exponent", DataSFFloat, "1e-3", nullptr, "0.001", false},
    {"float trailing junk", DataSFFloat, "1.5x", nullptr, "0.5", true},
    {"float nan", DataSFFloat, "nan", nullptr, "0.5", true},
    {"float above range", DataSFFloat, "1.5", "[0,1]", "0.5", true},
    {"color above one", DataSFColor, "1 1 2", nullptr, "0.25 0.25 0.25", true},
    {"vec3 plus signs", DataSFVec3f, "+1 -2 +3e2", nullptr, "1 -2 300", false},
    {"vec3 word", DataSFVec3f, "0 0 x", nullptr, "9 9 9", true},
    {"strings", DataMFString, "\"a\" \"b c\"", nullptr, "[\"a\" \"b c\"]", false},
    {"strings bracketed", DataMFString, "[ \"x\\\"y\" ]", nullptr, "[\"x\\\"y\"]", false},
    {"strings unterminated", DataMFString, "\"a", nullptr, "[\"keep\"]", true},
    {"string", DataSFString, " \"one\" ", nullptr, "\"one\"", false},
    {"string two", DataSFString, "\"one\" \"two\"", nullptr, "\"keep\"", true},
    {"node NULL", DataSFNode, "NULL", nullptr, "NULL", false},
    {"node name", DataSFNode, "Group", nullptr, "NULL", true},
    {"nodes name", DataMFNode, "[ x ]", nullptr, "[]", true},
};

TEST(Field, RegisteredFieldTakesItsRowDefaultOrKeepsThePlaceholder)
{
    RefPtr<HostTestNode> node(HostTestNode::create());
    for (const DefaultRow& row : defaultRows) {
        SCOPED_TRACE(row.name);
        NodeTypeNameSpace ns("probe");
        NodePartDesc desc[] = {testRow(probeIndex, row.type, "probe", row.text, row.constraint)};
        const auto type = makeTestType(ns, "Probe", "Tests", nullptr, desc, 1);
        // The second field made from the same row must get the same result as the first.
        for (int round = 1; round <= 2; ++round) {
            std::unique_ptr<Field> field = makeProbe(*node, row.type);
            osgTestSupport::LogCapture capture;
            node->regField(*field, *type, probeIndex, true);
            EXPECT_EQ(node->getField(probeIndex), field.get()) << "round " << round;
            EXPECT_EQ(field->getValueString(), row.value) << "round " << round;
            if (row.refused) {
                const std::string message = "Field HostTestNode/" + node->getIDStr() +
                                            ".probe: default \"" + row.text + "\" is not a valid " +
                                            field->getClassName() + "; keeping the placeholder";
                EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr(message))) << round;
            } else {
                EXPECT_EQ(capture.text(), "") << "round " << round;
            }
            node->unregField(probeIndex);
            EXPECT_EQ(field->getDesc(), nullptr) << "round " << round;
        }
    }
}

// Lists of floats are read whole or not at all, each number correctly rounded (the compiler's
// own conversion is the oracle), bit for bit.
TEST(ClassicEncoding, FloatListsAreReadExactlyAndAllOrNothing)
{
    struct Row {
        const char* text;
        unsigned count;
        bool ok;
        std::vector<float> expected; // the whole output afterwards
    };
    const std::vector<float> untouched(6, 7.f);
    auto one = [&](float value) { return std::vector<float>{value, 7.f, 7.f, 7.f, 7.f, 7.f}; };
    const Row rows[] = {
        {"1.570796", 1, true, one(1.570796f)},
        {"-0", 1, true, one(-0.f)},
        {"3.4028235e38", 1, true, one(3.4028235e38f)},
        {"1e-45", 1, true, one(1e-45f)},
        {"1, 2 ,3", 3, true, {1.f, 2.f, 3.f, 7.f, 7.f, 7.f}}, // commas count as spaces
        {"1 2 x", 3, false, untouched},
        {"1 2 3 4", 3, false, untouched},
        {"1 2 3 4 5", 6, false, untouched},
    };
    for (const Row& row : rows) {
        std::vector<float> out = untouched;
        EXPECT_EQ(ClassicEncoding::parseFloats(row.text, out.data(), row.count), row.ok)
            << row.text;
        EXPECT_EQ(std::memcmp(out.data(), row.expected.data(), sizeof(float) * 6), 0) << row.text;
    }
}

TEST(ClassicEncoding, FormattedFloatsReadBackToTheSameBits)
{
    std::mt19937 random(12345);
    std::uniform_int_distribution<uint32_t> bits;
    for (int i = 0; i < 20000; ++i) {
        uint32_t pattern = bits(random);
        float value;
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value))
            continue;
        const std::string text = ClassicEncoding::formatFloat(value);
        float back = 0.f;
        ASSERT_TRUE(ClassicEncoding::parseFloats(text.c_str(), &back, 1)) << text;
        ASSERT_EQ(std::memcmp(&value, &back, sizeof value), 0) << text;
    }
}

TEST(Field, RegistrationMistakesAreReportedAndBindNothing)
{
    RefPtr<HostTestNode> node(HostTestNode::create());
    const std::string id = "Node HostTestNode/" + node->getIDStr();
    auto expectRefused = [&](Field& field, unsigned index, const std::string& message) {
        osgTestSupport::LogCapture capture;
        node->regField(field, HostTestNode::classType(), index, true);
        EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr(id + message)));
        EXPECT_EQ(field.getDesc(), nullptr);
    };
    SFFloat extra(*node, 0.5f);
    expectRefused(extra, 99,
                  ": type HostTestNode has no field row with index 99; field not "
                  "registered");
    expectRefused(extra, HostTestNode::levelIndex,
                  ": field index 5 is already registered (level); level not registered");
    node->unregField(HostTestNode::levelIndex);
    SFBool wrongClass(*node, false);
    expectRefused(wrongClass, HostTestNode::levelIndex,
                  ": row 5 (level) of type HostTestNode has data type 9, the field object is a "
                  "SFBool; not registered");
    EXPECT_EQ(node->getField(HostTestNode::levelIndex), nullptr);
    node->regField(node->level(), HostTestNode::classType(), HostTestNode::levelIndex, true);
}

TEST(Field, UserTextIsCheckedStoredAndAnnounced)
{
    RefPtr<HostTestNode> node(HostTestNode::create());
    Runtime::instance().update(1.0);
    RecordingProc* proc = node->getRecordingProc();
    proc->masks.clear();
    const std::string id = "HostTestNode/" + node->getIDStr();
    struct Row {
        const char* name;
        Field* field;
        const char* text;
        const char* message; // empty: accepted
        const char* valueAfter;
    };
    const Row rows[] = {
        {"float in range", &node->level(), "0.75", "", "0.75"},
        {"float out of range", &node->level(), "2",
         ".level: \"2\" is not a valid SFFloat in [0,1]; value unchanged", "0.75"},
        {"int out of range", &node->count(), "-1",
         ".count: \"-1\" is not a valid SFInt32 in [0,100]; value unchanged", "7"},
        {"bool", &node->flag(), "FALSE", "", "FALSE"},
        {"vec3 bad", &node->offset(), "1 2",
         ".offset: \"1 2\" is not a valid SFVec3f; value unchanged", "0 0 -1"},
        {"null text", &node->tint(), nullptr,
         ".tint: \"(null)\" is not a valid SFColor; value unchanged", "1 0.5 0"},
    };
    FieldMask announced;
    for (const Row& row : rows) {
        osgTestSupport::LogCapture capture;
        const bool ok = row.field->setFromString(row.text);
        EXPECT_EQ(ok, row.message[0] == '\0') << row.name;
        EXPECT_EQ(row.field->getValueString(), row.valueAfter) << row.name;
        if (ok) {
            EXPECT_EQ(capture.text(), "") << row.name;
            EXPECT_EQ(row.field->getLastCaller(), CallerUser) << row.name;
            announced |= row.field->getMask();
        } else {
            EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr("Field " + id + row.message)))
                << row.name;
        }
    }
    Runtime::instance().update(2.0);
    ASSERT_EQ(proc->masks.size(), 1u);
    EXPECT_EQ(proc->masks[0], announced);
}

TEST(SFNode, ConstraintNamesTheAcceptedNodeType)
{
    RefPtr<HostTestNode> node(HostTestNode::create("holder"));
    RefPtr<Texture> texture(Texture::create("tex"));
    RefPtr<Group> group(Group::create("grp"));

    osgTestSupport::LogCapture capture;
    EXPECT_FALSE(node->texture().setNode(group.get()));
    EXPECT_THAT(capture.lines(),
                ElementsAre(HasSubstr("Field HostTestNode/holder.texture accepts Texture nodes, "
                                      "not Group/grp; value unchanged")));
    EXPECT_EQ(node->texture().getNode(), nullptr);
    EXPECT_EQ(group->getRefCount(), 1);

    EXPECT_TRUE(node->texture().setNode(texture.get()));
    EXPECT_EQ(texture->getRefCount(), 2); // the RefPtr and the link
    EXPECT_THAT(texture->getParents(), ElementsAre(node.get()));
    EXPECT_TRUE(node->texture().setNode(nullptr));
    EXPECT_EQ(texture->getRefCount(), 1);
    EXPECT_TRUE(texture->getParents().empty());
}

TEST(MFNode, ChildrenHoldReferencesAndRestrictionsRefuseOthers)
{
    RefPtr<Group> group(Group::create("grp"));
    RefPtr<Texture> texture(Texture::create("tex"));
    {
        osgTestSupport::LogCapture capture;
        EXPECT_EQ(group->children().addChild(texture.get()), nullptr);
        EXPECT_EQ(group->children().addChild(nullptr), nullptr);
        EXPECT_THAT(capture.lines(),
                    ElementsAre(HasSubstr("Field Group/grp.children accepts SceneBaseNode nodes, "
                                          "not Texture/tex; node not added"),
                                HasSubstr("Field Group/grp.children: a null node cannot be "
                                          "added")));
    }
    std::vector<HostTestNode*> kids;
    for (int i = 0; i < 3; ++i) {
        kids.push_back(HostTestNode::create(("k" + std::to_string(i)).c_str()));
        ASSERT_NE(group->children().addChild(kids.back()), nullptr);
    }
    RefPtr<HostTestNode> keep(kids[1]);
    EXPECT_EQ(group->children().size(), 3u);
    EXPECT_EQ(group->children().findChild(kids[2]), 2);
    EXPECT_FALSE(group->children().removeChild(3));
    EXPECT_TRUE(group->children().removeChild(0)); // k0 had only this reference: gone
    EXPECT_EQ(group->children().getNode(0), kids[1]);
    EXPECT_EQ(keep->getRefCount(), 2);
    group->children().clear();
    EXPECT_EQ(group->children().size(), 0u);
    EXPECT_EQ(keep->getRefCount(), 1);
    EXPECT_TRUE(keep->getParents().empty());
}

TEST(Node, FindFieldByNameDerivedFirst)
{
    RefPtr<HostTestNode> node(HostTestNode::create());
    EXPECT_EQ(node->findField("level", SearchDerivedFirst), &node->level());
    EXPECT_EQ(node->findField("global", SearchDerivedFirst), nullptr);
    EXPECT_EQ(node->findField(nullptr, SearchDerivedFirst), nullptr);

    // A second field named "level" with a higher index: the order decides which one is found.
    NodeTypeNameSpace ns("probe");
    NodePartDesc desc[] = {testRow(probeIndex, DataSFFloat, "level", "1")};
    const auto type = makeTestType(ns, "Probe", "Tests", nullptr, desc, 1);
    SFFloat shadow(*node, 0.f);
    node->regField(shadow, *type, probeIndex, true);
    EXPECT_EQ(node->findField("level", SearchDerivedFirst), &shadow);
    EXPECT_EQ(node->findField("level", SearchBaseFirst), &node->level());
    node->unregField(probeIndex);
}

} // namespace
