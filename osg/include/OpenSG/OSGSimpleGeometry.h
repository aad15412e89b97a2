#pragma once

#include <OpenSG/OSGGeometry.h>
#include <OpenSG/OSGMaterial.h>
#include <OpenSG/OSGNode.h>

OSG_BEGIN_NAMESPACE

// Builders of simple shapes. The ...Geo variants return the Geometry (count 0); the others
// return a new Node (count 0) carrying it (count 1). Every new geometry gets
// getDefaultMaterial(). NullFC before osgInit.
//
// Frustum, cone, cylinder: centred on the origin, axis +y, bottom cap at y = -height/2, top
// cap at +height/2 (a cone's tip is at +height/2). The rim starts at (0, -r) in x/z (angle 0
// points to -z) and runs through +x. The side is one triangle strip of 2 (sides + 1)
// vertices; each cap is one polygon of `sides` vertices, skipped when its radius is 0.
// Normals have unit length and point outward; front faces are counter-clockwise seen from
// outside. height <= 0, a negative radius or sides < 3: a warning and NullFC (a NaN radius
// passes the check).
NodePtr makeConicalFrustum(Real32 height, Real32 topRadius, Real32 botRadius, UInt16 sides,
                           bool doSide, bool doTop, bool doBottom);
GeometryPtr makeConicalFrustumGeo(Real32 height, Real32 topRadius, Real32 botRadius, UInt16 sides,
                                  bool doSide, bool doTop, bool doBottom);
NodePtr makeCone(Real32 height, Real32 botRadius, UInt16 sides, bool doSide, bool doBottom);
GeometryPtr makeConeGeo(Real32 height, Real32 botRadius, UInt16 sides, bool doSide, bool doBottom);
NodePtr makeCylinder(Real32 height, Real32 radius, UInt16 sides, bool doSide, bool doTop,
                     bool doBottom);
GeometryPtr makeCylinderGeo(Real32 height, Real32 radius, UInt16 sides, bool doSide, bool doTop,
                            bool doBottom);

// Icosahedron subdivided `depth` times (20 * 4^depth triangles, 10 * 4^depth + 2 shared
// vertices), centred on the origin; normals are the unit directions of the vertices.
// depth above 8 (1.3 million triangles) gives a warning and NullFC instead of exhausting
// memory.
NodePtr makeSphere(UInt16 depth, Real32 radius);
GeometryPtr makeSphereGeo(UInt16 depth, Real32 radius);

// The shared SimpleMaterial of the builders: diffuse (0.7, 0.7, 0.5), ambient
// (0.1, 0.1, 0.1), specular (1, 1, 1), shininess 20. It keeps one permanent reference of its
// own and is not counted by getLiveContainerCount. Changing it changes every geometry that
// uses it. NullFC before osgInit.
MaterialPtr getDefaultMaterial();
// An unlit SimpleMaterial, diffuse (1, 1, 0.5); same life as the default material.
MaterialPtr getDefaultUnlitMaterial();
// Drops both shared materials; called by osgExit.
void releaseDefaultMaterials();

OSG_END_NAMESPACE
