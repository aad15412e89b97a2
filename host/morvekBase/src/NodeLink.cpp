#include <morvekBase/NodeLink.h>

#include <morvekBase/Field.h>
#include <morvekBase/Node.h>
#include <morvekBase/NodeProc.h>
#include <morvekBase/Runtime.h>

#include <algorithm>

namespace Morvek {

NodeLink::NodeLink(Field& field) : _field(&field) {}

NodeLink::~NodeLink() { set(nullptr); }

Node& NodeLink::parent() const { return _field->getOwner(); }

void NodeLink::set(Node* node)
{
    if (node == _node)
        return;
    const double time = Runtime::instance().getTime();
    Node& owner = parent();

    if (Node* old = _node) {
        // Backwards of linking: leave the scene while the parent is still recorded (a detaching
        // light still finds the parents that carry it), then tell the processors.
        leaveLive(time);
        if (owner._proc)
            owner._proc->childRemoved(time, *_field, *old);
        if (old->_proc)
            old->_proc->parentRemoved(time, owner);
        auto& parents = old->_parents;
        auto it = std::find(parents.rbegin(), parents.rend(), &owner);
        if (it != parents.rend())
            parents.erase(std::next(it).base());
        _node = nullptr;
        old->subRef();
    }

    if (node) {
        node->addRef();
        _node = node;
        node->_parents.push_back(&owner);
        if (owner._proc)
            owner._proc->childAdded(time, *_field, *node);
        if (node->_proc)
            node->_proc->parentAdded(time, owner);
        if (owner.isLive())
            enterLive(*owner.getLiveRoot(), time);
    }
}

void NodeLink::enterLive(Node& root, const double& time)
{
    if (_live || !_node)
        return;
    _live = _node->enterLive(root, time);
}

void NodeLink::leaveLive(const double& time)
{
    if (!_live)
        return;
    _live = false;
    _node->leaveLive(time);
}

} // namespace Morvek
