// Change dispatch and the processor life cycle as the host drives them.

#include "HostTestNodes.h"

#include <morvekBase/RefPtr.h>
#include <morvekBase/Runtime.h>
#include <morvekCoreNodePool/Scene.h>

#include <osgTestSupport/LogCapture.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace Morvek;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// Bits of HostTestNode's registered fields: metadata 0, on 1, then 3 to 10 (index 2 is free).
constexpr unsigned long long allTestFields = 0x7FB;

class Dispatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        Runtime::instance().update(0.0); // nothing left over from another test
        RecordingProc::journal().clear();
    }
    static std::vector<std::string> journal() { return RecordingProc::journal(); }
};

TEST_F(Dispatch, NewNodeIsSetUpInitializedAndReportedInFullOnce)
{
    RefPtr<HostTestNode> node(HostTestNode::create("n"));
    RecordingProc* proc = node->getRecordingProc();
    ASSERT_NE(proc, nullptr);
    EXPECT_THAT(journal(), ElementsAre("n:setup", "n:initialize"));
    EXPECT_EQ(node->_status, Node::statusFirstUpdate);

    EXPECT_EQ(Runtime::instance().update(3.5), 1u);
    EXPECT_THAT(journal(), ElementsAre("n:setup", "n:initialize", "n:nodeChanged 0x7fb status=1"));
    EXPECT_EQ(proc->masks.at(0).value(), allTestFields);
    EXPECT_EQ(proc->times.at(0), 3.5);
    EXPECT_EQ(node->_status, 0u);
    EXPECT_EQ(Runtime::instance().update(4.0), 0u);
    EXPECT_EQ(journal().size(), 3u);
}

TEST_F(Dispatch, ChangesBetweenUpdatesArriveAsOneMaskedCall)
{
    RefPtr<HostTestNode> node(HostTestNode::create());
    Runtime::instance().update(0.0);
    RecordingProc* proc = node->getRecordingProc();
    // The mask of the one call the next update delivers (all bits when it is not one call).
    auto delivered = [&] {
        proc->masks.clear();
        EXPECT_EQ(Runtime::instance().update(1.0), 1u);
        return proc->masks.size() == 1 ? proc->masks[0].value() : ~0ull;
    };
    proc->masks.clear();
    node->level().setValue(0.1f);
    node->level().setValue(0.2f);
    EXPECT_TRUE(proc->masks.empty()) << "delivered before the update";
    EXPECT_EQ(delivered(), 0x20u) << "the same field twice";
    node->on().setValue(false);
    node->tint().setValue(osg::Color3f(0, 1, 0));
    node->names().setValue({"x"});
    EXPECT_EQ(delivered(), 0x2u | 0x40u | 0x400u);
    node->flag().setValue(node->flag().getValue());
    EXPECT_EQ(delivered(), 0x8u) << "an unchanged value is still a change";
    node->offset().processValueChange(0.0, CallerRoute);
    EXPECT_EQ(delivered(), 0x80u);
}

TEST_F(Dispatch, ChangesMadeDuringADeliveryFollowInTheSameUpdate)
{
    RefPtr<HostTestNode> a(HostTestNode::create("a"));
    RefPtr<HostTestNode> b(HostTestNode::create("b"));
    Runtime::instance().update(0.0);
    // a reacts to its level by changing its own tint and b's count.
    a->getRecordingProc()->onNodeChanged = [&](const FieldMask& mask) {
        if ((mask & FieldMask::bit(HostTestNode::levelIndex)).any()) {
            a->tint().setValue(osg::Color3f(0, 0, 1));
            b->count().setValue(3);
        }
    };
    RecordingProc::journal().clear();
    a->level().setValue(1.f);
    EXPECT_EQ(Runtime::instance().update(2.0), 3u);
    EXPECT_THAT(journal(), ElementsAre("a:nodeChanged 0x20 status=0", "a:nodeChanged 0x40 status=0",
                                       "b:nodeChanged 0x10 status=0"));
}

TEST_F(Dispatch, AChangeCycleStopsAfterTheRoundLimit)
{
    RefPtr<HostTestNode> node(HostTestNode::create("looper"));
    Runtime::instance().update(0.0);
    node->getRecordingProc()->onNodeChanged = [&](const FieldMask&) {
        node->level().setValue(0.5f);
    };
    node->level().setValue(0.5f);
    osgTestSupport::LogCapture capture;
    EXPECT_EQ(Runtime::instance().update(1.0), Runtime::maxUpdateRounds);
    EXPECT_THAT(capture.lines(),
                ElementsAre(HasSubstr("update(1) did not settle after 64 rounds; 1 nodes wait "
                                      "for the next update")));
    EXPECT_TRUE(Runtime::instance().hasPendingUpdates());
    node->getRecordingProc()->onNodeChanged = nullptr;
    EXPECT_EQ(Runtime::instance().update(1.0), 1u);
}

