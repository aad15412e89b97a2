#include "OsgTest.h"

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGChangeList.h>
#include <OpenSG/OSGDirectionalLight.h>
#include <OpenSG/OSGFieldContainerType.h>
#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGImage.h>
#include <OpenSG/OSGNode.h>
#include <OpenSG/OSGPolygonChunk.h>
#include <OpenSG/OSGPrototypes.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGSimpleMaterial.h>
#include <OpenSG/OSGSpotLight.h>
#include <OpenSG/OSGThread.h>
#include <OpenSG/OSGTransform.h>

#include <osgTestSupport/LogCapture.h>
#include <osgTestSupport/ScopedEditJournal.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <thread>
#include <utility>
#include <vector>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::EditJournal;
using Morvek::osgTestSupport::EditRecord;
using Morvek::osgTestSupport::LogCapture;
using Morvek::osgTestSupport::ScopedEditJournal;

namespace {
using FieldContainerTest = OsgTest;

// Field ids chain along the class hierarchy: each class's first own field follows its parent's
// last one, and derived classes see their parents' masks unchanged.
TEST_F(FieldContainerTest, MasksChainAlongTheClassHierarchy)
{
    const std::pair<BitVector, BitVector> rows[] = {{Node::VolumeFieldMask, 0x4},
                                                    {TransformBase::MatrixFieldMask, 0x8},
                                                    {LightBase::AmbientFieldMask, 0x8},
                                                    {PointLightBase::PositionFieldMask, 0x2000},
                                                    {SpotLightBase::DirectionFieldMask, 0x4000},
                                                    {SpotLight::BeaconFieldMask, 0x40},
                                                    {SimpleMaterialBase::AmbientFieldMask, 0x40},
                                                    {ImageBase::DimensionFieldMask, 0x8}};
    for (std::size_t i = 0; i < std::size(rows); ++i)
        EXPECT_EQ(rows[i].first, rows[i].second) << "row " << i;
}

// Before osgInit (and after osgExit), or while a type's prototype is withheld, create()
// gives NullFC and the builders fail without leaking what they made before.
TEST_F(FieldContainerTest, CreateYieldsNullFCWithoutAPrototype)
{
    osgExit();
    EXPECT_EQ(Node::create(), NullFC);
    EXPECT_EQ(SpotLightBase::create(), NullFC);
    EXPECT_EQ(makeCone(1.f, 1.f, 8, true, true), NullFC);
    EXPECT_EQ(getDefaultMaterial(), NullFC);
    osgInit(0, nullptr);

    getDefaultMaterial();
    const UInt32 before = getLiveContainerCount();
    {
        ScopedWithheldPrototype outer("SpotLight");
        ScopedWithheldPrototype noNodes("Node");
        EXPECT_EQ(makeCone(1.f, 0.5f, 8, true, true), NullFC);
        EXPECT_EQ(makeSphere(1, 1.f), NullFC);
        PointLightPtr point = PointLightBase::create();
        EXPECT_NE(point, NullFC) << "withholding SpotLight must not affect its parent type";
        subRefCP(point);
        {
            ScopedWithheldPrototype inner("SpotLight");
        }
        EXPECT_EQ(SpotLightBase::create(), NullFC) << "the outer scope still withholds";
    }
    EXPECT_EQ(getLiveContainerCount(), before);
    SpotLightPtr spot = SpotLightBase::create();
    EXPECT_NE(spot, NullFC);
    subRefCP(spot);

    LogCapture capture;
    ScopedWithheldPrototype unknown("NoSuchType");
    EXPECT_NE(capture.text().find("unknown container type 'NoSuchType'"), std::string::npos)
        << capture.text();
}

TEST_F(FieldContainerTest, DowncastChecksTheDynamicType)
{
    SpotLightPtr spot = SpotLightBase::create();
    addRefCP(spot);
    LightPtr asLight = spot;
    NodeCorePtr asCore = spot;
    EXPECT_EQ(PointLightPtr::dcast(asLight), spot) << "a spot light is a point light";
    EXPECT_EQ(SpotLightPtr::dcast(asCore), spot);
    EXPECT_EQ(DirectionalLightPtr::dcast(asLight), NullFC);
    EXPECT_EQ(TransformPtr::dcast(asCore), NullFC);
    EXPECT_EQ(SpotLightPtr::dcast(NullFC), NullFC);
    EXPECT_STREQ(asCore->getTypeName(), "SpotLight");
    EXPECT_FALSE(spot->getType().isDerivedFrom(DirectionalLightBase::getClassType()));
    EXPECT_EQ(spot.getRefCount(), 1) << "copying pointers takes no references";
    subRefCP(spot);
}

// Cores and beacons are counted by the nodes and lights that use them (children by their
// parent: see the node tests, whose fixture counts the live containers).
TEST_F(FieldContainerTest, CoresAndBeaconsAreCounted)
{
    NodePtr a = Node::create(), b = Node::create();
    GroupPtr core = GroupBase::create();
    TransformPtr other = TransformBase::create();
    DirectionalLightPtr light = DirectionalLightBase::create();
    const FieldContainerPtr all[] = {light, a, b, core, other}; // releasing in this order frees
    for (FieldContainerPtr p : all)
        addRefCP(p);

    a->setCore(core);
    a->setCore(core);
    EXPECT_EQ(core.getRefCount(), 2) << "the same core twice counts once";
    b->setCore(core);
    EXPECT_EQ(core.getRefCount(), 3) << "a shared core is counted by each node";
    a->setCore(other);
    EXPECT_EQ(core.getRefCount(), 2) << "replacing releases the old core";
    EXPECT_EQ(other.getRefCount(), 2);

    LightBase& base = *light;
    base.setBeacon(a);
    EXPECT_EQ(a.getRefCount(), 1) << "LightBase's generated setter does not count";
    base.setBeacon(NullFC); // else ~Light releases the uncounted beacon
    light->setBeacon(a);
    EXPECT_EQ(a.getRefCount(), 2);
    light->setBeacon(b);
    EXPECT_EQ(a.getRefCount(), 1) << "changing the beacon releases the old one";
    EXPECT_EQ(b.getRefCount(), 2);
    for (FieldContainerPtr p : all)
        subRefCP(p);
}

TEST_F(FieldContainerTest, NullIsSafeAndIdsAreNeverReused)
{
    const UInt32 before = getLiveContainerCount();
    NodePtr a = Node::create();
    const UInt32 idA = getContainerId(a);
    subRefCP(a);
    EXPECT_EQ(getLiveContainerCount(), before) << "subRef on a fresh container destroys it";
    subRefCP(NullFC);
    addRefCP(NullFC);
    EXPECT_EQ(getRefCount(NullFC), 0);
    EXPECT_EQ(getContainerId(NullFC), 0u);
    a = Node::create();
    EXPECT_NE(getContainerId(a), idA);
    NodePtr slot;
    setRefdCP(slot, a);
    setRefdCP(slot, a);
    EXPECT_EQ(a.getRefCount(), 1) << "setting the same value again changes nothing";
    clearRefCP(slot);
    EXPECT_EQ(slot, NullFC);
}

TEST_F(FieldContainerTest, ReleasingARootDestroysTheSubtreeButNotWhatIsHeldElsewhere)
{
    const UInt32 before = getLiveContainerCount();
    NodePtr root = Node::create();
    NodePtr middle = Node::create();
    NodePtr leaf = Node::create();
    TransformPtr sharedCore = TransformBase::create();
    addRefCP(root);
    addRefCP(leaf);
    root->addChild(middle);
    middle->addChild(leaf);
    middle->setCore(sharedCore);
    leaf->setCore(sharedCore);

    subRefCP(root);
    EXPECT_EQ(getLiveContainerCount(), before + 2) << "the leaf and its core stay";
    EXPECT_EQ(leaf->getParent(), NullFC);
    EXPECT_EQ(sharedCore.getRefCount(), 1);
    ASSERT_EQ(sharedCore->getParents().size(), 1u);
    EXPECT_EQ(sharedCore->getParents()[0], leaf);
    subRefCP(leaf);
}

// Releasing a node more often than it is referenced is a caller's bug; the node then leaves
// its parent's list with a warning instead of leaving a dangling entry behind.
TEST_F(FieldContainerTest, OverReleasedChildLeavesItsParentCleanly)
{
    NodePtr parent = Node::create();
    NodePtr child = Node::create();
    addRefCP(parent);
    parent->addChild(child);
    LogCapture capture;
    subRefCP(child);
    EXPECT_EQ(parent->getNChildren(), 0u);
    EXPECT_NE(capture.text().find("destroyed while still a child of node"), std::string::npos)
        << capture.text();
    subRefCP(parent);
}

// The defaults code relies on: a new spot light lights nothing, attenuation is constant.
TEST_F(FieldContainerTest, NewContainersCarryTheDefaults)
{
    SpotLightPtr spot = SpotLightBase::create();
    PolygonChunkPtr polygon = PolygonChunkBase::create();
    EXPECT_EQ(spot->getAmbient(), Color4f(0, 0, 0, 1));
    EXPECT_EQ(spot->getConstantAttenuation(), 1.f);
    EXPECT_EQ(spot->getLinearAttenuation(), 0.f);
    EXPECT_EQ(spot->getQuadraticAttenuation(), 0.f);
    EXPECT_EQ(spot->getShadowMode(), UInt32(Light::CAST_SHADOW_AUTO));
    EXPECT_EQ(spot->getSpotCutOff(), 0.f);
    EXPECT_EQ(spot->getSpotExponent(), 0.f);
    spot->setSpotCutOffDeg(90.f);
    EXPECT_FLOAT_EQ(spot->getSpotCutOff(), Pi / 2.f);
    EXPECT_EQ(polygon->getCullFace(), GLenum(GL_NONE));
    EXPECT_EQ(polygon->getFrontFace(), GLenum(GL_CCW));
    subRefCP(spot);
    subRefCP(polygon);
}

// Each test leaves the thread's list as it found it: read-only and empty.
class ChangeListTest : public OsgTest {
protected:
    void TearDown() override
    {
        Thread::getCurrentChangeList()->setReadOnly(true);
        Thread::getCurrentChangeList()->clearAll();
        OsgTest::TearDown();
    }
};

// endEditCP and changedCP record; endEditNotChangedCP, null containers and the layer's own
// bookkeeping (a core's parents list) do not. Entries keep the id and type of containers since
// destroyed, whose storage goes back to the pool and may come back as another container.
TEST_F(ChangeListTest, OnlyCommittedEditsAreRecordedAndOutliveTheirContainers)
{
    EditJournal::setEnabled(true);
    {
        ScopedEditJournal recording;
        TransformPtr t = TransformBase::create();
        NodePtr n = Node::create();
        const UInt32 transformId = getContainerId(t), nodeId = getContainerId(n);
        addRefCP(n);
        n->setCore(t);
        beginEditCP(t, TransformBase::MatrixFieldMask);
        endEditCP(t, TransformBase::MatrixFieldMask);
        changedCP(n, Node::CoreFieldMask);
        endEditNotChangedCP(n);
        endEditCP(NullFC);
        endEditCP(n);
        subRefCP(n); // frees both
        NodePtr other = Node::create();

        const std::vector<EditRecord> records = EditJournal::records();
        ASSERT_EQ(records.size(), 3u);
        EXPECT_EQ(records[0].containerId, transformId);
        EXPECT_EQ(records[0].typeName, "Transform");
        EXPECT_EQ(records[0].mask, TransformBase::MatrixFieldMask);
        EXPECT_EQ(records[1].containerId, nodeId);
        EXPECT_EQ(records[1].typeName, "Node");
        EXPECT_EQ(records[1].mask, Node::CoreFieldMask);
        EXPECT_EQ(records[2].mask, FieldBits::AllFields);
        subRefCP(other);
    }
    EXPECT_TRUE(EditJournal::isEnabled()) << "the scope restores the state it found";
    EXPECT_TRUE(EditJournal::records().empty());
}

TEST_F(ChangeListTest, EachThreadRecordsIntoItsOwnListOnlyWhileItIsReadWrite)
{
    ChangeList* mine = Thread::getCurrentChangeList();
    ASSERT_TRUE(mine->isReadOnly()) << "a list starts read-only";
    ASSERT_FALSE(ChangeList::anyReadWrite());
    TransformPtr transform = TransformBase::create();
    addRefCP(transform);
    endEditCP(transform, TransformBase::MatrixFieldMask);
    EXPECT_TRUE(mine->empty()) << "a read-only list records nothing";

    mine->setReadOnly(false);
    EXPECT_TRUE(ChangeList::anyReadWrite());
    ChangeList* theirs = nullptr;
    bool startedReadOnly = false;
    size_t whileReadOnly = 99, whileReadWrite = 99;
    std::thread worker([&] {
        theirs = Thread::getCurrentChangeList();
        startedReadOnly = theirs->isReadOnly();
        endEditCP(transform, TransformBase::MatrixFieldMask);
        whileReadOnly = theirs->sizeChanged();
        theirs->setReadOnly(false);
        endEditCP(transform, TransformBase::MatrixFieldMask);
        whileReadWrite = theirs->sizeChanged();
        // The thread ends with its list still read-write.
    });
    worker.join();
    EXPECT_NE(theirs, mine);
    EXPECT_TRUE(startedReadOnly) << "another thread's read-write list makes no other so";
    EXPECT_EQ(whileReadOnly, 0u);
    EXPECT_EQ(whileReadWrite, 1u);
    EXPECT_TRUE(mine->empty()) << "another thread's edits stay out of this thread's list";

    mine->setReadOnly(true);
    EXPECT_FALSE(ChangeList::anyReadWrite())
        << "the ended thread's list still counts as read-write";
    subRefCP(transform);
}

// Threads that each make and drop images of their own, as envlights' workers do: every
// container still gets an id of its own and the live count comes back to where it was.
TEST_F(FieldContainerTest, ThreadsMakeAndDropContainersOfTheirOwn)
{
    constexpr int threads = 4;
    constexpr int perThread = 20000;
    const UInt32 liveBefore = getLiveContainerCount();
    std::vector<std::vector<UInt32>> ids(threads);
    std::vector<std::thread> workers;
    for (int t = 0; t < threads; ++t)
        workers.emplace_back([&ids, t] {
            for (int i = 0; i < perThread; ++i) {
                ImagePtr image = Image::create();
                addRefCP(image);
                const UInt8 pixel[3] = {1, 2, 3};
                beginEditCP(image);
                image->set(Image::OSG_RGB_PF, 1, 1, 1, 1, 1, 0.0, pixel);
                endEditCP(image);
                ids[t].push_back(image.getFieldContainerId());
                subRefCP(image);
            }
        });
    for (std::thread& worker : workers)
        worker.join();
    std::vector<UInt32> all;
    for (const std::vector<UInt32>& mine : ids)
        all.insert(all.end(), mine.begin(), mine.end());
    ASSERT_EQ(all.size(), std::size_t(threads) * perThread);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(std::size_t(std::unique(all.begin(), all.end()) - all.begin()), all.size())
        << "distinct ids";
    EXPECT_EQ(getLiveContainerCount(), liveBefore);
}
} // namespace
