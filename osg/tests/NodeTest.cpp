#include "OsgTest.h"

#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGNode.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGTransform.h>

#include <osgTestSupport/LogCapture.h>

#include <functional>
#include <string>
#include <vector>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::LogCapture;

namespace
{
// A parent with children c0, c1, c2 and one spare node; the test holds one reference on
// each so that the counts are easy to read.
class NodeTest : public OsgTest
{
public:
    void SetUp() override
    {
        OsgTest::SetUp();
        parent = hold(Node::create());
        for (NodePtr& c : children)
        {
            c = hold(Node::create());
            parent->addChild(c);
        }
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
    // Children of parent as indices into `children` (3 = spare, -1 = other).
    std::vector<int> order() const
    {
        std::vector<int> result;
        for (UInt32 i = 0; i < parent->getNChildren(); ++i)
        {
            NodePtr c = parent->getChild(i);
            int index = -1;
            for (int k = 0; k < 3; ++k)
                if (c == children[k])
                    index = k;
            if (c == spare)
                index = 3;
            result.push_back(index);
        }
        return result;
    }

    NodePtr parent;
    NodePtr children[3];
    NodePtr spare;
    std::vector<NodePtr> held;
};

// Tree edits by table: the resulting child order, and the warning text for bad input.
TEST_F(NodeTest, ChildEditsGiveTheExpectedOrderAndMessages)
{
    struct Row
    {
        const char* name;
        std::function<void(NodeTest&)> run;
        std::vector<int> order;
        const char* warning; // empty: no log output at all
    };
    const Row rows[] = {
        {"insert at the front", [](NodeTest& t) { t.parent->insertChild(0, t.spare); }, {3, 0, 1, 2}, ""},
        {"insert at the end", [](NodeTest& t) { t.parent->insertChild(3, t.spare); }, {0, 1, 2, 3}, ""},
        {"move a child forward within the parent", [](NodeTest& t) { t.parent->insertChild(0, t.children[2]); },
         {2, 0, 1}, ""},
        {"move a child backward within the parent", [](NodeTest& t) { t.parent->insertChild(3, t.children[0]); },
         {1, 2, 0}, ""},
        {"re-add moves to the end", [](NodeTest& t) { t.parent->addChild(t.children[0]); }, {1, 2, 0}, ""},
        {"replace by index", [](NodeTest& t) { t.parent->replaceChild(1, t.spare); }, {0, 3, 2}, ""},
        {"replace by a sibling", [](NodeTest& t) { t.parent->replaceChild(2, t.children[0]); }, {1, 0}, ""},
        {"replaceChildBy", [](NodeTest& t) { EXPECT_TRUE(t.parent->replaceChildBy(t.children[0], t.spare)); },
         {3, 1, 2}, ""},
        {"replaceChildBy with an absent child",
         [](NodeTest& t) { EXPECT_FALSE(t.parent->replaceChildBy(t.spare, t.children[0])); }, {0, 1, 2}, ""},
        {"sub by pointer", [](NodeTest& t) { t.parent->subChild(t.children[1]); }, {0, 2}, ""},
        {"sub by index", [](NodeTest& t) { t.parent->subChild(0u); }, {1, 2}, ""},
        {"insert beyond the end", [](NodeTest& t) { t.parent->insertChild(5, t.spare); }, {0, 1, 2},
         "WARNING:  Node::insertChild: index 5 out of range (3 children)"},
        {"replace beyond the end", [](NodeTest& t) { t.parent->replaceChild(3, t.spare); }, {0, 1, 2},
         "WARNING:  Node::replaceChild: index 3 out of range (3 children)"},
        {"sub an index beyond the end", [](NodeTest& t) { t.parent->subChild(7u); }, {0, 1, 2},
         "WARNING:  Node::subChild: index 7 out of range (3 children)"},
        {"get a child beyond the end", [](NodeTest& t) { EXPECT_EQ(t.parent->getChild(3), NullFC); }, {0, 1, 2},
         "WARNING:  Node::getChild: index 3 out of range (3 children)"},
        {"make a node its own child", [](NodeTest& t) { t.parent->addChild(t.parent); }, {0, 1, 2},
         "is this node or one of its ancestors; not added"},
        {"make an ancestor a child", [](NodeTest& t) { t.children[0]->addChild(t.parent); }, {0, 1, 2},
         "is this node or one of its ancestors; not added"},
        {"null child arguments are ignored",
         [](NodeTest& t) {
             t.parent->addChild(NullFC);
             t.parent->insertChild(0, NullFC);
             t.parent->replaceChild(0, NullFC);
             EXPECT_FALSE(t.parent->replaceChildBy(t.children[0], NullFC));
         },
         {0, 1, 2}, ""},
    };
    for (const Row& row : rows)
    {
        TearDown();
        SetUp();
        LogCapture capture;
        row.run(*this);
        EXPECT_EQ(order(), row.order) << row.name;
        if (*row.warning == '\0')
        {
            EXPECT_EQ(capture.text(), "") << row.name;
        }
        else
        {
            EXPECT_NE(capture.text().find(row.warning), std::string::npos) << row.name << ": " << capture.text();
        }
        // Every child's parent field agrees with the list it is in.
        for (UInt32 i = 0; i < parent->getNChildren(); ++i)
            EXPECT_EQ(parent->getChild(i)->getParent(), parent) << row.name;
        for (NodePtr c : {children[0], children[1], children[2], spare})
        {
            if (parent->findChild(c) < 0 && c->getParent() == parent)
            {
                ADD_FAILURE() << row.name << ": removed node still names the parent";
            }
        }
    }
}

TEST_F(NodeTest, SubChildOfAStrangerWarnsAndKeepsCounts)
{
    LogCapture capture;
    parent->subChild(spare);
    EXPECT_EQ(spare.getRefCount(), 1);
    EXPECT_EQ(parent->getNChildren(), 3u);
    EXPECT_NE(capture.text().find("is not a child of node"), std::string::npos) << capture.text();
}

TEST_F(NodeTest, CoreParentsListFollowsSetCoreOrder)
{
    GroupPtr shared = GroupBase::create();
    children[2]->setCore(shared);
    children[0]->setCore(shared);
    ASSERT_EQ(shared->getParents().size(), 2u);
    EXPECT_EQ(shared->getParents()[0], children[2]);
    EXPECT_EQ(shared->getParents()[1], children[0]);
    children[2]->setCore(NullFC);
    ASSERT_EQ(shared->getParents().size(), 1u);
    EXPECT_EQ(shared->getParents().front(), children[0]);
    EXPECT_EQ(shared.getRefCount(), 1);
    children[0]->setCore(NullFC); // frees the core
}

TEST_F(NodeTest, ActiveAndTravMask)
{
    EXPECT_EQ(spare->getTravMask(), 0xFFFFFFFFu) << "a new node is active";
    EXPECT_TRUE(spare->getActive());
    spare->setActive(false);
    EXPECT_EQ(spare->getTravMask(), 0u);
    EXPECT_FALSE(spare->getActive());
    spare->setTravMask(0x1);
    EXPECT_FALSE(spare->getActive()) << "only the full mask counts as active";
    spare->setActive(true);
    EXPECT_EQ(spare->getTravMask(), 0xFFFFFFFFu);
}

// getToWorld multiplies root first: world = A * B * C for the chain root(A) -> B -> C.
TEST_F(NodeTest, ToWorldMultipliesFromTheRootDown)
{
    TransformPtr a = TransformBase::create(), b = TransformBase::create(), c = TransformBase::create();
    a->editMatrix().setTranslate(10.f, 0.f, 0.f);
    // b: quarter turn about z (x -> y)
    b->setMatrix(Matrix(0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1));
    c->editMatrix().setScale(2.f);
    parent->setCore(a);
    children[0]->setCore(b);
    spare->setCore(c);
    children[0]->addChild(spare);

    Pnt3f p(1.f, 0.f, 0.f);
    spare->getToWorld().multMatrixPnt(p);
    // scale -> (2,0,0), rotate -> (0,2,0), translate -> (10,2,0)
    EXPECT_NEAR(p[0], 10.f, 1e-6f);
    EXPECT_NEAR(p[1], 2.f, 1e-6f);
    EXPECT_NEAR(p[2], 0.f, 1e-6f);

    Matrix world;
    children[1]->getToWorld(world);
    EXPECT_EQ(world, a->getMatrix()) << "a core-less child sees its parent's transform only";
}

// Loops are refused whatever the shape around them: long chains above the new parent, and
// subtrees below the new child too wide to search through.
TEST_F(NodeTest, LoopsAreRefusedInTallAndWideTrees)
{
    // A chain of 60 nodes below `parent`; the deepest one gets a leaf so it has children.
    auto chainBelow = [this](NodePtr top, int length) {
        NodePtr n = top;
        for (int i = 0; i < length; ++i)
        {
            NodePtr next = Node::create();
            n->addChild(next);
            n = next;
        }
        return n;
    };
    NodePtr deep = chainBelow(parent, 60);
    deep->addChild(Node::create());
    // A wide tree: 40 inner children, each with a leaf, and a chain of 50 below the last one.
    NodePtr wide = hold(Node::create());
    NodePtr lastInner;
    for (int i = 0; i < 40; ++i)
    {
        lastInner = Node::create();
        lastInner->addChild(Node::create());
        wide->addChild(lastInner);
    }
    NodePtr wideDeep = chainBelow(lastInner, 50);

    LogCapture capture;
    deep->addChild(parent); // the chain's top under its bottom
    wideDeep->addChild(wide); // the wide root under its deepest node
    EXPECT_EQ(parent->getParent(), NullFC);
    EXPECT_EQ(wide->getParent(), NullFC);
    EXPECT_EQ(deep->getNChildren(), 1u);
    EXPECT_EQ(wideDeep->getNChildren(), 0u);
    const std::string refused = "is this node or one of its ancestors; not added";
    const std::string text = capture.text();
    const std::size_t first = text.find(refused);
    ASSERT_NE(first, std::string::npos) << text;
    EXPECT_NE(text.find(refused, first + 1), std::string::npos) << text;

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
    NodePtr box = makeCylinder(2.f, 1.f, 8, true, true, true); // y in [-1, 1], radius 1
    spare->setCore(move);
    spare->addChild(box);
    parent->addChild(spare);
    endEditCP(parent, Node::ChildrenFieldMask);

    Pnt3f lo, hi;
    parent->getVolume().getBounds(lo, hi);
    EXPECT_NEAR(lo[1], -1.f, 1e-6f);
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
// between and however the tree was put together.
TEST_F(NodeTest, StaleBoxReachesEveryValidAncestor)
{
    // Each row builds on a chain top -> mid -> low -> leaf (low = a fresh node, top = parent)
    // and returns the node whose box goes stale; top's box must be stale afterwards.
    struct Row
    {
        const char* name;
        std::function<NodePtr(NodeTest&, NodePtr mid, NodePtr low, NodePtr leaf)> act;
    };
    const Row rows[] = {
        {"valid chain", [](NodeTest& t, NodePtr, NodePtr, NodePtr leaf) {
             t.parent->getVolume();
             return leaf;
         }},
        {"stale twice, then valid again", [](NodeTest& t, NodePtr, NodePtr, NodePtr leaf) {
             leaf->invalidateVolume();
             leaf->invalidateVolume();
             t.parent->getVolume();
             return leaf;
         }},
        {"only the lower part made valid", [](NodeTest&, NodePtr, NodePtr low, NodePtr leaf) {
             leaf->invalidateVolume();
             low->getVolume();
             return leaf;
         }},
        {"stale subtree linked below a valid node", [](NodeTest& t, NodePtr mid, NodePtr low, NodePtr leaf) {
             mid->subChild(low); // low and leaf stay alive: the row holds them
             t.parent->getVolume();
             leaf->invalidateVolume();
             mid->addChild(low);
             EXPECT_TRUE(t.parent->getVolume(false).isValid()) << "linking alone changes no box";
             return leaf;
         }},
        {"stale subtree linked below a stale node under a valid one",
         [](NodeTest& t, NodePtr mid, NodePtr low, NodePtr leaf) {
             mid->subChild(low);
             t.parent->getVolume();
             NodePtr between = t.hold(Node::create());
             mid->addChild(between); // stale, below a valid mid
             leaf->invalidateVolume();
             between->addChild(low);
             return leaf;
         }},
        {"subtree moved from a stale tree to a valid one",
         [](NodeTest& t, NodePtr, NodePtr low, NodePtr leaf) {
             NodePtr other = t.hold(Node::create());
             other->addChild(low);
             leaf->invalidateVolume(); // stale up to other
             t.parent->getVolume();
             t.children[2]->addChild(low);
             return leaf;
         }},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        NodePtr mid = children[1];
        NodePtr low = hold(Node::create());
        NodePtr leaf = hold(Node::create());
        leaf->setCore(TransformBase::create());
        low->addChild(leaf);
        mid->addChild(low);
        NodePtr stale = row.act(*this, mid, low, leaf);
        stale->invalidateVolume();
        for (NodePtr n = stale; n != NullFC; n = n->getParent())
            EXPECT_FALSE(n->getVolume(false).isValid()) << "node #" << getContainerId(n);
        EXPECT_FALSE(parent->getVolume(false).isValid());
        if (low->getParent() != NullFC)
            low->getParent()->subChild(low);
    }
}
} // namespace
