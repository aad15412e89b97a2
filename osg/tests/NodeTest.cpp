#include "OsgTest.h"

#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGNode.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGTransform.h>

#include <osgTestSupport/LogCapture.h>

#include <string>
#include <utility>
#include <vector>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::LogCapture;

namespace {
// A parent with children c[0], c[1], c[2] and a spare node; the test holds one reference on
// each (and on whatever else it passes through hold()).
class NodeTest : public OsgTest {
public:
    void SetUp() override
    {
        OsgTest::SetUp();
        parent = hold(Node::create());
        for (NodePtr& child : c)
            parent->addChild(child = hold(Node::create()));
        spare = hold(Node::create());
    }
    void TearDown() override
    {
        for (NodePtr p : held)
            subRefCP(p);
        held.clear();
        OsgTest::TearDown();
    }
    NodePtr hold(NodePtr p)
    {
        addRefCP(p);
        held.push_back(p);
        return p;
    }
    // The parent's children as indices into c (3 = spare, -1 = other).
    std::vector<int> order() const
    {
        std::vector<int> result;
        for (UInt32 i = 0; i < parent->getNChildren(); ++i) {
            const NodePtr child = parent->getChild(i);
            result.push_back(child == spare ? 3 : -1);
            for (int k = 0; k < 3; ++k)
                if (child == c[k])
                    result.back() = k;
        }
        return result;
    }

