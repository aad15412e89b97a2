// Fields added to a node at run time through its processor, and merging field values.

#include "HostTestNodes.h"

#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/Group.h>

#include <osgTestSupport/LogCapture.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Morvek;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

TEST(NodeProc, DynamicFieldsAreAddedFoundAndRemoved)
{
    RefPtr<HostTestNode> node(HostTestNode::create("dyn"));
    NodeProc& proc = *node->getProc();
    struct Row {
        const char* name;
        NodePartDesc row;
        const char* value;   // value text of the new field; null: no field
        const char* message; // expected log line, or ""
    };
    const Row rows[] = {
        {"float with default", testRow(30, DataSFFloat, "gain", "2.5"), "2.5", ""},
        {"bad default keeps the placeholder", testRow(31, DataSFVec3f, "axis", "1 2"), "0 0 0",
         "Field HostTestNode/dyn.axis: default \"1 2\" is not a valid SFVec3f; keeping the "
         "placeholder"},
        {"name of a registered field", testRow(32, DataSFFloat, "level"), nullptr,
         "Node HostTestNode/dyn: a field named \"level\" exists already or the name is empty; "
         "no field added"},
        {"data type without field class", testRow(33, DataSFRotation, "turn"), nullptr,
         "Node HostTestNode/dyn: no field class for data type 25 of \"turn\"; no field added"},
    };
    for (const Row& row : rows) {
        osgTestSupport::LogCapture capture;
        Field* field = proc.addNodePart(row.row);
        SCOPED_TRACE(row.name);
        if (row.value) {
            ASSERT_NE(field, nullptr);
            EXPECT_EQ(field->getValueString(), row.value);
            EXPECT_EQ(proc.findField(row.row.getName()), field);
            EXPECT_EQ(&field->getOwner(), node.get());
        } else {
            EXPECT_EQ(field, nullptr);
        }
        if (row.message[0])
            EXPECT_THAT(capture.lines(), ElementsAre(HasSubstr(row.message)));
        else
            EXPECT_EQ(capture.text(), "");
    }
    // The registered fields stay reachable through the processor as well.
    EXPECT_EQ(proc.findField("level"), &node->level());

    // A dynamic field announces with its own mask bit.
    Runtime::instance().update(0.0);
    RecordingProc* recorder = node->getRecordingProc();
    recorder->masks.clear();
    ASSERT_TRUE(proc.findField("gain")->setFromString("3"));
    Runtime::instance().update(1.0);
    ASSERT_EQ(recorder->masks.size(), 1u);
    EXPECT_EQ(recorder->masks[0].value(), 1ull << 30);

    // The typed form has no row index and so no mask bit: nothing is queued.
    Field* note = proc.addNodePart("note", DataSFString, PartField);
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->setFromString("\"hello\""));
    EXPECT_FALSE(Runtime::instance().hasPendingUpdates());

    EXPECT_TRUE(proc.removeNodePart("gain"));
    EXPECT_FALSE(proc.removeNodePart("gain"));
    EXPECT_FALSE(proc.removeNodePart("level")); // registered fields are the node's
    EXPECT_EQ(proc.findField("gain"), nullptr);
}

TEST(NodeProc, MergeCopiesValuesOfFieldsSharedByNameAndClass)
{
    RefPtr<HostTestNode> source(HostTestNode::create("src"));
    RefPtr<HostTestNode> target(HostTestNode::create("dst"));
    RefPtr<Group> item(Group::create("item"));
    source->level().storeValue(0.125f);
    source->tint().storeValue(osg::Color3f(0, 1, 0));
    source->names().storeValue({"x", "y"});
    source->items().addChild(item.get());
    source->on().storeValue(false);

    // All ten registered fields are shared (metadata, on and eight test fields).
    EXPECT_EQ(target->getProc()->mergeNode(*source), 10u);
    EXPECT_EQ(target->level().getValue(), 0.125f);
    EXPECT_EQ(target->tint().getValue(), osg::Color3f(0, 1, 0));
    EXPECT_THAT(target->names().getValue(), ElementsAre("x", "y"));
    EXPECT_FALSE(target->on().getValue());
    ASSERT_EQ(target->items().size(), 1u);
    EXPECT_EQ(target->items().getNode(0), item.get());
    EXPECT_EQ(item->getParents().size(), 2u);

    // A group shares only metadata with a test node.
    RefPtr<Group> group(Group::create());
    EXPECT_EQ(group->getProc()->mergeNode(*source), 1u);
    EXPECT_EQ(target->getProc()->mergeNode(*target), 0u);
}

} // namespace
