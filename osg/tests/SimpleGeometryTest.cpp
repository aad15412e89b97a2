#include "OsgTest.h"

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGSimpleMaterial.h>

#include <osgTestSupport/LogCapture.h>

#include <cmath>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::LogCapture;

namespace {
using SimpleGeometryTest = OsgTest;

// Invariants every builder result must satisfy: unit normals, and every non-degenerate
// triangle wound counter-clockwise seen from the side its vertex normals point to.
void checkSurface(const GeometryPtr& geo, const char* name)
{
    ASSERT_EQ(geo->getNormals().size(), geo->getPositions().size()) << name;
    for (const Vec3f& n : geo->getNormals())
        ASSERT_NEAR(n.length(), 1.f, 1e-5f) << name << ": normal " << n;
    const std::vector<UInt32> tris = geo->getTriangleIndices();
    ASSERT_EQ(tris.size() % 3, 0u) << name;
    for (std::size_t t = 0; t < tris.size(); t += 3) {
        const Pnt3f& a = geo->getPositions()[tris[t]];
        const Pnt3f& b = geo->getPositions()[tris[t + 1]];
        const Pnt3f& c = geo->getPositions()[tris[t + 2]];
        const Vec3f face = (b - a).cross(c - a);
        if (face.length() < 1e-7f)
            continue; // the strip's triangles at a cone tip have no area
        const Vec3f vertexNormals = geo->getNormals()[tris[t]] + geo->getNormals()[tris[t + 1]] +
                                    geo->getNormals()[tris[t + 2]];
        ASSERT_GT(face.dot(vertexNormals), 0.f)
            << name << ": triangle " << t / 3 << " faces inward";
    }
}

TEST_F(SimpleGeometryTest, BuildersProduceClosedOutwardSurfaces)
{
    struct Row {
        const char* name;
        GeometryPtr geo;
        UInt32 vertices;  // 2 (sides + 1) for the side, `sides` per cap
        UInt32 triangles; // 2 sides for the side, sides - 2 per cap
        Pnt3f min, max;
    };
    const Row rows[] = {
        {"arrow head cone", makeConeGeo(0.375f, 0.3f, 16, true, true), 34 + 16, 32 + 14,
         Pnt3f(-0.3f, -0.1875f, -0.3f), Pnt3f(0.3f, 0.1875f, 0.3f)},
        {"cone of radius 0", makeConeGeo(0.8f, 0.f, 16, true, true), 34, 32, Pnt3f(0, -0.4f, 0),
         Pnt3f(0, 0.4f, 0)},
        {"arrow shaft cylinder", makeCylinderGeo(0.75f, 0.15f, 16, true, true, true), 34 + 32,
         32 + 28, Pnt3f(-0.15f, -0.375f, -0.15f), Pnt3f(0.15f, 0.375f, 0.15f)},
        {"frustum", makeConicalFrustumGeo(1.f, 0.25f, 0.5f, 4, true, true, true), 10 + 8, 8 + 4,
         Pnt3f(-0.5f, -0.5f, -0.5f), Pnt3f(0.5f, 0.5f, 0.5f)},
        {"sphere", makeSphereGeo(2, 0.2f), 162, 320, Pnt3f(-0.2f, -0.2f, -0.2f),
         Pnt3f(0.2f, 0.2f, 0.2f)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const GeometryPtr& geo = row.geo;
        ASSERT_NE(geo, NullFC);
        EXPECT_EQ(geo.getRefCount(), 0);
        EXPECT_EQ(geo->getPositions().size(), row.vertices);
        EXPECT_EQ(geo->getNumTriangles(), row.triangles);
        BoxVolume box;
        for (const Pnt3f& p : geo->getPositions())
            box.extendBy(p);
        EXPECT_TRUE(box.getMin().equals(row.min, 2e-3f)) << box.getMin();
        EXPECT_TRUE(box.getMax().equals(row.max, 2e-3f)) << box.getMax();
        checkSurface(geo, row.name);
        EXPECT_EQ(geo->getMaterial(), getDefaultMaterial());
    }
    for (const Row& row : rows)
        subRefCP(row.geo);
    GeometryPtr sphere = makeSphereGeo(3, 0.5f);
    for (const Pnt3f& q : sphere->getPositions())
        ASSERT_NEAR(q.subZero().length(), 0.5f, 1e-6f);
    subRefCP(sphere);
}

// Builders keep the last few shapes' arrays at hand. With more shapes in between than that,
// each cap vertex is still exactly sin and -cos of its own angle times the radius, and
// scribbling on one geometry changes no later one.
TEST_F(SimpleGeometryTest, FrustumArraysStayExactWhateverShapesCameBefore)
{
    std::vector<Pnt3f> firstFive;
    for (const UInt32 sides : {5, 7, 9, 11, 13, 5, 9}) {
        const Real32 radius = 0.75f;
        GeometryPtr geo = makeCylinderGeo(2.f, radius, UInt16(sides), true, true, true);
        ASSERT_NE(geo, NullFC) << sides;
        const MField<Pnt3f>& p = geo->getPositions();
        ASSERT_EQ(p.size(), 2 * (sides + 1) + 2 * sides) << sides;
        const Real32 delta = 2.f * Pi / Real32(sides);
        for (UInt32 j = 0; j < sides; ++j) {
            const Real32 up = -1.f * Real32(j) * delta; // the top cap runs the other way round
            const Real32 down = Real32(j) * delta;
            const Pnt3f top(std::sin(up) * radius, 1.f, -std::cos(up) * radius);
            const Pnt3f bottom(std::sin(down) * radius, -1.f, -std::cos(down) * radius);
            EXPECT_EQ(p[2 * (sides + 1) + j], top) << sides << " sides, j=" << j;
            EXPECT_EQ(p[2 * (sides + 1) + sides + j], bottom) << sides << " sides, j=" << j;
            EXPECT_EQ(p[j], Pnt3f(bottom[0], 1.f, bottom[2])) << sides << " sides, j=" << j;
        }
        if (sides == 5 && !firstFive.empty()) {
            EXPECT_EQ(std::vector<Pnt3f>(p.begin(), p.end()), firstFive);
        }
        if (sides == 5)
            firstFive.assign(p.begin(), p.end());
        geo->getPositions()[0] = Pnt3f(9.f, 9.f, 9.f);
        subRefCP(geo);
    }
}

TEST_F(SimpleGeometryTest, SameShapesShareTheirArraysUntilOneIsWritten)
{
    NodePtr a = makeCone(0.375f, 0.3f, 16, true, true);
    NodePtr b = makeCone(0.375f, 0.3f, 16, true, true);
    GeometryPtr ga = GeometryPtr::dcast(a->getCore());
    GeometryPtr gb = GeometryPtr::dcast(b->getCore());
    const MField<Pnt3f>& pa = ga->getPositions();
    const MField<Pnt3f>& pb = gb->getPositions();
    ASSERT_TRUE(pa.isShared());
    EXPECT_EQ(pa.getValues().data(), pb.getValues().data());
    // Reading, boxes included, keeps the sharing.
    a->updateVolume();
    EXPECT_TRUE(pa.isShared());
    const Pnt3f tip = pb[0];

    ga->getPositions()[0] = Pnt3f(5.f, 5.f, 5.f);
    EXPECT_FALSE(pa.isShared());
    EXPECT_EQ(pa[0], Pnt3f(5.f, 5.f, 5.f));
    EXPECT_EQ(pb[0], tip);
    EXPECT_TRUE(pb.isShared());
    EXPECT_EQ(pa.size(), pb.size());
    subRefCP(a);
    subRefCP(b);
}

TEST_F(SimpleGeometryTest, InvalidParametersGiveNullAndAWarning)
{
    LogCapture capture;
    const std::pair<FieldContainerPtr, const char*> rows[] = {
        {makeConeGeo(0.f, 1.f, 16, true, true), "height=0"},
        {makeCylinderGeo(-1.f, 1.f, 16, true, true, true), "height=-1"},
        {makeConeGeo(0.8f, 0.8f * std::tan(-0.5f / 2.f), 16, true, true), "botRadius=-0.2"},
        {makeConeGeo(0.8f, 0.8f * std::tan(Pi / 2.f), 16, true, true), "botRadius=-"},
        {makeConicalFrustumGeo(1.f, -1.f, 1.f, 16, true, true, true), "topRadius=-1"},
        {makeConeGeo(1.f, 1.f, 2, true, true), "sides=2"},
        {makeSphereGeo(9, 1.f), "makeSphere: depth 9"},
        {makeCylinder(1.f, 1.f, 0, true, true, true), "sides=0"},
    };
    const std::vector<std::string> lines = capture.lines();
    ASSERT_EQ(lines.size(), std::size(rows)) << capture.text();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(rows[i].first, NullFC) << rows[i].second;
        EXPECT_EQ(lines[i].rfind("WARNING:  ", 0), 0u) << lines[i];
        EXPECT_NE(lines[i].find(rows[i].second), std::string::npos) << lines[i];
    }
}

TEST_F(SimpleGeometryTest, NodeVariantsHoldTheGeometryAndShareTheDefaultMaterial)
{
    MaterialPtr shared = getDefaultMaterial();
    ASSERT_NE(shared, NullFC);
    const Int32 materialRefs = shared.getRefCount();
    const UInt32 before = getLiveContainerCount();

    NodePtr a = makeCone(1.f, 0.5f, 8, true, true);
    NodePtr b = makeSphere(1, 1.f);
    EXPECT_EQ(a.getRefCount(), 0);
    GeometryPtr geo = GeometryPtr::dcast(a->getCore());
    ASSERT_NE(geo, NullFC);
    EXPECT_EQ(geo.getRefCount(), 1) << "held by its node";
    EXPECT_EQ(shared.getRefCount(), materialRefs + 2);
    EXPECT_EQ(getLiveContainerCount(), before + 4);

    SimpleMaterialPtr simple = SimpleMaterialPtr::dcast(shared);
    ASSERT_NE(simple, NullFC);
    EXPECT_EQ(simple->getDiffuse(), Color3f(0.7f, 0.7f, 0.5f));

    subRefCP(a);
    subRefCP(b);
    EXPECT_EQ(shared.getRefCount(), materialRefs);
    EXPECT_EQ(getLiveContainerCount(), before);
}
} // namespace
