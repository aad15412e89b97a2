#include "OsgTest.h"

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGChunkMaterial.h>
#include <OpenSG/OSGDirectionalLight.h>
#include <OpenSG/OSGGeometry.h>
#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGImage.h>
#include <OpenSG/OSGNode.h>
#include <OpenSG/OSGPolygonChunk.h>
#include <OpenSG/OSGPrototypes.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGSimpleMaterial.h>
#include <OpenSG/OSGSpotLight.h>
#include <OpenSG/OSGTextureChunk.h>
#include <OpenSG/OSGTransform.h>

#include <osgTestSupport/EditJournal.h>
#include <osgTestSupport/LogCapture.h>
#include <osgTestSupport/ScopedEditJournal.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::EditJournal;
using Morvek::osgTestSupport::EditRecord;
using Morvek::osgTestSupport::LogCapture;
using Morvek::osgTestSupport::ScopedEditJournal;

namespace
{
class FieldContainerTest : public OsgTest
{
};

// The documented field masks; ids chain along the class hierarchy.
TEST_F(FieldContainerTest, MasksHaveTheDocumentedValues)
{
    struct Row
    {
        const char* name;
        BitVector actual;
        BitVector expected;
    };
    const Row rows[] = {
        {"AttachmentContainer::Attachments", AttachmentContainer::AttachmentsFieldMask, 0x2},
        {"Node::Volume", Node::VolumeFieldMask, 0x4},
        {"Node::TravMask", Node::TravMaskFieldMask, 0x8},
        {"Node::Parent", Node::ParentFieldMask, 0x10},
        {"Node::Children", Node::ChildrenFieldMask, 0x20},
        {"Node::Core", Node::CoreFieldMask, 0x40},
        {"Node::Children|Core", Node::ChildrenFieldMask | Node::CoreFieldMask, 0x60},
        {"NodeCore::Parents", NodeCore::ParentsFieldMask, 0x4},
        {"TransformBase::Matrix", TransformBase::MatrixFieldMask, 0x8},
        {"LightBase::Ambient", LightBase::AmbientFieldMask, 0x8},
        {"LightBase::Diffuse", LightBase::DiffuseFieldMask, 0x10},
        {"LightBase::Specular", LightBase::SpecularFieldMask, 0x20},
        {"LightBase::Beacon", LightBase::BeaconFieldMask, 0x40},
        {"LightBase::On", LightBase::OnFieldMask, 0x80},
        {"LightBase::ConstantAttenuation", LightBase::ConstantAttenuationFieldMask, 0x100},
        {"LightBase::LinearAttenuation", LightBase::LinearAttenuationFieldMask, 0x200},
        {"LightBase::QuadraticAttenuation", LightBase::QuadraticAttenuationFieldMask, 0x400},
        {"LightBase::ShadowIntensity", LightBase::ShadowIntensityFieldMask, 0x800},
        {"LightBase::ShadowMode", LightBase::ShadowModeFieldMask, 0x1000},
        {"DirectionalLightBase::Direction", DirectionalLightBase::DirectionFieldMask, 0x2000},
        {"PointLightBase::Position", PointLightBase::PositionFieldMask, 0x2000},
        {"SpotLightBase::Direction", SpotLightBase::DirectionFieldMask, 0x4000},
        {"SpotLightBase::SpotExponent", SpotLightBase::SpotExponentFieldMask, 0x8000},
        {"SpotLightBase::SpotCutOff", SpotLightBase::SpotCutOffFieldMask, 0x10000},
        {"SpotLight::Beacon through the derived class", SpotLight::BeaconFieldMask, 0x40},
        {"MaterialDrawableBase::Material", MaterialDrawableBase::MaterialFieldMask, 0x8},
        {"Geometry::Material through the derived class", Geometry::MaterialFieldMask, 0x8},
        {"GeometryBase::Types (first own field)", GeometryBase::TypesFieldMask, 0x10},
        {"MaterialBase::SortKey", MaterialBase::SortKeyFieldMask, 0x4},
        {"MaterialBase::TransparencyMode", MaterialBase::TransparencyModeFieldMask, 0x8},
        {"ChunkMaterialBase::Chunks", ChunkMaterialBase::ChunksFieldMask, 0x10},
        {"ChunkMaterialBase::Slots", ChunkMaterialBase::SlotsFieldMask, 0x20},
        {"SimpleMaterialBase::Ambient", SimpleMaterialBase::AmbientFieldMask, BitVector(1) << 6},
        {"SimpleMaterialBase::Diffuse", SimpleMaterialBase::DiffuseFieldMask, BitVector(1) << 7},
        {"SimpleMaterialBase::Specular", SimpleMaterialBase::SpecularFieldMask, BitVector(1) << 8},
        {"SimpleMaterialBase::Shininess", SimpleMaterialBase::ShininessFieldMask, BitVector(1) << 9},
        {"SimpleMaterialBase::Emission", SimpleMaterialBase::EmissionFieldMask, BitVector(1) << 10},
        {"SimpleMaterialBase::Transparency", SimpleMaterialBase::TransparencyFieldMask, BitVector(1) << 11},
        {"SimpleMaterialBase::Lit", SimpleMaterialBase::LitFieldMask, BitVector(1) << 12},
        {"SimpleMaterialBase::ColorMaterial", SimpleMaterialBase::ColorMaterialFieldMask, BitVector(1) << 13},
        {"StateChunkBase::Ignore", StateChunkBase::IgnoreFieldMask, 0x8},
        {"PolygonChunkBase::CullFace", PolygonChunkBase::CullFaceFieldMask, BitVector(1) << 4},
        {"PolygonChunkBase::FrontFace", PolygonChunkBase::FrontFaceFieldMask, BitVector(1) << 5},
        {"PolygonChunkBase::FrontMode", PolygonChunkBase::FrontModeFieldMask, BitVector(1) << 6},
        {"PolygonChunkBase::BackMode", PolygonChunkBase::BackModeFieldMask, BitVector(1) << 7},
        {"PolygonChunkBase::Smooth", PolygonChunkBase::SmoothFieldMask, BitVector(1) << 8},
        {"PolygonChunkBase::OffsetFactor", PolygonChunkBase::OffsetFactorFieldMask, BitVector(1) << 9},
        {"PolygonChunkBase::OffsetBias", PolygonChunkBase::OffsetBiasFieldMask, BitVector(1) << 10},
        {"PolygonChunkBase::OffsetPoint", PolygonChunkBase::OffsetPointFieldMask, BitVector(1) << 11},
        {"PolygonChunkBase::OffsetLine", PolygonChunkBase::OffsetLineFieldMask, BitVector(1) << 12},
        {"PolygonChunkBase::OffsetFill", PolygonChunkBase::OffsetFillFieldMask, BitVector(1) << 13},
        {"PolygonChunkBase::Stipple", PolygonChunkBase::StippleFieldMask, BitVector(1) << 14},
        {"TextureChunkBase::Image", TextureChunkBase::ImageFieldMask, 0x10},
        {"ImageBase::Parents", ImageBase::ParentsFieldMask, BitVector(1) << 2},
        {"ImageBase::Dimension", ImageBase::DimensionFieldMask, BitVector(1) << 3},
        {"ImageBase::Width", ImageBase::WidthFieldMask, BitVector(1) << 4},
        {"ImageBase::Height", ImageBase::HeightFieldMask, BitVector(1) << 5},
        {"ImageBase::Depth", ImageBase::DepthFieldMask, BitVector(1) << 6},
        {"ImageBase::Bpp", ImageBase::BppFieldMask, BitVector(1) << 7},
        {"ImageBase::PixelFormat", ImageBase::PixelFormatFieldMask, BitVector(1) << 11},
        {"ImageBase::Pixel", ImageBase::PixelFieldMask, BitVector(1) << 12},
        {"ImageBase::DataType", ImageBase::DataTypeFieldMask, BitVector(1) << 15},
        {"FieldBits::AllFields", FieldBits::AllFields, 0xFFFFFFFFFFFFFFFFull},
        {"FieldBits::NoField", FieldBits::NoField, 0},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.actual, row.expected) << row.name;
}

// Before osgInit (and after osgExit) there are no prototypes, so nothing can be created.
TEST_F(FieldContainerTest, CreateYieldsNullFCWithoutPrototypes)
{
    osgExit();
    EXPECT_FALSE(osgIsInitialized());
    EXPECT_EQ(Node::create(), NullFC);
    EXPECT_EQ(TransformBase::create(), NullFC);
    EXPECT_EQ(SpotLightBase::create(), NullFC);
    EXPECT_EQ(SimpleMaterialBase::create(), NullFC);
    EXPECT_EQ(makeCone(1.f, 1.f, 8, true, true), NullFC);
    EXPECT_EQ(getDefaultMaterial(), NullFC);
    osgInit(0, nullptr);
    NodePtr node = Node::create();
    ASSERT_NE(node, NullFC);
    subRefCP(node);
}

TEST_F(FieldContainerTest, WithheldPrototypeAffectsOnlyItsTypeAndNests)
{
    {
        ScopedWithheldPrototype outer("SpotLight");
        EXPECT_EQ(SpotLightBase::create(), NullFC);
        PointLightPtr point = PointLightBase::create();
        EXPECT_NE(point, NullFC) << "withholding SpotLight must not affect its parent type";
        subRefCP(point);
        {
            ScopedWithheldPrototype inner("SpotLight");
            EXPECT_EQ(SpotLightBase::create(), NullFC);
        }
        EXPECT_EQ(SpotLightBase::create(), NullFC) << "the outer scope still withholds";
    }
    SpotLightPtr spot = SpotLightBase::create();
    EXPECT_NE(spot, NullFC);
    subRefCP(spot);
}

TEST_F(FieldContainerTest, WithheldNodeMakesBuildersFailWithoutLeakingTheGeometry)
{
    getDefaultMaterial();
    const UInt32 before = getLiveContainerCount();
    {
        ScopedWithheldPrototype noNodes("Node");
        EXPECT_EQ(makeCone(1.f, 0.5f, 8, true, true), NullFC);
        EXPECT_EQ(makeSphere(1, 1.f), NullFC);
    }
    EXPECT_EQ(getLiveContainerCount(), before);
}

TEST_F(FieldContainerTest, WithholdingAnUnknownTypeWarns)
{
    LogCapture capture;
    ScopedWithheldPrototype unknown("NoSuchType");
    EXPECT_NE(capture.text().find("unknown container type 'NoSuchType'"), std::string::npos) << capture.text();
}

TEST_F(FieldContainerTest, DowncastChecksTheDynamicType)
{
    SpotLightPtr spot = SpotLightBase::create();
    addRefCP(spot);
    LightPtr asLight = spot;        // implicit upcast along the pointer chain
    NodeCorePtr asCore = spot;
    EXPECT_EQ(PointLightPtr::dcast(asLight), spot) << "a spot light is a point light";
    EXPECT_EQ(SpotLightPtr::dcast(asCore), spot);
    EXPECT_EQ(DirectionalLightPtr::dcast(asLight), NullFC);
    EXPECT_EQ(TransformPtr::dcast(asCore), NullFC);
    EXPECT_EQ(SpotLightPtr::dcast(NullFC), NullFC);
    EXPECT_STREQ(asCore->getTypeName(), "SpotLight");
    EXPECT_TRUE(spot->getType().isDerivedFrom(PointLightBase::getClassType()));
    EXPECT_FALSE(spot->getType().isDerivedFrom(DirectionalLightBase::getClassType()));
    EXPECT_EQ(spot.getRefCount(), 1) << "copying pointers takes no references";
    subRefCP(spot);
}

// One table of reference-count life cycles. Every row starts from the same small world
// (each container held once by the test) and states the counts afterwards.
TEST_F(FieldContainerTest, ReferenceCountLifeCycles)
{
    struct World
    {
        NodePtr parentA, parentB, child;
        GroupPtr core;
        TransformPtr otherCore;
        DirectionalLightPtr light;
    };
    struct Expected
    {
        Int32 child, core, otherCore, parentA;
        UInt32 childrenOfA, childrenOfB;
    };
    struct Row
    {
        const char* name;
        std::function<void(World&)> run;
        Expected expected;
    };
    const Row rows[] = {
        {"create then hold", [](World&) {}, {1, 1, 1, 1, 0, 0}},
        {"addChild references the child", [](World& w) { w.parentA->addChild(w.child); }, {2, 1, 1, 1, 1, 0}},
        {"addChild of a null child does nothing", [](World& w) { w.parentA->addChild(NullFC); }, {1, 1, 1, 1, 0, 0}},
        {"moving a child releases the old parent's reference",
         [](World& w) {
             w.parentA->addChild(w.child);
             w.parentB->addChild(w.child);
         },
         {2, 1, 1, 1, 0, 1}},
        {"re-adding to the same parent keeps one reference",
         [](World& w) {
             w.parentA->addChild(w.child);
             w.parentA->addChild(w.child);
         },
         {2, 1, 1, 1, 1, 0}},
        {"subChild releases",
         [](World& w) {
             w.parentA->addChild(w.child);
             w.parentA->subChild(w.child);
         },
         {1, 1, 1, 1, 0, 0}},
        {"setCore references the core", [](World& w) { w.child->setCore(w.core); }, {1, 2, 1, 1, 0, 0}},
        {"replacing the core releases the old one",
         [](World& w) {
             w.child->setCore(w.core);
             w.child->setCore(w.otherCore);
         },
         {1, 1, 2, 1, 0, 0}},
        {"setting the same core twice counts once",
         [](World& w) {
             w.child->setCore(w.core);
             w.child->setCore(w.core);
         },
         {1, 2, 1, 1, 0, 0}},
        {"a shared core is referenced by each node",
         [](World& w) {
             w.child->setCore(w.core);
             w.parentA->setCore(w.core);
         },
         {1, 3, 1, 1, 0, 0}},
        {"setBeacon references the beacon node", [](World& w) { w.light->setBeacon(w.parentA); }, {1, 1, 1, 2, 0, 0}},
        {"changing the beacon releases the old one",
         [](World& w) {
             w.light->setBeacon(w.parentA);
             w.light->setBeacon(w.child);
         },
         {2, 1, 1, 1, 0, 0}},
        {"the generated setter of LightBase does not count",
         [](World& w) {
             LightBase& base = *w.light;
             base.setBeacon(w.parentA);
             EXPECT_EQ(w.parentA.getRefCount(), 1);
             // ~Light would release this uncounted beacon once too often.
             base.setBeacon(NullFC);
         },
         {1, 1, 1, 1, 0, 0}},
        {"replaceChild releases the replaced child",
         [](World& w) {
             w.parentA->addChild(w.child);
             w.parentA->replaceChild(0, w.parentB);
         },
         {1, 1, 1, 1, 1, 0}},
    };
    for (const Row& row : rows)
    {
        World w{Node::create(), Node::create(), Node::create(), GroupBase::create(), TransformBase::create(),
                DirectionalLightBase::create()};
        for (FieldContainerPtr p : {FieldContainerPtr(w.parentA), FieldContainerPtr(w.parentB),
                                    FieldContainerPtr(w.child), FieldContainerPtr(w.core),
                                    FieldContainerPtr(w.otherCore), FieldContainerPtr(w.light)})
        {
            ASSERT_EQ(p.getRefCount(), 0) << row.name << ": count must be 0 after create";
            addRefCP(p);
        }
        row.run(w);
        EXPECT_EQ(w.child.getRefCount(), row.expected.child) << row.name << ": child";
        EXPECT_EQ(w.core.getRefCount(), row.expected.core) << row.name << ": core";
        EXPECT_EQ(w.otherCore.getRefCount(), row.expected.otherCore) << row.name << ": other core";
        EXPECT_EQ(w.parentA.getRefCount(), row.expected.parentA) << row.name << ": parent A";
        EXPECT_EQ(w.parentA->getNChildren(), row.expected.childrenOfA) << row.name << ": children of A";
        EXPECT_EQ(w.parentB->getNChildren(), row.expected.childrenOfB) << row.name << ": children of B";
        // Release in an order that frees everything; the fixture checks nothing leaked.
        subRefCP(w.light);
        subRefCP(w.parentA);
        subRefCP(w.parentB);
        subRefCP(w.child);
        subRefCP(w.core);
        subRefCP(w.otherCore);
    }
}

TEST_F(FieldContainerTest, SubRefOnAFreshContainerDestroysIt)
{
    const UInt32 before = getLiveContainerCount();
    TransformPtr t = TransformBase::create();
    EXPECT_EQ(getLiveContainerCount(), before + 1);
    subRefCP(t);
    EXPECT_EQ(getLiveContainerCount(), before);
    subRefCP(NullFC);
    addRefCP(NullFC);
    EXPECT_EQ(getRefCount(NullFC), 0);
}

TEST_F(FieldContainerTest, ReleasingARootDestroysTheWholeSubtreeButNotWhatIsHeldElsewhere)
{
    const UInt32 before = getLiveContainerCount();
    NodePtr root = Node::create();
    NodePtr middle = Node::create();
    NodePtr leaf = Node::create();
    TransformPtr sharedCore = TransformBase::create();
    addRefCP(root);
    addRefCP(leaf); // the test keeps the leaf
    root->addChild(middle);
    middle->addChild(leaf);
    middle->setCore(sharedCore);
    leaf->setCore(sharedCore);
    EXPECT_EQ(getLiveContainerCount(), before + 4);

    subRefCP(root);
    // root and middle are gone; the leaf survives (held by the test), orphaned, and keeps
    // the shared core alive.
    EXPECT_EQ(getLiveContainerCount(), before + 2);
    EXPECT_EQ(leaf->getParent(), NullFC);
    EXPECT_EQ(sharedCore.getRefCount(), 1);
    ASSERT_EQ(sharedCore->getParents().size(), 1u);
    EXPECT_EQ(sharedCore->getParents()[0], leaf);
    subRefCP(leaf);
    EXPECT_EQ(getLiveContainerCount(), before);
}

TEST_F(FieldContainerTest, SetRefdAndClearRef)
{
    NodePtr a = Node::create();
    NodePtr b = Node::create();
    NodePtr slot;
    setRefdCP(slot, a);
    EXPECT_EQ(a.getRefCount(), 1);
    setRefdCP(slot, a);
    EXPECT_EQ(a.getRefCount(), 1) << "setting the same value again changes nothing";
    addRefCP(a);
    setRefdCP(slot, b);
    EXPECT_EQ(a.getRefCount(), 1);
    EXPECT_EQ(b.getRefCount(), 1);
    clearRefCP(slot);
    EXPECT_EQ(slot, NullFC);
    subRefCP(a);
}

TEST_F(FieldContainerTest, EditJournalRecordsCommittedEditsOnly)
{
    ScopedEditJournal recording;
    TransformPtr t = TransformBase::create();
    NodePtr n = Node::create();
    addRefCP(n);
    n->setCore(t); // bookkeeping only: no record
    beginEditCP(t, TransformBase::MatrixFieldMask);
    endEditCP(t, TransformBase::MatrixFieldMask);
    changedCP(n, Node::CoreFieldMask);
    endEditNotChangedCP(n);
    endEditCP(NullFC);
    endEditCP(n);

    const std::vector<EditRecord>& records = EditJournal::records();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0].containerId, getContainerId(t));
    EXPECT_EQ(records[0].typeName, "Transform");
    EXPECT_EQ(records[0].mask, TransformBase::MatrixFieldMask);
    EXPECT_EQ(records[1].containerId, getContainerId(n));
    EXPECT_EQ(records[1].typeName, "Node");
    EXPECT_EQ(records[1].mask, Node::CoreFieldMask);
    EXPECT_EQ(records[2].mask, FieldBits::AllFields);
    EditJournal::clear();
    EXPECT_TRUE(EditJournal::records().empty());
    subRefCP(n);
}

