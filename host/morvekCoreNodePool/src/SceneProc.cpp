#include <morvekCoreNodePool/SceneProc.h>

#include <algorithm>
#include <iterator>

namespace Morvek {

SceneProc::SceneProc(NodeType& type, Node& node) : GroupProc(type, node) {}

// A copy serves the same scene but starts with an empty registry: lights are registered with
// the processor that carries them.
SceneProc::SceneProc(const SceneProc& other) : GroupProc(other) {}

SceneProc& SceneProc::operator=(const SceneProc& other)
{
    GroupProc::operator=(other);
    return *this;
}

SceneProc::~SceneProc() { dropAllLights(); }

bool SceneProc::regGlobalLight(osg::LightPtr light, SceneBaseNode* node, bool global)
{
    if (light == osg::NullFC || findLight(light))
        return false;
    osg::addRefCP(light);
    _lights.push_back(LightEntry{light, node, global});
    if (global)
        requestMultiCore(light);
    return true;
}

bool SceneProc::unregGlobalLight(osg::LightPtr light, SceneBaseNode*, bool global)
{
    // From the back: lights mostly leave in the reverse order of their coming.
    const auto found = std::find_if(_lights.rbegin(), _lights.rend(),
                                    [&](const LightEntry& entry) { return entry.light == light; });
    if (found == _lights.rend() || found->global != global)
        return false;
    _lights.erase(std::prev(found.base()));
    if (global)
        releaseMultiCore(light);
    osg::subRefCP(light);
    return true;
}

const SceneProc::LightEntry* SceneProc::findLight(osg::LightPtr light) const
{
    for (const LightEntry& entry : _lights)
        if (entry.light == light)
            return &entry;
    return nullptr;
}

void SceneProc::dropAllLights()
{
    auto lights = std::move(_lights);
    _lights.clear();
    for (LightEntry& entry : lights) {
        if (entry.global)
            releaseMultiCore(entry.light);
        osg::subRefCP(entry.light);
    }
}

} // namespace Morvek
