#include <OpenSG/OSGNode.h>

#include <OpenSG/OSGLog.h>
#include <OpenSG/OSGNodeCore.h>

#include <vector>

OSG_BEGIN_NAMESPACE

FieldContainerType Node::_type("Node", "AttachmentContainer", &Node::createPrototype);

// Counts the boxes made valid. A node stamped with the current count is stale and so are all
// its ancestors, so a later invalidation can stop there: without this, every commit below a
// long chain of nodes (one per global light) walks the whole chain. Like the rest of the
// scene graph it is meant for one thread.
UInt64 Node::_volumeEpoch = 1;

NodePtr Node::create() { return NodePtr::dcast(_type.createFieldContainer()); }

FieldContainerPtr Node::createPrototype() { return FieldContainerPtr(new Node()); }

FieldContainerPtr Node::shallowCopy() const { return FieldContainerPtr(new Node(*this)); }

// The box starts stale, so that the first getVolume computes it.
Node::Node() { _volume.setValid(false); }

// Only the traversal mask is copied: core, children and parent belong to the original.
Node::Node(const Node& source) : AttachmentContainer(source), _travMask(source._travMask)
{
    _volume.setValid(false);
}

Node::~Node()
{
    // Only reached with a parent when the node was released more often than referenced.
    if (_parent != NullFC) {
        SWARNING << "Node::~Node: node #" << getContainerId()
                 << " destroyed while still a child of node #" << _parent->getContainerId()
                 << std::endl;
        unlinkFromParent(this);
    }
    if (_core != NullFC) {
        MFNodePtr& parents = _core->_parents;
        MFNodePtr::iterator it = parents.find(getPtr());
        if (it != parents.end())
            parents.erase(it);
        NodeCorePtr core = _core;
        _core = NullFC;
        subRefCP(core);
    }
    // Taken over, not copied: a dying graph frees its lists without allocating new ones.
    MFNodePtr::StorageType children;
    children.swap(_children.getValues());
    for (NodePtr child : children) {
        child->_parent = NullFC;
        subRefCP(child);
    }
}

void Node::setCore(const NodeCorePtr& core)
{
    if (core == _core)
        return;
    // Reference first, so that a core moving within this node cannot be destroyed.
    addRefCP(core);
    if (_core != NullFC) {
        MFNodePtr& parents = _core->_parents;
        MFNodePtr::iterator it = parents.find(getPtr());
        if (it != parents.end())
            parents.erase(it);
        NodeCorePtr old = _core;
        _core = NullFC;
        subRefCP(old);
    }
    _core = core;
    if (_core != NullFC) {
        // Nearly every core has one parent: room for it alone, without the growth path.
        MFNodePtr::StorageType& parents = _core->_parents.getValues();
        if (parents.capacity() == 0)
            parents.reserve(1);
        parents.push_back(getPtr());
    }
}

NodePtr Node::getChild(UInt32 index) const
{
    if (index >= _children.size()) {
        SWARNING << "Node::getChild: index " << index << " out of range (" << _children.size()
                 << " children)" << std::endl;
        return NullFC;
    }
    return _children[index];
}

Int32 Node::findChild(const NodePtr& child) const
{
    // A node is in one list at most once, so the direction is free: from the back, because
    // children mostly leave in the reverse order of their coming (a rebuilt set of lights).
    for (UInt32 i = _children.size(); i-- > 0;)
        if (_children[i] == child)
            return Int32(i);
    return -1;
}

bool Node::isSelfOrAncestor(const Node* candidate) const
{
    if (candidate == this)
        return true;
    // A node without children is nobody's ancestor: new nodes added top-down skip the walk.
    if (candidate == nullptr || candidate->_children.empty())
        return false;
    // Two searches in step, and whichever ends first answers: up from this node towards its
    // root, and down through the candidate's subtree. The upward walk alone can be long (every
    // global light puts one more node between the scene root and its children, and a new
    // light hangs below all of them), while the subtree of a node being added is usually
    // small. The downward search keeps its pending nodes on a short fixed stack and gives up
    // when that overflows.
    constexpr int maxPending = 32;
    const Node* pending[maxPending];
    int numPending = 0;
    pending[numPending++] = candidate;
    bool searchingDown = true;
    for (const Node* up = _parent.getCPtr();; up = up->_parent.getCPtr()) {
        if (up == nullptr)
            return false;
        if (up == candidate)
            return true;
        if (!searchingDown)
            continue;
        if (numPending == 0)
            return false; // the whole subtree seen without meeting this node
        const Node* n = pending[--numPending];
        for (const NodePtr& child : n->_children) {
            const Node* c = child.getCPtr();
            if (c == this)
                return true;
            if (c->_children.empty())
                continue;
            if (numPending == maxPending) {
                searchingDown = false;
                break;
            }
            pending[numPending++] = c;
        }
    }
}

void Node::unlinkFromParent(Node* child)
{
    Node* parent = child->_parent.getCPtr();
    if (parent == nullptr)
        return;
    MFNodePtr::iterator it = parent->_children.find(child->getPtr());
    if (it != parent->_children.end())
        parent->_children.erase(it);
    child->_parent = NullFC;
}

void Node::addChild(const NodePtr& child) { insertChild(_children.size(), child); }

