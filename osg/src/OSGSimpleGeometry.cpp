#include <OpenSG/OSGSimpleGeometry.h>

#include <OpenSG/OSGBaseFunctions.h>
#include <OpenSG/OSGGL.h>
#include <OpenSG/OSGLog.h>
#include <OpenSG/OSGSimpleMaterial.h>

#include <array>
#include <map>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

OSG_BEGIN_NAMESPACE

namespace {
// Deepest sphere subdivision built: 20 * 4^8 = 1 310 720 triangles.
constexpr UInt16 maxSphereDepth = 8;

std::mutex defaultMaterialMutex;
SimpleMaterialPtr defaultMaterial;
SimpleMaterialPtr defaultUnlitMaterial;

// A shared material that keeps one reference of its own and is not counted as live.
SimpleMaterialPtr makeSharedMaterial(const Color3f& diffuse, const Color3f& ambient,
                                     const Color3f& specular, Real32 shininess, bool lit)
{
    SimpleMaterialPtr material = SimpleMaterialBase::create();
    if (material == NullFC)
        return material;
    beginEditCP(material);
    material->setDiffuse(diffuse);
    material->setAmbient(ambient);
    material->setSpecular(specular);
    material->setShininess(shininess);
    material->setLit(lit);
    endEditCP(material);
    setContainerPermanent(material, true);
    addRefCP(material);
    return material;
}

// sin and -cos of the angles a frustum of `sides` sides uses: its columns (j * delta, j from 0
// to sides) and its top cap (-j * delta, j below sides; the bottom cap shares the columns).
struct FrustumAngles {
    std::vector<std::pair<Real32, Real32>> columns;
    std::vector<std::pair<Real32, Real32>> topCap;
};

FrustumAngles frustumAngles(UInt16 sides)
{
    FrustumAngles table;
    const Real32 delta = 2.f * Pi / Real32(sides);
    table.columns.resize(UInt32(sides) + 1);
    for (UInt32 j = 0; j <= sides; ++j) {
        const Real32 beta = Real32(j) * delta;
        table.columns[j] = std::make_pair(osgsin(beta), -osgcos(beta));
    }
    table.topCap.resize(sides);
    for (UInt32 j = 0; j < sides; ++j) {
        const Real32 beta = -1.f * Real32(j) * delta;
        table.topCap[j] = std::make_pair(osgsin(beta), -osgcos(beta));
    }
    return table;
}

NodePtr nodeFor(const GeometryPtr& geo)
{
    if (geo == NullFC)
        return NullFC;
    NodePtr node = Node::create();
    if (node == NullFC) {
        // Nothing holds the geometry yet: release it so it does not leak.
        subRefCP(geo);
        return NullFC;
    }
    node->setCore(geo);
    return node;
}

void finishGeometry(const GeometryPtr& geo)
{
    geo->setMaterial(getDefaultMaterial());
    endEditCP(geo);
}
} // namespace

MaterialPtr getDefaultMaterial()
{
    std::lock_guard<std::mutex> guard(defaultMaterialMutex);
    if (defaultMaterial == NullFC)
        defaultMaterial = makeSharedMaterial(Color3f(0.7f, 0.7f, 0.5f), Color3f(0.1f, 0.1f, 0.1f),
                                             Color3f(1.f, 1.f, 1.f), 20.f, true);
    return defaultMaterial;
}

MaterialPtr getDefaultUnlitMaterial()
{
    std::lock_guard<std::mutex> guard(defaultMaterialMutex);
    if (defaultUnlitMaterial == NullFC)
        defaultUnlitMaterial =
            makeSharedMaterial(Color3f(1.f, 1.f, 0.5f), Color3f(), Color3f(), 1.f, false);
    return defaultUnlitMaterial;
}

void releaseDefaultMaterials()
{
    std::lock_guard<std::mutex> guard(defaultMaterialMutex);
    // Geometries still using them keep them alive; they stay uncounted until freed.
    clearRefCP(defaultMaterial);
    clearRefCP(defaultUnlitMaterial);
}

