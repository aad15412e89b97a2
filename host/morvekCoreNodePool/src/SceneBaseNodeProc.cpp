#include <morvekCoreNodePool/SceneBaseNodeProc.h>

#include <morvekBase/HostLog.h>
#include <morvekBase/Node.h>
#include <morvekBase/TypeCast.h>
#include <morvekCoreNodePool/Scene.h>
#include <morvekCoreNodePool/SceneBaseNode.h>

#include <OpenSG/OSGDirectionalLight.h>
#include <OpenSG/OSGGroup.h>
#include <OpenSG/OSGPointLight.h>
#include <OpenSG/OSGSpotLight.h>
#include <OpenSG/OSGTransform.h>

#include <algorithm>
#include <cstring>
#include <iterator>

namespace Morvek {

namespace {

const char* const source = "morvekCoreNodePool/SceneBaseNodeProc";

osg::NodeCorePtr createCore(const char* typeName)
{
    if (std::strcmp(typeName, "Transform") == 0)
        return osg::TransformBase::create();
    if (std::strcmp(typeName, "Group") == 0)
        return osg::GroupBase::create();
    if (std::strcmp(typeName, "DirectionalLight") == 0)
        return osg::DirectionalLightBase::create();
    if (std::strcmp(typeName, "PointLight") == 0)
        return osg::PointLightBase::create();
    if (std::strcmp(typeName, "SpotLight") == 0)
        return osg::SpotLightBase::create();
    return osg::NullFC;
}

bool knownCoreType(const char* typeName)
{
    for (const char* known : {"Transform", "Group", "DirectionalLight", "PointLight", "SpotLight"})
        if (std::strcmp(typeName, known) == 0)
            return true;
    return false;
}

// Moves `child` under `parent` at `index` (append when index is the child count). The extra
// reference keeps a child that only its old parent held alive through the move.
void moveChild(osg::NodePtr parent, osg::UInt32 index, osg::NodePtr child)
{
    osg::addRefCP(child);
    parent->insertChild(index, child);
    osg::subRefCP(child);
}

} // namespace

SceneBaseNodeProc::SceneBaseNodeProc(NodeType& type, Node& node) : NodeProc(type, node)
{
    createOwnNode();
}

SceneBaseNodeProc::SceneBaseNodeProc(const SceneBaseNodeProc& other) : NodeProc(other)
{
    createOwnNode();
}

SceneBaseNodeProc& SceneBaseNodeProc::operator=(const SceneBaseNodeProc& other)
{
    NodeProc::operator=(other);
    return *this;
}

SceneBaseNodeProc::~SceneBaseNodeProc()
{
    // The inserted extra-core nodes sit in the chain below the own node; dropping our
    // references leaves them to that chain, which goes with the own node.
    for (MultiCore& multiCore : _multiCores)
        osg::subRefCP(multiCore.node);
    _multiCores.clear();
    if (_nodePtr != osg::NullFC) {
        osg::NodePtr parent = _nodePtr->getParent();
        if (parent != osg::NullFC) {
            parent->subChild(_nodePtr);
            osg::endEditCP(parent, osg::Node::ChildrenFieldMask);
        }
        osg::subRefCP(_nodePtr);
    }
}

void SceneBaseNodeProc::createOwnNode()
{
    _nodePtr = osg::Node::create();
    if (_nodePtr == osg::NullFC) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "%s: OpenSG could not create a node (not initialised?)\n",
                        getNode().getDisplayName().c_str());
        return;
    }
    osg::addRefCP(_nodePtr);
}

void SceneBaseNodeProc::attach(const double&) { _attached = true; }

void SceneBaseNodeProc::detach(const double&) { _attached = false; }

void SceneBaseNodeProc::nodeChanged(const double&, const BitVector<unsigned long long>&)
{
    ++_updateCount;
}

