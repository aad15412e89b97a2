#pragma once

#include <morvekCoreNodePool/GroupProc.h>

#include <OpenSG/OSGLight.h>

#include <vector>

namespace Morvek {

class SceneBaseNode;

// Processor of a Scene; keeps the scene's light registry.
//
// A light registered as global is carried as an extra core of the scene's root (see
// SceneBaseNodeProc::requestMultiCore), so it lights every node of the scene. A light
// registered as not global is only recorded: its light node scopes it itself through extra
// cores on its parents. The registry holds one OpenSG reference on each registered light core;
// it does not own the light nodes.
class SceneProc : public GroupProc {
public:
    struct LightEntry {
        osg::LightPtr light;
        SceneBaseNode* node; // the light's node, for queries only
        bool global;
    };

    SceneProc(NodeType& type, Node& node);
    SceneProc(const SceneProc& other);
    SceneProc& operator=(const SceneProc& other);
    ~SceneProc() override;

    // Records `light` (of `node`); false (nothing changes) for a null light or a light already
    // registered.
    bool regGlobalLight(osg::LightPtr light, SceneBaseNode* node, bool global);
    // Drops the entry of `light`; false when `light` is not registered with that `global` flag.
    bool unregGlobalLight(osg::LightPtr light, SceneBaseNode* node, bool global);

    const std::vector<LightEntry>& getLights() const { return _lights; }
    // The entry of `light`, or null.
    const LightEntry* findLight(osg::LightPtr light) const;

private:
    void dropAllLights();

    std::vector<LightEntry> _lights;
};

} // namespace Morvek