namespace {
// The arrays of one frustum, as built.
struct FrustumArrays {
    MField<Pnt3f>::StorageType positions;
    MField<Vec3f>::StorageType normals;
    MField<Vec2f>::StorageType texCoords;
    MFUInt32::StorageType indices;
    MFUInt8::StorageType types;
    MFUInt32::StorageType lengths;
};

void buildFrustumArrays(Real32 height, Real32 topRadius, Real32 botRadius, UInt16 sides,
                        bool doSide, bool doTop, bool doBottom, FrustumArrays& arrays)
{
    const FrustumAngles angles = frustumAngles(sides);
    const Real32 halfHeight = height / 2.f;
    // Slope of the side: the outward normal is (x, incl, z) scaled to unit length.
    const Real32 incl = (botRadius - topRadius) / height;
    const Real32 nlen = 1.f / osgsqrt(1.f + incl * incl);

    // Sized up front and written in place: no regrowth, and no temporary vector per vertex
    // (storing one and copying it back stalls on every vertex).
    const bool topCap = doTop && topRadius > 0;
    const bool bottomCap = doBottom && botRadius > 0;
    const UInt32 ringSize = UInt32(sides) + 1;
    const UInt32 vertexCount =
        (doSide ? 2 * ringSize : 0) + (UInt32(topCap) + UInt32(bottomCap)) * sides;
    auto& positions = arrays.positions;
    auto& normals = arrays.normals;
    auto& texCoords = arrays.texCoords;
    auto& indices = arrays.indices;
    positions.resize(vertexCount);
    normals.resize(vertexCount);
    texCoords.resize(vertexCount);
    indices.resize(vertexCount);
    arrays.types.clear();
    arrays.lengths.clear();
    UInt32 v = 0;
    UInt32 i = 0;

    if (doSide) {
        const UInt32 base = v;
        // Both rings share the angles of their columns.
        const std::vector<std::pair<Real32, Real32>>& columns = angles.columns;
        for (UInt32 ring = 0; ring < 2; ++ring) {
            const Real32 radius = ring == 0 ? topRadius : botRadius;
            const Real32 y = ring == 0 ? halfHeight : -halfHeight;
            for (UInt32 j = 0; j <= sides; ++j, ++v) {
                const Real32 x = columns[j].first;
                const Real32 z = columns[j].second;
                positions[v].setValues(x * radius, y, z * radius);
                normals[v].setValues(x * nlen, incl * nlen, z * nlen);
                texCoords[v].setValues(1.f - Real32(j) / Real32(sides), ring == 0 ? 1.f : 0.f);
            }
        }
        // Bottom then top vertex of each column: counter-clockwise seen from outside.
        for (UInt32 j = 0; j <= sides; ++j) {
            indices[i++] = base + ringSize + j;
            indices[i++] = base + j;
        }
        arrays.types.push_back(GL_TRIANGLE_STRIP);
        arrays.lengths.push_back(2 * ringSize);
    }

    for (UInt32 cap = 0; cap < 2; ++cap) {
        const bool top = cap == 0;
        if (!(top ? topCap : bottomCap))
            continue;
        const Real32 radius = top ? topRadius : botRadius;
        const UInt32 base = v;
        // The top cap runs clockwise in angle (seen from below), the bottom one
        // counter-clockwise, so both face outward.
        const std::vector<std::pair<Real32, Real32>>& ring = top ? angles.topCap : angles.columns;
        for (UInt32 j = 0; j < sides; ++j, ++v) {
            const Real32 x = ring[j].first;
            const Real32 z = ring[j].second;
            positions[v].setValues(x * radius, top ? halfHeight : -halfHeight, z * radius);
            normals[v].setValues(0.f, top ? 1.f : -1.f, 0.f);
            texCoords[v].setValues(x / 2.f + .5f, z / 2.f + .5f);
            indices[i++] = base + j;
        }
        arrays.types.push_back(GL_POLYGON);
        arrays.lengths.push_back(sides);
    }
}

// The arrays of one frustum, read-only, for geometries to share until they write to them.
template <class T> using SharedArray = std::shared_ptr<const typename MField<T>::StorageType>;
struct SharedFrustum {
    SharedArray<Pnt3f> positions;
    SharedArray<Vec3f> normals;
    SharedArray<Vec2f> texCoords;
    SharedArray<UInt32> indices;
    SharedArray<UInt8> types;
    SharedArray<UInt32> lengths;
};

template <class T> SharedArray<T> share(typename MField<T>::StorageType&& values)
{
    return std::make_shared<const typename MField<T>::StorageType>(std::move(values));
}

// The arrays of a frustum with these parameters. Light proxies ask for the same few shapes
// over and over, so the last few are kept per thread and shared instead of computed again:
// a new geometry then writes none of its vertices, and a shared array holds the same bits as
// a fresh computation.
const SharedFrustum& frustumArrays(Real32 height, Real32 topRadius, Real32 botRadius, UInt16 sides,
                                   bool doSide, bool doTop, bool doBottom)
{
    struct Entry {
        Real32 height = 0, topRadius = 0, botRadius = 0;
        UInt16 sides = 0;
        bool doSide = false, doTop = false, doBottom = false;
        SharedFrustum arrays;
    };
    thread_local std::array<Entry, 4> entries;
    thread_local UInt32 next = 0;
    for (Entry& e : entries)
        if (e.sides == sides && e.height == height && e.topRadius == topRadius &&
            e.botRadius == botRadius && e.doSide == doSide && e.doTop == doTop &&
            e.doBottom == doBottom)
            return e.arrays;
    Entry& e = entries[next];
    next = (next + 1) % UInt32(entries.size());
    e.sides = 0; // invalid until filled
    FrustumArrays built;
    buildFrustumArrays(height, topRadius, botRadius, sides, doSide, doTop, doBottom, built);
    e.arrays.positions = share<Pnt3f>(std::move(built.positions));
    e.arrays.normals = share<Vec3f>(std::move(built.normals));
    e.arrays.texCoords = share<Vec2f>(std::move(built.texCoords));
    e.arrays.indices = share<UInt32>(std::move(built.indices));
    e.arrays.types = share<UInt8>(std::move(built.types));
    e.arrays.lengths = share<UInt32>(std::move(built.lengths));
    e.height = height;
    e.topRadius = topRadius;
    e.botRadius = botRadius;
    e.doSide = doSide;
    e.doTop = doTop;
    e.doBottom = doBottom;
    e.sides = sides;
    return e.arrays;
}
} // namespace