TEST_F(FieldContainerTest, EditJournalRecordsOnlyWhileEnabled)
{
    struct Row
    {
        const char* name;
        bool outerScope; // a ScopedEditJournal around the commit
        bool enabled;    // the switch set inside it (or alone)
        size_t expected;
    };
    const Row rows[] = {
        {"off by default", false, false, 0},
        {"switched on", false, true, 1},
        {"scope then switched off", true, false, 0},
        {"scope", true, true, 1},
    };
    ASSERT_FALSE(EditJournal::isEnabled()) << "recording must start off";
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.name);
        TransformPtr t = TransformBase::create();
        addRefCP(t);
        size_t seen = 0;
        {
            std::unique_ptr<ScopedEditJournal> scope;
            if (row.outerScope)
                scope = std::make_unique<ScopedEditJournal>();
            EditJournal::setEnabled(row.enabled);
            endEditCP(t, TransformBase::MatrixFieldMask);
            seen = EditJournal::records().size();
            if (!row.outerScope)
            {
                EditJournal::setEnabled(false);
                EditJournal::clear();
            }
        }
        EXPECT_EQ(seen, row.expected);
        // The scope and the test both leave recording off and the journal empty.
        EXPECT_FALSE(EditJournal::isEnabled());
        EXPECT_TRUE(EditJournal::records().empty());
        subRefCP(t);
    }
}

