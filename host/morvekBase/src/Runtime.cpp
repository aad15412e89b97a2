#include <morvekBase/Runtime.h>

#include <morvekBase/HostLog.h>
#include <morvekBase/Node.h>
#include <morvekBase/NodeProc.h>

#include <OpenSG/OSGBaseFunctions.h>

#include <algorithm>

namespace Morvek {

Runtime& Runtime::instance()
{
    // Never destroyed: nodes released during static destruction still find it.
    static Runtime* runtime = new Runtime();
    return *runtime;
}

Runtime::Runtime()
{
    // Processors create OpenSG objects, which needs OpenSG started.
    if (!osg::osgIsInitialized())
        osg::osgInit(0, nullptr);
}

void Runtime::queueChange(Node& node, FieldMask mask)
{
    node._pendingMask |= mask;
    if (!node._queued) {
        node._queued = true;
        _queue.push_back(&node);
    }
}

void Runtime::forget(Node& node)
{
    _queue.erase(std::remove(_queue.begin(), _queue.end(), &node), _queue.end());
    std::replace(_round.begin(), _round.end(), &node, static_cast<Node*>(nullptr));
    node._queued = false;
    node._pendingMask = FieldMask();
}

unsigned Runtime::update(double time)
{
    if (_updating) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, "morvekBase/Runtime",
                        "update(%g) called during an update; ignored\n", time);
        return 0;
    }
    struct Guard {
        bool& flag;
        ~Guard() { flag = false; }
    } guard{_updating};
    _updating = true;
    _time = time;

    unsigned calls = 0;
    for (unsigned round = 0; round < maxUpdateRounds && !_queue.empty(); ++round) {
        _round.swap(_queue);
        _queue.clear();
        for (size_t i = 0; i < _round.size(); ++i) {
            Node* node = _round[i];
            if (!node)
                continue;
            const FieldMask mask = node->_pendingMask;
            node->_pendingMask = FieldMask();
            node->_queued = false;
            if (NodeProc* proc = node->_proc) {
                proc->nodeChanged(_time, mask);
                ++calls;
            }
            if (!_round[i]) // destroyed during its own delivery
                continue;
            node->_status &= ~(Node::statusFirstUpdate | Node::statusReattached);
            const Node::NodeList parents = node->getParents();
            for (Node* parent : parents)
                if (parent->_proc)
                    parent->_proc->childChanged(_time, *node, mask);
        }
        _round.clear();
    }
    if (!_queue.empty()) {
        MORVEK_HOST_LOG(osg::LOG_WARNING, "morvekBase/Runtime",
                        "update(%g) did not settle after %u rounds; %zu nodes wait for the next "
                        "update\n",
                        time, maxUpdateRounds, _queue.size());
    }
    return calls;
}

} // namespace Morvek