    NodePtr parent, c[3], spare;
    std::vector<NodePtr> held;
};

// Tree edits: the resulting child order, and the warning for bad input (empty: no output).
TEST_F(NodeTest, ChildEditsGiveTheExpectedOrderAndMessages)
{
    struct Row {
        const char* name;
        void (*run)(NodeTest&);
        std::vector<int> order;
        const char* warning;
    };
    const std::vector<int> same = {0, 1, 2};
    const Row rows[] = {
        {"insert first", [](NodeTest& t) { t.parent->insertChild(0, t.spare); }, {3, 0, 1, 2}, ""},
        {"move forward", [](NodeTest& t) { t.parent->insertChild(0, t.c[2]); }, {2, 0, 1}, ""},
        {"move backward", [](NodeTest& t) { t.parent->insertChild(3, t.c[0]); }, {1, 2, 0}, ""},
        {"re-add", [](NodeTest& t) { t.parent->addChild(t.c[0]); }, {1, 2, 0}, ""},
        {"move to another parent", [](NodeTest& t) { t.spare->addChild(t.c[1]); }, {0, 2}, ""},
        {"replace", [](NodeTest& t) { t.parent->replaceChild(1, t.spare); }, {0, 3, 2}, ""},
        {"replace by a sibling",
         [](NodeTest& t) { t.parent->replaceChild(2, t.c[0]); },
         {1, 0},
         ""},
        {"replaceChildBy",
         [](NodeTest& t) {
             EXPECT_TRUE(t.parent->replaceChildBy(t.c[0], t.spare));
             EXPECT_FALSE(t.parent->replaceChildBy(t.c[0], t.c[1])) << "c0 is gone";
         },
         {3, 1, 2},
         ""},
        {"sub by pointer", [](NodeTest& t) { t.parent->subChild(t.c[1]); }, {0, 2}, ""},
        {"sub by index", [](NodeTest& t) { t.parent->subChild(0u); }, {1, 2}, ""},
        {"insert beyond the end", [](NodeTest& t) { t.parent->insertChild(5, t.spare); }, same,
         "WARNING:  Node::insertChild: index 5 out of range (3 children)"},
        {"replace beyond the end", [](NodeTest& t) { t.parent->replaceChild(3, t.spare); }, same,
         "WARNING:  Node::replaceChild: index 3 out of range (3 children)"},
        {"sub beyond the end", [](NodeTest& t) { t.parent->subChild(7u); }, same,
         "WARNING:  Node::subChild: index 7 out of range (3 children)"},
        {"get beyond the end", [](NodeTest& t) { EXPECT_EQ(t.parent->getChild(3), NullFC); }, same,
         "WARNING:  Node::getChild: index 3 out of range (3 children)"},
        {"sub a stranger",
         [](NodeTest& t) {
             t.parent->subChild(t.spare);
             EXPECT_EQ(t.spare.getRefCount(), 1);
         },
         same, "is not a child of node"},
        {"own child", [](NodeTest& t) { t.parent->addChild(t.parent); }, same,
         "is this node or one of its ancestors; not added"},
        {"ancestor as child", [](NodeTest& t) { t.c[0]->addChild(t.parent); }, same,
         "is this node or one of its ancestors; not added"},
        {"null children are ignored",
         [](NodeTest& t) {
             t.parent->addChild(NullFC);
             t.parent->insertChild(0, NullFC);
             t.parent->replaceChild(0, NullFC);
             EXPECT_FALSE(t.parent->replaceChildBy(t.c[0], NullFC));
         },
         same, ""},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LogCapture capture;
        row.run(*this);
        EXPECT_EQ(order(), row.order);
        if (*row.warning == '\0')
            EXPECT_EQ(capture.text(), "");
        else
            EXPECT_NE(capture.text().find(row.warning), std::string::npos) << capture.text();
        // Every node's parent field agrees with the list it is in (or not in).
        for (NodePtr n : {c[0], c[1], c[2], spare})
            EXPECT_EQ(n->getParent() == parent, parent->findChild(n) >= 0);
        TearDown(); // counts what the row left alive
        SetUp();
    }
}

TEST_F(NodeTest, CoreParentsListFollowsSetCoreOrder)
{
    GroupPtr shared = GroupBase::create();
    c[2]->setCore(shared);
    c[0]->setCore(shared);
    ASSERT_EQ(shared->getParents().size(), 2u);
    EXPECT_EQ(shared->getParents()[0], c[2]);
    EXPECT_EQ(shared->getParents()[1], c[0]);
    c[2]->setCore(NullFC);
    ASSERT_EQ(shared->getParents().size(), 1u);
    EXPECT_EQ(shared->getParents()[0], c[0]);
    EXPECT_EQ(shared.getRefCount(), 1);
    c[0]->setCore(NullFC); // frees the core
}

// Loops are refused whatever the shape around them: long chains above the new parent, and
// subtrees below the new child too wide to search through.
TEST_F(NodeTest, LoopsAreRefusedInTallAndWideTrees)
{
    auto chainBelow = [](NodePtr n, int length) {
        for (int i = 0; i < length; ++i) {
            NodePtr next = Node::create();
            n->addChild(next);
            n = next;
        }
        return n;
    };
    NodePtr deep = chainBelow(parent, 60);
    deep->addChild(Node::create());
    NodePtr wide = hold(Node::create()); // 40 inner children with a leaf each
    for (int i = 0; i < 40; ++i) {
        wide->addChild(Node::create());
        wide->getChild(i)->addChild(Node::create());
    }
    NodePtr wideDeep = chainBelow(wide->getChild(39), 50);

    LogCapture capture;
    deep->addChild(parent);
    wideDeep->addChild(wide);
    EXPECT_EQ(parent->getParent(), NullFC);
    EXPECT_EQ(wide->getParent(), NullFC);
    EXPECT_EQ(deep->getNChildren(), 1u);
    EXPECT_EQ(wideDeep->getNChildren(), 0u);
    EXPECT_EQ(capture.lines().size(), 2u) << capture.text();

    // Unrelated trees of the same shapes join freely.
    deep->addChild(wide);
    EXPECT_EQ(wide->getParent(), deep);
    wideDeep->addChild(spare);
    EXPECT_EQ(spare->getParent(), wideDeep);
}

// The box follows committed edits: a matrix change reaches the ancestors' boxes.
TEST_F(NodeTest, VolumeFollowsCommittedTransformChanges)
{
    TransformPtr move = TransformBase::create();
    spare->setCore(move);
    spare->addChild(makeCylinder(2.f, 1.f, 8, true, true, true)); // y in [-1, 1]
    parent->addChild(spare);
    endEditCP(parent, Node::ChildrenFieldMask);

    Pnt3f lo, hi;
    parent->getVolume().getBounds(lo, hi);
    EXPECT_NEAR(hi[1], 1.f, 1e-6f);
    move->editMatrix().setTranslate(0.f, 5.f, 0.f);
    parent->getVolume().getBounds(lo, hi);
    EXPECT_NEAR(hi[1], 1.f, 1e-6f) << "without endEditCP the box is not updated";
    endEditCP(move, TransformBase::MatrixFieldMask);
    parent->getVolume().getBounds(lo, hi);
    EXPECT_NEAR(lo[1], 4.f, 1e-6f);
    EXPECT_NEAR(hi[1], 6.f, 1e-6f);

    spare->setActive(false);
    endEditCP(spare, Node::TravMaskFieldMask);
    EXPECT_TRUE(parent->getVolume().isEmpty()) << "inactive subtrees do not count";
}

// Marking a box stale reaches every ancestor whose box is valid, whatever stale boxes lie
// between and however the tree was put together. Each row works on the chain
// parent -> mid -> low -> leaf and leaves it for the leaf to go stale.
TEST_F(NodeTest, StaleBoxReachesEveryValidAncestor)
{
    const std::pair<const char*, void (*)(NodeTest&, NodePtr mid, NodePtr low, NodePtr leaf)>
        rows[] = {
            {"stale twice, then valid again",
             [](NodeTest& t, NodePtr, NodePtr, NodePtr leaf) {
                 leaf->invalidateVolume();
                 leaf->invalidateVolume();
                 t.parent->getVolume();
             }},
            {"only the lower part made valid",
             [](NodeTest&, NodePtr, NodePtr low, NodePtr leaf) {
                 leaf->invalidateVolume();
                 low->getVolume();
             }},
            {"stale subtree linked below a valid node",
             [](NodeTest& t, NodePtr mid, NodePtr low, NodePtr leaf) {
                 mid->subChild(low);
                 t.parent->getVolume();
                 leaf->invalidateVolume();
                 mid->addChild(low);
                 EXPECT_TRUE(t.parent->getVolume(false).isValid())
                     << "linking alone changes no box";
             }},
            {"stale subtree linked below a stale node under a valid one",
             [](NodeTest& t, NodePtr mid, NodePtr low, NodePtr leaf) {
                 mid->subChild(low);
                 t.parent->getVolume();
                 NodePtr between = t.hold(Node::create());
                 mid->addChild(between);
                 leaf->invalidateVolume();
                 between->addChild(low);
             }},
        };
    for (const auto& [name, act] : rows) {
        SCOPED_TRACE(name);
        NodePtr low = hold(Node::create());
        NodePtr leaf = hold(Node::create());
        leaf->setCore(TransformBase::create());
        low->addChild(leaf);
        c[1]->addChild(low);
        act(*this, c[1], low, leaf);
        leaf->invalidateVolume();
        for (NodePtr n = leaf; n != NullFC; n = n->getParent())
            EXPECT_FALSE(n->getVolume(false).isValid()) << "node #" << getContainerId(n);
        EXPECT_FALSE(parent->getVolume(false).isValid());
        if (low->getParent() != NullFC)
            low->getParent()->subChild(low);
    }
}
} // namespace
