#include <morvekCoreNodePool/Scene.h>

#include <morvekBase/Runtime.h>
#include <morvekBase/TypeCast.h>
#include <morvekCoreNodePool/SceneNodeTypeFactory.h>
#include <morvekCoreNodePool/SceneProc.h>

namespace Morvek {

NodeType Scene::_type(theSceneNodeTypeFactory(), "Scene", "CoreNodePool", "Group", nullptr, nullptr,
                      "Core", nullptr, "stable",
                      "The root group of a scene; global lights light all of it.", "Morvek", false,
                      false, &Scene::isType, &Scene::createNode, &Scene::createProc, nullptr, 0);

NodeType& Scene::classType() { return _type; }

bool Scene::isType(Node* node) { return dynamic_cast<Scene*>(node) != nullptr; }

Scene* Scene::create(const char* name)
{
    Scene* scene = dynamic_cast<Scene*>(_type.createNode(nullptr, name, CreatorProgram));
    if (scene)
        scene->makeLiveRoot(Runtime::instance().getTime());
    return scene;
}

Node* Scene::createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name)
{
    return new Scene(type, nameSpace, name);
}

NodeProc* Scene::createProc(NodeType& type, Node& node) { return new SceneProc(type, node); }

Scene::Scene(NodeType& type, NodeNameSpace& nameSpace, const char* name)
    : Group(type, nameSpace, name)
{
}

Scene::~Scene() = default;

SceneProc* Scene::getSceneProc() const { return typeCast<SceneProc>(_proc); }

osg::NodePtr Scene::getRootNodePtr() const
{
    SceneProc* proc = getSceneProc();
    return proc ? proc->getNodePtr() : osg::NodePtr();
}

unsigned Scene::update(double time) { return Runtime::instance().update(time); }

} // namespace Morvek
