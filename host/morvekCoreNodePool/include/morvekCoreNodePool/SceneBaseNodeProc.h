#pragma once

#include <morvekBase/NodeProc.h>

#include <OpenSG/OSGNode.h>
#include <OpenSG/OSGNodeCore.h>

#include <string>
#include <vector>

namespace Morvek {

class Scene;
class SceneBaseNode;

// Processor base of scene nodes. Each processor owns one OpenSG node (getNodePtr()), created
// with the processor and holding one reference from it, on which it puts its core (setCore).
//
// OpenSG graph: the OpenSG nodes of the scene nodes that this node links through any node field
// (a Group's children, generated nodes, ...) hang below this processor's OpenSG node, below any
// extra cores (see requestMultiCore). OpenSG nodes have one parent: a scene node linked by
// several parents appears under the one that linked it last; when that parent lets go, it moves
// to one of the others that still link it.
//
// Extra cores ("multi cores"): OpenSG carries one core per node, and a light core lights only
// the subtree below its node. requestMultiCore(core) therefore inserts a new OpenSG node that
// carries `core` between this processor's OpenSG node and its children, so the core reaches
// exactly this node's subtree. Requests are counted per core: a second request of the same core
// only counts, each release undoes one request, and the last release removes the inserted node
// and gives its children back to the node above. Several cores nest in request order, the
// newest outermost: it goes right below this processor's node, so that adding it checks only
// a short way up the graph however many cores are already there.
class SceneBaseNodeProc : public NodeProc {
public:
    SceneBaseNodeProc(NodeType& type, Node& node);
    // A new processor for the same node, with an OpenSG node of its own (no core, no children).
    SceneBaseNodeProc(const SceneBaseNodeProc& other);
    // Keeps this processor's OpenSG node, core and extra cores.
    SceneBaseNodeProc& operator=(const SceneBaseNodeProc& other);
    ~SceneBaseNodeProc() override;

    // The base keeps the attach state (isAttached()).
    void attach(const double& time) override;
    void detach(const double& time) override;
    // The base counts deliveries (getUpdateCount()); it has no value of its own to mirror.
    void nodeChanged(const double& time, const BitVector<unsigned long long>& mask) override;
    // Hang / unhang the OpenSG node of a linked scene node (see above).
    void childAdded(const double& time, Field& field, Node& child) override;
    void childRemoved(const double& time, Field& field, Node& child) override;

    // Appends one line describing the processor: "Type/name: core <type>, <n> children[,
    // extra cores <t1>x<count>...]"; with `verbose`, also the attach state and update count.
    virtual void getInfoStr(std::string& out, bool verbose);

    osg::NodePtr getNodePtr() const { return _nodePtr; }
    // The OpenSG node below which children hang: the innermost extra-core node, or the own one.
    osg::NodePtr getChildParentNodePtr() const;

    // Creates a core of the named OpenSG type ("Transform", "Group", "DirectionalLight",
    // "PointLight", "SpotLight") and puts it on the processor's node. An unknown name, or a
    // type whose create() yields null (OpenSG not initialised), logs a warning and leaves the
    // core as it was.
    void setCore(const char* typeName);
    // Puts `core` on the processor's node (null drops the current core).
    void setCore(osg::NodeCorePtr core);
    osg::NodeCorePtr getCorePtr() const;

    // The scene the node is part of, or null.
    Scene* getScene() const;
    SceneBaseNode* getSceneBaseNode() const;

    void requestMultiCore(osg::NodeCorePtr core);
    // Undoes one request of `core`; a core without outstanding request logs a warning.
    void releaseMultiCore(osg::NodeCorePtr core);
    // Outstanding requests of `core` (0 when it is not carried).
    unsigned getMultiCoreRequests(osg::NodeCorePtr core) const;
    // Carried extra cores, outermost first.
    std::vector<osg::NodeCorePtr> getMultiCores() const;

    bool isAttached() const { return _attached; }
    unsigned getUpdateCount() const { return _updateCount; }

private:
    struct MultiCore {
        osg::NodePtr node; // inserted node carrying the core; one reference held here
        osg::NodeCorePtr core;
        unsigned requests;
    };

    static osg::NodePtr childNodePtr(Node& child);
    bool holdsOsgNode(osg::NodePtr node) const;
    void createOwnNode();

    osg::NodePtr _nodePtr;
    std::vector<MultiCore> _multiCores; // in request order: innermost first, newest last
    bool _attached = false;
    unsigned _updateCount = 0;
};

} // namespace Morvek