GeometryPtr makeConicalFrustumGeo(Real32 height, Real32 topRadius, Real32 botRadius, UInt16 sides,
                                  bool doSide, bool doTop, bool doBottom)
{
    if (height <= 0 || topRadius < 0 || botRadius < 0 || sides < 3) {
        SWARNING << "makeConicalFrustum: illegal parameters height=" << height
                 << ", topRadius=" << topRadius << ", botRadius=" << botRadius
                 << ", sides=" << sides << std::endl;
        return NullFC;
    }
    GeometryPtr geo = GeometryBase::create();
    if (geo == NullFC)
        return NullFC;

    const SharedFrustum& arrays =
        frustumArrays(height, topRadius, botRadius, sides, doSide, doTop, doBottom);
    geo->getPositions().shareValues(arrays.positions);
    geo->getNormals().shareValues(arrays.normals);
    geo->getTexCoords().shareValues(arrays.texCoords);
    geo->getIndices().shareValues(arrays.indices);
    geo->getTypes().shareValues(arrays.types);
    geo->getLengths().shareValues(arrays.lengths);

    finishGeometry(geo);
    return geo;
}

NodePtr makeConicalFrustum(Real32 height, Real32 topRadius, Real32 botRadius, UInt16 sides,
                           bool doSide, bool doTop, bool doBottom)
{
    return nodeFor(
        makeConicalFrustumGeo(height, topRadius, botRadius, sides, doSide, doTop, doBottom));
}

GeometryPtr makeConeGeo(Real32 height, Real32 botRadius, UInt16 sides, bool doSide, bool doBottom)
{
    return makeConicalFrustumGeo(height, 0, botRadius, sides, doSide, false, doBottom);
}

NodePtr makeCone(Real32 height, Real32 botRadius, UInt16 sides, bool doSide, bool doBottom)
{
    return nodeFor(makeConeGeo(height, botRadius, sides, doSide, doBottom));
}

GeometryPtr makeCylinderGeo(Real32 height, Real32 radius, UInt16 sides, bool doSide, bool doTop,
                            bool doBottom)
{
    return makeConicalFrustumGeo(height, radius, radius, sides, doSide, doTop, doBottom);
}

