#include "OsgTest.h"

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGSimpleGeometry.h>
#include <OpenSG/OSGSimpleMaterial.h>

#include <osgTestSupport/LogCapture.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

OSG_USING_NAMESPACE
using Morvek::osgTestSupport::LogCapture;

namespace
{
class SimpleGeometryTest : public OsgTest
{
};

struct Box
{
    Pnt3f min, max;
};

Box boundsOf(const GeometryPtr& geo)
{
    BoxVolume v;
    for (const Pnt3f& p : geo->getPositions())
        v.extendBy(p);
    return Box{v.getMin(), v.getMax()};
}

// Invariants every builder result must satisfy: unit normals, and every non-degenerate
// triangle wound counter-clockwise seen from the side its vertex normals point to.
void checkSurface(const GeometryPtr& geo, const char* name)
{
    ASSERT_EQ(geo->getNormals().size(), geo->getPositions().size()) << name;
    for (const Vec3f& n : geo->getNormals())
        ASSERT_NEAR(n.length(), 1.f, 1e-5f) << name << ": normal " << n;
    const std::vector<UInt32> tris = geo->getTriangleIndices();
    ASSERT_EQ(tris.size() % 3, 0u) << name;
    for (std::size_t t = 0; t < tris.size(); t += 3)
    {
        const Pnt3f& a = geo->getPositions()[tris[t]];
        const Pnt3f& b = geo->getPositions()[tris[t + 1]];
        const Pnt3f& c = geo->getPositions()[tris[t + 2]];
        const Vec3f face = (b - a).cross(c - a);
        if (face.length() < 1e-7f)
            continue; // the strip's triangles at a cone tip have no area
        const Vec3f vertexNormals = geo->getNormals()[tris[t]] + geo->getNormals()[tris[t + 1]] +
                                    geo->getNormals()[tris[t + 2]];
        ASSERT_GT(face.dot(vertexNormals), 0.f) << name << ": triangle " << t / 3 << " faces inward";
    }
}

TEST_F(SimpleGeometryTest, BuildersProduceClosedOutwardSurfaces)
{
    struct Row
    {
        const char* name;
        std::function<GeometryPtr()> build;
        UInt32 vertices;  // 2 (sides + 1) for the side, `sides` per cap
        UInt32 triangles; // 2 sides for the side, sides - 2 per cap
        Box bounds;
    };
    const Real32 s = std::sin(Pi / 8.f * 4.f); // 16 sides: a vertex lies on every axis
    const Row rows[] = {
        {"arrow head cone", [] { return makeConeGeo(0.375f, 0.3f, 16, true, true); }, 34 + 16, 32 + 14,
         {Pnt3f(-0.3f * s, -0.1875f, -0.3f), Pnt3f(0.3f * s, 0.1875f, 0.3f)}},
        {"cone without bottom", [] { return makeConeGeo(0.8f, 0.5f, 16, true, false); }, 34, 32,
         {Pnt3f(-0.5f, -0.4f, -0.5f), Pnt3f(0.5f, 0.4f, 0.5f)}},
        {"cone bottom only", [] { return makeConeGeo(2.f, 1.f, 5, false, true); }, 5, 3,
         {Pnt3f(-std::sin(2.f * Pi / 5.f), -1.f, -1.f), Pnt3f(std::sin(2.f * Pi / 5.f), -1.f, std::cos(Pi / 5.f))}},
        {"degenerate cone of radius 0", [] { return makeConeGeo(0.8f, 0.f, 16, true, true); }, 34, 32,
         {Pnt3f(0, -0.4f, 0), Pnt3f(0, 0.4f, 0)}},
        {"arrow shaft cylinder", [] { return makeCylinderGeo(0.75f, 0.15f, 16, true, true, true); }, 34 + 32,
         32 + 28, {Pnt3f(-0.15f, -0.375f, -0.15f), Pnt3f(0.15f, 0.375f, 0.15f)}},
        {"frustum", [] { return makeConicalFrustumGeo(1.f, 0.25f, 0.5f, 4, true, true, true); }, 10 + 8, 8 + 4,
         {Pnt3f(-0.5f, -0.5f, -0.5f), Pnt3f(0.5f, 0.5f, 0.5f)}},
        {"sphere depth 0", [] { return makeSphereGeo(0, 1.f); }, 12, 20,
         {Pnt3f(-0.8506508f, -0.8506508f, -0.8506508f), Pnt3f(0.8506508f, 0.8506508f, 0.8506508f)}},
        {"sphere depth 2", [] { return makeSphereGeo(2, 0.2f); }, 162, 320,
         {Pnt3f(-0.2f, -0.2f, -0.2f), Pnt3f(0.2f, 0.2f, 0.2f)}},
    };
    for (const Row& row : rows)
    {
        GeometryPtr geo = row.build();
        ASSERT_NE(geo, NullFC) << row.name;
        EXPECT_EQ(geo.getRefCount(), 0) << row.name;
        EXPECT_EQ(geo->getPositions().size(), row.vertices) << row.name;
        EXPECT_EQ(geo->getNumTriangles(), row.triangles) << row.name;
        const Box box = boundsOf(geo);
        for (UInt32 i = 0; i < 3; ++i)
        {
            EXPECT_NEAR(box.min[i], row.bounds.min[i], 2e-3f) << row.name << " min " << i;
            EXPECT_NEAR(box.max[i], row.bounds.max[i], 2e-3f) << row.name << " max " << i;
        }
        checkSurface(geo, row.name);
        EXPECT_EQ(geo->getMaterial(), getDefaultMaterial()) << row.name;
        subRefCP(geo);
    }
}

TEST_F(SimpleGeometryTest, ConeTipIsAtHalfHeightAndTheRimStartsAtMinusZ)
{
    GeometryPtr cone = makeConeGeo(0.8f, 0.5f, 16, true, true);
    const MField<Pnt3f>& p = cone->getPositions();
    // Side strip: the top ring (all at the tip) comes first, then the bottom ring.
    EXPECT_EQ(p[0], Pnt3f(0, 0.4f, 0));
    EXPECT_TRUE(p[17].equals(Pnt3f(0, -0.4f, -0.5f), 1e-6f)) << p[17];
    EXPECT_TRUE(p[17 + 4].equals(Pnt3f(0.5f, -0.4f, 0), 1e-6f)) << "a quarter round reaches +x: " << p[21];
    for (const Pnt3f& q : p)
        EXPECT_LE(q[1], 0.4f);
    subRefCP(cone);
}

TEST_F(SimpleGeometryTest, FrustumArraysStayExactWhateverShapesCameBefore)
{
    // Builders with other shapes in between (more than the builder keeps at hand) must not
    // leave their arrays behind: each cap vertex is exactly sin and -cos of its own angle,
    // times the radius. Each geometry owns its arrays: scribbling on one changes no later one.
    struct Row
    {
        const char* name;
        UInt16 sides;
    };
    const Row rows[] = {{"five", 5},    {"seven", 7},       {"nine", 9},         {"eleven", 11},
                        {"thirteen", 13}, {"five again", 5}, {"nine again", 9}};
    std::vector<Pnt3f> firstFive;
    for (const Row& row : rows)
    {
        const Real32 radius = 0.75f;
        GeometryPtr geo = makeCylinderGeo(2.f, radius, row.sides, true, true, true);
        ASSERT_NE(geo, NullFC) << row.name;
        const MField<Pnt3f>& p = geo->getPositions();
        const UInt32 sides = row.sides;
        ASSERT_EQ(p.size(), 2 * (sides + 1) + 2 * sides) << row.name;
        const Real32 delta = 2.f * Pi / Real32(sides);
        for (UInt32 j = 0; j < sides; ++j)
        {
            const Real32 up = -1.f * Real32(j) * delta;  // top cap runs the other way round
            const Real32 down = Real32(j) * delta;
            const Pnt3f& top = p[2 * (sides + 1) + j];
            const Pnt3f& bottom = p[2 * (sides + 1) + sides + j];
            EXPECT_EQ(top, Pnt3f(std::sin(up) * radius, 1.f, -std::cos(up) * radius)) << row.name << " j=" << j;
            EXPECT_EQ(bottom, Pnt3f(std::sin(down) * radius, -1.f, -std::cos(down) * radius))
                << row.name << " j=" << j;
            EXPECT_EQ(p[j], Pnt3f(std::sin(down) * radius, 1.f, -std::cos(down) * radius)) << row.name << " j=" << j;
        }
        if (row.sides == 5)
        {
            std::vector<Pnt3f> all(p.begin(), p.end());
            if (firstFive.empty())
                firstFive = all;
            else
                EXPECT_EQ(all, firstFive) << row.name;
        }
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

TEST_F(SimpleGeometryTest, SphereVerticesLieOnTheSphere)
{
    GeometryPtr sphere = makeSphereGeo(3, 0.5f);
    EXPECT_EQ(sphere->getPositions().size(), 10u * 64u + 2u);
    EXPECT_EQ(sphere->getNumTriangles(), 20u * 64u);
    for (const Pnt3f& q : sphere->getPositions())
        ASSERT_NEAR(q.subZero().length(), 0.5f, 1e-6f);
    subRefCP(sphere);
}

TEST_F(SimpleGeometryTest, InvalidParametersGiveNullAndAWarning)
{
    struct Row
    {
        const char* name;
        std::function<GeometryPtr()> build;
        const char* warning;
    };
    const Real32 negativeCutOff = -0.5f;
    const Row rows[] = {
        {"zero height", [] { return makeConeGeo(0.f, 1.f, 16, true, true); }, "height=0"},
        {"negative height", [] { return makeCylinderGeo(-1.f, 1.f, 16, true, true, true); }, "height=-1"},
        {"negative radius from a negative cut-off",
         [negativeCutOff] { return makeConeGeo(0.8f, 0.8f * std::tan(negativeCutOff / 2.f), 16, true, true); },
         "botRadius=-0.2"},
        {"radius from a cut-off of pi", [] { return makeConeGeo(0.8f, 0.8f * std::tan(Pi / 2.f), 16, true, true); },
         "botRadius=-"},
        {"negative top radius", [] { return makeConicalFrustumGeo(1.f, -1.f, 1.f, 16, true, true, true); },
         "topRadius=-1"},
        {"two sides", [] { return makeConeGeo(1.f, 1.f, 2, true, true); }, "sides=2"},
        {"sphere too deep", [] { return makeSphereGeo(9, 1.f); }, "makeSphere: depth 9"},
    };
    for (const Row& row : rows)
    {
        LogCapture capture;
        EXPECT_EQ(row.build(), NullFC) << row.name;
        EXPECT_NE(capture.text().find(row.warning), std::string::npos) << row.name << ": " << capture.text();
        EXPECT_EQ(capture.text().rfind("WARNING:  ", 0), 0u) << row.name << ": " << capture.text();
    }
    LogCapture capture;
    EXPECT_EQ(makeCone(0.f, 1.f, 16, true, true), NullFC);
    EXPECT_EQ(makeCylinder(1.f, 1.f, 0, true, true, true), NullFC);
    EXPECT_EQ(capture.lines().size(), 2u);
}

TEST_F(SimpleGeometryTest, NaNRadiusPassesTheCheck)
{
    GeometryPtr cone = makeConeGeo(0.8f, std::numeric_limits<Real32>::quiet_NaN(), 16, true, true);
    ASSERT_NE(cone, NullFC);
    EXPECT_TRUE(std::isnan(cone->getPositions()[17][0]));
    subRefCP(cone);
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
    EXPECT_EQ(simple->getAmbient(), Color3f(0.1f, 0.1f, 0.1f));
    EXPECT_EQ(simple->getSpecular(), Color3f(1.f, 1.f, 1.f));
    EXPECT_EQ(simple->getShininess(), 20.f);

    subRefCP(a);
    subRefCP(b);
    EXPECT_EQ(shared.getRefCount(), materialRefs);
    EXPECT_EQ(getLiveContainerCount(), before);
}
} // namespace
