#include <morvekCoreNodePool/SceneNodeTypeFactory.h>

namespace Morvek {

NodeTypeNameSpace& theSceneNodeTypeFactory()
{
    // Never destroyed: type records of pools unloaded late (or never) at process exit still
    // find it when they unregister.
    static NodeTypeNameSpace* factory = new NodeTypeNameSpace("SceneNodeTypes");
    return *factory;
}

} // namespace Morvek