UInt32 Node::takeFromOldParent(const NodePtr& child, UInt32 index)
{
    // Reference first, so that moving the child from its old parent cannot destroy it.
    addRefCP(child);
    NodePtr oldParent = child->_parent;
    if (oldParent != NullFC) {
        Int32 oldIndex = oldParent->findChild(child);
        if (oldParent == getPtr() && oldIndex >= 0 && UInt32(oldIndex) < index)
            --index;
        oldParent->subChild(child);
    }
    return index;
}

void Node::insertChild(UInt32 index, const NodePtr& child)
{
    if (child == NullFC)
        return;
    if (index > _children.size()) {
        SWARNING << "Node::insertChild: index " << index << " out of range (" << _children.size()
                 << " children)" << std::endl;
        return;
    }
    if (isSelfOrAncestor(child.getCPtr())) {
        SWARNING << "Node::insertChild: node #" << child->getContainerId()
                 << " is this node or one of its ancestors; not added" << std::endl;
        return;
    }
    index = takeFromOldParent(child, index);
    MFNodePtr::StorageType& children = _children.getValues();
    // Most nodes hold one or two children: room for two from the start spares a regrowth.
    if (children.capacity() == 0)
        children.reserve(2);
    children.insert(children.begin() + index, child);
    child->_parent = getPtr();
    noteNewAncestors();
}

void Node::replaceChild(UInt32 index, const NodePtr& child)
{
    if (child == NullFC)
        return;
    if (index >= _children.size()) {
        SWARNING << "Node::replaceChild: index " << index << " out of range (" << _children.size()
                 << " children)" << std::endl;
        return;
    }
    if (_children[index] == child)
        return;
    if (isSelfOrAncestor(child.getCPtr())) {
        SWARNING << "Node::replaceChild: node #" << child->getContainerId()
                 << " is this node or one of its ancestors; not used" << std::endl;
        return;
    }
    index = takeFromOldParent(child, index);
    NodePtr replaced = _children[index];
    _children[index] = child;
    child->_parent = getPtr();
    noteNewAncestors();
    replaced->_parent = NullFC;
    subRefCP(replaced);
}

bool Node::replaceChildBy(const NodePtr& oldChild, const NodePtr& newChild)
{
    if (newChild == NullFC)
        return false;
    Int32 index = findChild(oldChild);
    if (index < 0)
        return false;
    replaceChild(UInt32(index), newChild);
    return true;
}

void Node::subChild(const NodePtr& child)
{
    Int32 index = findChild(child);
    if (index < 0 || child == NullFC) {
        SWARNING << "Node::subChild: " << child << " is not a child of node #" << getContainerId()
                 << std::endl;
        return;
    }
    subChild(UInt32(index));
}

void Node::subChild(UInt32 index)
{
    if (index >= _children.size()) {
        SWARNING << "Node::subChild: index " << index << " out of range (" << _children.size()
                 << " children)" << std::endl;
        return;
    }
    NodePtr child = _children[index];
    _children.erase(_children.begin() + index);
    child->_parent = NullFC;
    subRefCP(child);
}

Matrix Node::getToWorld() const
{
    Matrix result;
    getToWorld(result);
    return result;
}

void Node::getToWorld(Matrix& result) const
{
    if (_parent != NullFC)
        _parent->getToWorld(result);
    else
        result.setIdentity();
    if (_core != NullFC)
        _core->accumulateMatrix(result);
}

const BoxVolume& Node::getVolume(bool update)
{
    if (update)
        updateVolume();
    return _volume;
}

void Node::updateVolume()
{
    if (_volume.isValid() || _travMask == 0)
        return;
    BoxVolume volume;
    for (NodePtr child : _children) {
        if (child->getTravMask() == 0)
            continue;
        child->updateVolume();
        volume.extendBy(child->_volume);
    }
    if (_core != NullFC)
        _core->adjustVolume(volume);
    volume.setValid(true);
    _volume = volume;
    ++_volumeEpoch;
}

void Node::invalidateVolume()
{
    for (Node* n = this; n != nullptr; n = n->_parent.getCPtr()) {
        if (n->_staleEpoch == _volumeEpoch)
            return; // stale up to the root already
        n->_volume.setValid(false);
        n->_staleEpoch = _volumeEpoch;
    }
}

void Node::noteNewAncestors()
{
    // The stamps below this node stay true only if this node and all its ancestors are stale.
    // Checking changes no box; a valid one on the way retires every stamp instead.
    Node* n = this;
    for (; n != nullptr && n->_staleEpoch != _volumeEpoch; n = n->_parent.getCPtr())
        if (n->_volume.isValid()) {
            ++_volumeEpoch;
            return;
        }
    for (Node* m = this; m != n; m = m->_parent.getCPtr())
        m->_staleEpoch = _volumeEpoch;
}

void Node::getWorldVolume(BoxVolume& result)
{
    result = getVolume(true);
    if (_parent != NullFC)
        result.transform(_parent->getToWorld());
}

void Node::changed(BitVector whichField, UInt32 origin)
{
    if (whichField & (CoreFieldMask | ChildrenFieldMask))
        invalidateVolume();
    if ((whichField & TravMaskFieldMask) && _parent != NullFC)
        _parent->invalidateVolume();
    Inherited::changed(whichField, origin);
}

OSG_END_NAMESPACE