TEST_F(Dispatch, NodesDestroyedWhileQueuedAreNotDelivered)
{
    // "gone" is released before the update; "victim", held only by "killer"'s items and
    // queued after it, is released by killer's delivery in the same round.
    HostTestNode* gone = HostTestNode::create("gone");
    gone->addRef();
    RefPtr<HostTestNode> killer(HostTestNode::create("killer"));
    HostTestNode* victim = HostTestNode::create("victim");
    killer->items().addChild(victim);
    killer->getRecordingProc()->onNodeChanged = [&](const FieldMask&) { killer->items().clear(); };
    RecordingProc::journal().clear();

    gone->level().setValue(0.1f);
    gone->subRef();
    EXPECT_EQ(Runtime::instance().update(1.0), 1u);
    EXPECT_THAT(journal(),
                ElementsAre("gone:shutdown", "gone:dispose", "killer:nodeChanged 0x7fb status=1",
                            "killer:childRemoved items victim", "victim:parentRemoved killer",
                            "victim:shutdown", "victim:dispose"));
}

TEST_F(Dispatch, LifeCycleThroughASceneFollowsTheHostOrder)
{
    RefPtr<Scene> scene(Scene::create("scene"));
    RefPtr<HostTestNode> node(HostTestNode::create("n"));
    Runtime::instance().update(1.0);
    RecordingProc::journal().clear();

    scene->children().addChild(node.get());
    node->level().setValue(0.75f);
    Runtime::instance().update(2.0);
    scene->children().removeChild(0);
    EXPECT_FALSE(node->isLive());
    scene->children().addChild(node.get()); // comes back: reported in full again
    EXPECT_EQ(node->_status, Node::statusReattached);
    Runtime::instance().update(3.0);
    scene->children().clear();
    node.reset();

    EXPECT_THAT(journal(),
                ElementsAre("n:parentAdded scene", "n:attach", "n:nodeChanged 0x20 status=0",
                            "n:detach", "n:parentRemoved scene", "n:parentAdded scene", "n:attach",
                            "n:nodeChanged 0x7fb status=2", "n:detach", "n:parentRemoved scene",
                            "n:shutdown", "n:dispose"));
}

TEST_F(Dispatch, LinkedNodesJoinAfterAndLeaveBeforeTheirParent)
{
    RefPtr<Scene> scene(Scene::create("scene"));
    RefPtr<HostTestNode> parent(HostTestNode::create("p"));
    RefPtr<HostTestNode> child(HostTestNode::create("c"));
    RefPtr<HostTestNode> grandchild(HostTestNode::create("g"));
    parent->items().addChild(child.get());
    child->items().addChild(grandchild.get());
    Runtime::instance().update(0.0);
    RecordingProc::journal().clear();

    scene->children().addChild(parent.get());
    EXPECT_TRUE(grandchild->isLive());
    EXPECT_EQ(grandchild->getLiveRoot(), scene.get());
    EXPECT_EQ(grandchild->getRecordingProc()->getScene(), scene.get());
    scene->children().removeChild(0);
    EXPECT_FALSE(grandchild->isLive());
    EXPECT_THAT(journal(),
                ElementsAre("p:parentAdded scene", "p:attach", "c:attach", "g:attach", "g:detach",
                            "c:detach", "p:detach", "p:parentRemoved scene"));

    // A node linked twice into the scene stays attached until its last live link goes.
    scene->children().addChild(child.get());
    scene->children().addChild(parent.get());
    RecordingProc::journal().clear();
    scene->children().removeChild(0);
    EXPECT_TRUE(child->isLive());
    scene->children().clear();
    EXPECT_FALSE(child->isLive());
    EXPECT_THAT(journal(), ElementsAre("c:parentRemoved scene", "g:detach", "c:detach", "p:detach",
                                       "p:parentRemoved scene"));
}

TEST_F(Dispatch, ANodeBelongsToOneSceneAtATime)
{
    RefPtr<Scene> first(Scene::create("first"));
    RefPtr<Scene> second(Scene::create("second"));
    RefPtr<HostTestNode> node(HostTestNode::create("n"));
    first->children().addChild(node.get());
    osgTestSupport::LogCapture capture;
    NodeLink* link = second->children().addChild(node.get());
    ASSERT_NE(link, nullptr);
    EXPECT_FALSE(link->isLive());
    EXPECT_EQ(node->getLiveRoot(), first.get());
    EXPECT_THAT(capture.lines(),
                ElementsAre(HasSubstr("Node HostTestNode/n is already part of scene Scene/first; "
                                      "it does not join Scene/second")));
    second->children().clear();
    EXPECT_TRUE(node->isLive());
    first->children().clear();
    EXPECT_FALSE(node->isLive());
}

TEST_F(Dispatch, ParentsHearOfTheirChildrensUpdates)
{
    RefPtr<HostTestNode> parent(HostTestNode::create("p"));
    RefPtr<HostTestNode> child(HostTestNode::create("c"));
    parent->items().addChild(child.get());
    Runtime::instance().update(0.0);
    RecordingProc::journal().clear();
    child->count().setValue(1);
    Runtime::instance().update(1.0);
    EXPECT_THAT(journal(), ElementsAre("c:nodeChanged 0x10 status=0", "p:childChanged c 0x10"));
}

} // namespace
