#pragma once

#include <morvekCoreNodePool/Group.h>

#include <OpenSG/OSGNode.h>

namespace Morvek {

class SceneProc;

// A scene: the root group of a scene graph (type "Scene", derived from "Group"). A scene is
// live from creation: nodes linked below it (its children, their children, nodes held by their
// node fields) join it and are attached. Its processor's OpenSG node is the root of the OpenSG
// graph, and global lights sit directly below it, above its children.
//
//   RefPtr<Scene> scene = Scene::create();
//   RefPtr<Group> group = Group::create();
//   scene->children().addChild(group.get());   // group joins the scene: attach()
//   Runtime::instance().update(0.0);           // queued changes reach the processors
class Scene : public Group {
public:
    static NodeType& classType();
    static bool isType(Node* node);
    // A new scene (count 0: hold it) made live as its own root; null when creation failed.
    static Scene* create(const char* name = nullptr);

    SceneProc* getSceneProc() const;
    // The root of the scene's OpenSG graph (the scene processor's OpenSG node).
    osg::NodePtr getRootNodePtr() const;
    // Runtime::instance().update(time): delivers all queued changes (of every scene).
    unsigned update(double time);

protected:
    Scene(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    ~Scene() override;

private:
    static Node* createNode(NodeType& type, NodeNameSpace& nameSpace, const char* name);
    static NodeProc* createProc(NodeType& type, Node& node);

    static NodeType _type;
};

} // namespace Morvek