TEST_F(FieldContainerTest, ScopedEditJournalRestoresAnEnabledJournal)
{
    EditJournal::setEnabled(true);
    {
        ScopedEditJournal inner;
        EXPECT_TRUE(EditJournal::isEnabled());
    }
    EXPECT_TRUE(EditJournal::isEnabled());
    EditJournal::setEnabled(false);
}

// Field defaults as OpenSG's classes set them; code above relies on the unusual ones (a new
// spot light lights nothing, directions point along +z, a new material is black).
TEST_F(FieldContainerTest, NewContainersCarryTheDefaults)
{
    DirectionalLightPtr dir = DirectionalLightBase::create();
    PointLightPtr point = PointLightBase::create();
    SpotLightPtr spot = SpotLightBase::create();
    PolygonChunkPtr polygon = PolygonChunkBase::create();
    TransformPtr transform = TransformBase::create();
    for (LightPtr light : {LightPtr(dir), LightPtr(point), LightPtr(spot)})
    {
        SCOPED_TRACE(light->getTypeName());
        EXPECT_EQ(light->getAmbient(), Color4f(0, 0, 0, 1));
        EXPECT_EQ(light->getDiffuse(), Color4f(1, 1, 1, 1));
        EXPECT_EQ(light->getSpecular(), Color4f(1, 1, 1, 1));
        EXPECT_EQ(light->getBeacon(), NullFC);
        EXPECT_TRUE(light->getOn());
        EXPECT_EQ(light->getConstantAttenuation(), 1.f);
        EXPECT_EQ(light->getLinearAttenuation(), 0.f);
        EXPECT_EQ(light->getQuadraticAttenuation(), 0.f);
        EXPECT_EQ(light->getShadowIntensity(), 0.f);
        EXPECT_EQ(light->getShadowMode(), UInt32(Light::CAST_SHADOW_AUTO));
    }
    EXPECT_EQ(dir->getDirection(), Vec3f(0, 0, 1));
    EXPECT_EQ(point->getPosition(), Pnt3f(0, 0, 0));
    EXPECT_EQ(spot->getDirection(), Vec3f(0, 0, 1));
    EXPECT_EQ(spot->getSpotCutOff(), 0.f);
    EXPECT_EQ(spot->getSpotExponent(), 0.f);
    spot->setSpotCutOffDeg(90.f);
    EXPECT_FLOAT_EQ(spot->getSpotCutOff(), Pi / 2.f);
    EXPECT_FLOAT_EQ(spot->getSpotCutOffDeg(), 90.f);
    EXPECT_EQ(polygon->getCullFace(), GLenum(GL_NONE));
    EXPECT_EQ(polygon->getFrontFace(), GLenum(GL_CCW));
    EXPECT_EQ(polygon->getFrontMode(), GLenum(GL_FILL));
    EXPECT_EQ(polygon->getBackMode(), GLenum(GL_FILL));
    EXPECT_EQ(transform->getMatrix(), Matrix());
    for (FieldContainerPtr p : {FieldContainerPtr(dir), FieldContainerPtr(point), FieldContainerPtr(spot),
                                FieldContainerPtr(polygon), FieldContainerPtr(transform)})
        subRefCP(p);
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
    EXPECT_NE(capture.text().find("destroyed while still a child of node"), std::string::npos) << capture.text();
    subRefCP(parent);
}

TEST_F(FieldContainerTest, ContainerIdsAreUniqueAndNeverReused)
{
    NodePtr a = Node::create();
    UInt32 idA = getContainerId(a);
    subRefCP(a);
    NodePtr b = Node::create();
    EXPECT_NE(getContainerId(b), idA);
    EXPECT_NE(getContainerId(b), 0u);
    EXPECT_EQ(getContainerId(NullFC), 0u);
    subRefCP(b);
}
} // namespace
