#pragma once

#include <morvekBase/NodeTypeNameSpace.h>

namespace Morvek {

// The type registry of scene node types (name "SceneNodeTypes"): the core pool's own types
// (SceneBaseNode, UnboundedNode, VisualEffector, Group, Scene), the shape pool's (Texture) and
// those of every loaded node pool. Created on first use; valid during static initialisation of
// any library that links the core pool.
NodeTypeNameSpace& theSceneNodeTypeFactory();

} // namespace Morvek