osg::NodePtr SceneBaseNodeProc::childNodePtr(Node& child)
{
    auto* sceneChild = typeCast<SceneBaseNode>(&child);
    SceneBaseNodeProc* proc = sceneChild ? sceneChild->getSceneBaseNodeProc() : nullptr;
    return proc ? proc->getNodePtr() : osg::NodePtr();
}

bool SceneBaseNodeProc::holdsOsgNode(osg::NodePtr node) const
{
    if (node == osg::NullFC)
        return false;
    if (node == _nodePtr)
        return true;
    for (const MultiCore& multiCore : _multiCores)
        if (multiCore.node == node)
            return true;
    return false;
}

void SceneBaseNodeProc::childAdded(const double&, Field&, Node& child)
{
    const osg::NodePtr childNode = childNodePtr(child);
    if (childNode == osg::NullFC || _nodePtr == osg::NullFC)
        return;
    const osg::NodePtr parent = getChildParentNodePtr();
    if (childNode->getParent() == parent)
        return;
    moveChild(parent, parent->getNChildren(), childNode);
    osg::endEditCP(parent, osg::Node::ChildrenFieldMask);
}

void SceneBaseNodeProc::childRemoved(const double&, Field&, Node& child)
{
    const osg::NodePtr childNode = childNodePtr(child);
    if (childNode == osg::NullFC || !holdsOsgNode(childNode->getParent()))
        return;
    // The link being removed is still recorded; with another link from this node the child
    // stays where it is.
    const auto& parents = child.getParents();
    if (std::count(parents.begin(), parents.end(), &getNode()) > 1)
        return;

    osg::NodePtr oldParent = childNode->getParent();
    oldParent->subChild(childNode);
    osg::endEditCP(oldParent, osg::Node::ChildrenFieldMask);

    // Give the OpenSG node to the latest other parent that still links the child.
    for (auto it = parents.rbegin(); it != parents.rend(); ++it) {
        if (*it == &getNode())
            continue;
        auto* sceneParent = typeCast<SceneBaseNode>(*it);
        SceneBaseNodeProc* proc = sceneParent ? sceneParent->getSceneBaseNodeProc() : nullptr;
        if (!proc || proc->getNodePtr() == osg::NullFC)
            continue;
        const osg::NodePtr newParent = proc->getChildParentNodePtr();
        moveChild(newParent, newParent->getNChildren(), childNode);
        osg::endEditCP(newParent, osg::Node::ChildrenFieldMask);
        break;
    }
}

void SceneBaseNodeProc::getInfoStr(std::string& out, bool verbose)
{
    const osg::NodeCorePtr core = getCorePtr();
    const osg::NodePtr childParent = getChildParentNodePtr();
    out += getNode().getDisplayName() + ": core " +
           (core != osg::NullFC ? core->getTypeName() : "none") + ", " +
           std::to_string(childParent != osg::NullFC ? childParent->getNChildren() : 0) +
           " children";
    if (!_multiCores.empty()) {
        out += ", extra cores";
        for (auto it = _multiCores.rbegin(); it != _multiCores.rend(); ++it)
            out += std::string(" ") + it->core->getTypeName() + "x" + std::to_string(it->requests);
    }
    if (verbose)
        out += std::string(", ") + (_attached ? "attached" : "detached") + ", " +
               std::to_string(_updateCount) + " updates";
    out += "\n";
}

osg::NodePtr SceneBaseNodeProc::getChildParentNodePtr() const
{
    return _multiCores.empty() ? _nodePtr : _multiCores.front().node;
}

void SceneBaseNodeProc::setCore(const char* typeName)
{
    if (!typeName || !knownCoreType(typeName)) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source, "%s: unknown core type \"%s\"; core unchanged\n",
                        getNode().getDisplayName().c_str(), typeName ? typeName : "(null)");
        return;
    }
    const osg::NodeCorePtr core = createCore(typeName);
    if (core == osg::NullFC) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "%s: OpenSG could not create a %s core; core unchanged\n",
                        getNode().getDisplayName().c_str(), typeName);
        return;
    }
    setCore(core);
}

