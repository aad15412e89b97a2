#pragma once

#include <OpenSG/OSGNode.h>

#include <string>

namespace Morvek::osgTestSupport {

// A compact, deterministic text picture of the subtree under root.
//
// One line per node, in depth-first order, children indented by two more spaces per level,
// each line ending in '\n'. A line is
//     [@k ]<core>[ inactive | travMask=0x...]
// where @k labels a node that some light in the dump uses as its beacon (k = 1, 2, ... in
// the order such nodes appear), and <core> is one of:
//     <no core>
//     Group
//     Transform                              (identity matrix)
//     Transform translate=(x y z)            (3x3 part identity, bottom row 0 0 0 1)
//     Transform matrix=[a b c d; e f g h; i j k l]   (rows of the reading, translation last;
//                                            a fourth row "; m n o p" when not 0 0 0 1)
//     DirectionalLight on|off diffuse=(r g b a) beacon=B direction=(x y z)
//     PointLight on|off diffuse=(r g b a) beacon=B position=(x y z)
//     SpotLight on|off diffuse=(r g b a) beacon=B position=(x y z) direction=(x y z) cutoff=c
//     Geometry vertices=N material=M
//     <TypeName>                             (any other core)
// B is @k, "none" (no beacon) or "outside" (a node not in the dump). M is "none",
// "default" (getDefaultMaterial()), "defaultUnlit", or mK for the K-th distinct other
// material in dump order (m1, m2, ...). cutoff is in radians. A node shown as inactive has
// travMask 0; other masks than 0 and 0xFFFFFFFF are printed in hex.
//
// Numbers: at most 4 significant digits (printf %.4g); values with magnitude below 1e-6
// (rounding noise such as the -4.37e-8 of a float half turn) and -0 print as 0.
// A null root gives "<null>\n".
//
// Example (a light group, its beacon rotated, an arrow geometry below it):
//     Group
//       DirectionalLight on diffuse=(1 1 1 1) beacon=@1 direction=(0 0 1)
//         @1 Transform matrix=[1 0 0 0; 0 0 1 0; 0 -1 0 0]
//           Geometry vertices=50 material=default
std::string dumpGraph(const osg::NodePtr& root);

} // namespace Morvek::osgTestSupport