NodePtr makeCylinder(Real32 height, Real32 radius, UInt16 sides, bool doSide, bool doTop,
                     bool doBottom)
{
    return nodeFor(makeCylinderGeo(height, radius, sides, doSide, doTop, doBottom));
}

GeometryPtr makeSphereGeo(UInt16 depth, Real32 radius)
{
    if (depth > maxSphereDepth) {
        SWARNING << "makeSphere: depth " << depth << " above the supported " << maxSphereDepth
                 << std::endl;
        return NullFC;
    }
    GeometryPtr geo = GeometryBase::create();
    if (geo == NullFC)
        return NullFC;

    // Unit icosahedron: the corners of three orthogonal golden rectangles.
    const Real32 phi = (1.f + osgsqrt(5.f)) / 2.f;
    std::vector<Vec3f> dirs = {Vec3f(-1, phi, 0),  Vec3f(1, phi, 0),   Vec3f(-1, -phi, 0),
                               Vec3f(1, -phi, 0),  Vec3f(0, -1, phi),  Vec3f(0, 1, phi),
                               Vec3f(0, -1, -phi), Vec3f(0, 1, -phi),  Vec3f(phi, 0, -1),
                               Vec3f(phi, 0, 1),   Vec3f(-phi, 0, -1), Vec3f(-phi, 0, 1)};
    for (Vec3f& d : dirs)
        d.normalize();
    std::vector<std::array<UInt32, 3>> faces = {
        {0, 11, 5},  {0, 5, 1},  {0, 1, 7},  {0, 7, 10}, {0, 10, 11}, {1, 5, 9}, {5, 11, 4},
        {11, 10, 2}, {10, 7, 6}, {7, 1, 8},  {3, 9, 4},  {3, 4, 2},   {3, 2, 6}, {3, 6, 8},
        {3, 8, 9},   {4, 9, 5},  {2, 4, 11}, {6, 2, 10}, {8, 6, 7},   {9, 8, 1}};

    for (UInt16 level = 0; level < depth; ++level) {
        // Each edge gets one shared midpoint, pushed out onto the sphere.
        std::map<std::pair<UInt32, UInt32>, UInt32> midpoints;
        auto midpoint = [&](UInt32 a, UInt32 b) {
            std::pair<UInt32, UInt32> key(osgMin(a, b), osgMax(a, b));
            auto found = midpoints.find(key);
            if (found != midpoints.end())
                return found->second;
            Vec3f m = dirs[a] + dirs[b];
            m.normalize();
            dirs.push_back(m);
            UInt32 index = UInt32(dirs.size() - 1);
            midpoints.emplace(key, index);
            return index;
        };
        std::vector<std::array<UInt32, 3>> finer;
        finer.reserve(faces.size() * 4);
        for (const std::array<UInt32, 3>& f : faces) {
            UInt32 ab = midpoint(f[0], f[1]);
            UInt32 bc = midpoint(f[1], f[2]);
            UInt32 ca = midpoint(f[2], f[0]);
            finer.push_back({f[0], ab, ca});
            finer.push_back({f[1], bc, ab});
            finer.push_back({f[2], ca, bc});
            finer.push_back({ab, bc, ca});
        }
        faces.swap(finer);
    }

    MField<Pnt3f>& positions = geo->getPositions();
    MField<Vec3f>& normals = geo->getNormals();
    MField<Vec2f>& texCoords = geo->getTexCoords();
    positions.reserve(UInt32(dirs.size()));
    for (const Vec3f& d : dirs) {
        positions.push_back(Pnt3f(d[0] * radius, d[1] * radius, d[2] * radius));
        normals.push_back(d);
        texCoords.push_back(Vec2f(osgatan2(d[0], d[2]) / (2.f * Pi) + .5f, d[1] / 2.f + .5f));
    }
    MFUInt32& indices = geo->getIndices();
    indices.reserve(UInt32(faces.size() * 3));
    for (const std::array<UInt32, 3>& f : faces)
        for (UInt32 v : f)
            indices.push_back(v);
    geo->getTypes().push_back(GL_TRIANGLES);
    geo->getLengths().push_back(UInt32(faces.size() * 3));

    finishGeometry(geo);
    return geo;
}

NodePtr makeSphere(UInt16 depth, Real32 radius) { return nodeFor(makeSphereGeo(depth, radius)); }

OSG_END_NAMESPACE