void SceneBaseNodeProc::setCore(osg::NodeCorePtr core)
{
    if (_nodePtr == osg::NullFC)
        return;
    osg::beginEditCP(_nodePtr, osg::Node::CoreFieldMask);
    _nodePtr->setCore(core);
    osg::endEditCP(_nodePtr, osg::Node::CoreFieldMask);
}

osg::NodeCorePtr SceneBaseNodeProc::getCorePtr() const
{
    return _nodePtr != osg::NullFC ? _nodePtr->getCore() : osg::NodeCorePtr();
}

Scene* SceneBaseNodeProc::getScene() const { return typeCast<Scene>(getNode().getLiveRoot()); }

SceneBaseNode* SceneBaseNodeProc::getSceneBaseNode() const
{
    return typeCast<SceneBaseNode>(&getNode());
}

void SceneBaseNodeProc::requestMultiCore(osg::NodeCorePtr core)
{
    if (core == osg::NullFC || _nodePtr == osg::NullFC)
        return;
    for (MultiCore& multiCore : _multiCores) {
        if (multiCore.core == core) {
            ++multiCore.requests;
            return;
        }
    }
    osg::NodePtr carrier = osg::Node::create();
    if (carrier == osg::NullFC) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "%s: OpenSG could not create a node for an extra core\n",
                        getNode().getDisplayName().c_str());
        return;
    }
    osg::addRefCP(carrier);
    osg::beginEditCP(carrier, osg::Node::CoreFieldMask | osg::Node::ChildrenFieldMask);
    carrier->setCore(core);
    // Everything that hung below the own node (the children, or the outermost extra core)
    // now hangs below the new core.
    const osg::NodePtr above = _nodePtr;
    while (above->getNChildren() > 0)
        moveChild(carrier, carrier->getNChildren(), above->getChild(0));
    osg::endEditCP(carrier, osg::Node::CoreFieldMask | osg::Node::ChildrenFieldMask);
    above->addChild(carrier);
    osg::endEditCP(above, osg::Node::ChildrenFieldMask);
    _multiCores.push_back(MultiCore{carrier, core, 1});
}

void SceneBaseNodeProc::releaseMultiCore(osg::NodeCorePtr core)
{
    // Newest last: cores are mostly released in the reverse order of their requests.
    const auto found =
        std::find_if(_multiCores.rbegin(), _multiCores.rend(),
                     [&](const MultiCore& multiCore) { return multiCore.core == core; });
    if (core == osg::NullFC || found == _multiCores.rend()) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, source,
                        "%s: release of an extra core that was not requested; ignored\n",
                        getNode().getDisplayName().c_str());
        return;
    }
    const auto it = std::prev(found.base());
    if (--it->requests > 0)
        return;

    // Give the carrier's children back to the node above, in the carrier's place.
    const osg::NodePtr carrier = it->node;
    const osg::NodePtr above = carrier->getParent();
    if (above != osg::NullFC) {
        const osg::Int32 at = above->findChild(carrier);
        const osg::UInt32 count = carrier->getNChildren();
        for (osg::UInt32 k = 0; k < count; ++k)
            moveChild(above, osg::UInt32(at) + k, carrier->getChild(0));
        above->subChild(carrier);
        osg::endEditCP(above, osg::Node::ChildrenFieldMask);
    }
    _multiCores.erase(it);
    osg::subRefCP(carrier);
}

unsigned SceneBaseNodeProc::getMultiCoreRequests(osg::NodeCorePtr core) const
{
    for (const MultiCore& multiCore : _multiCores)
        if (multiCore.core == core)
            return multiCore.requests;
    return 0;
}

std::vector<osg::NodeCorePtr> SceneBaseNodeProc::getMultiCores() const
{
    std::vector<osg::NodeCorePtr> cores;
    for (auto it = _multiCores.rbegin(); it != _multiCores.rend(); ++it)
        cores.push_back(it->core);
    return cores;
}

} // namespace Morvek
