#pragma once

#include <morvekBase/BitVector.h>

#include <cstddef>
#include <vector>

namespace Morvek {

class Node;

// The host's driver: the current time and the queue of changes waiting for delivery.
//
// Field changes do not reach processors at once. A change queues the field's mask on its node
// (NodeProc::queueFieldChange); update(time) then hands every queued node's processor the OR of
// its queued masks through one nodeChanged(time, mask), in the order the nodes were first
// queued. Changes made during a delivery (a processor setting fields, generated nodes getting
// their first update) are delivered in further rounds of the same update, until nothing is
// queued or maxUpdateRounds rounds have run (then a warning is logged and the rest waits for
// the next update). Status bits Node::statusFirstUpdate and Node::statusReattached are cleared
// after the node's delivery, so the processor sees them during its nodeChanged.
//
// One Runtime exists per process (instance()). Its first use initialises OpenSG (osgInit)
// when that has not happened yet. The host is single-threaded: nodes, fields and the update
// run on one thread, and nothing here takes a lock.
class Runtime {
public:
    static Runtime& instance();

    // Rounds of one update before it gives up on a change cycle.
    static constexpr unsigned maxUpdateRounds = 64;

    // The host's current time: the time of the last update (0 before the first), used by
    // XField::setValue for the changes it announces.
    double getTime() const { return _time; }
    void setTime(double time) { _time = time; }

    // Sets the current time and delivers every queued change (see above). Returns the number
    // of nodeChanged calls made. A call from inside a delivery is refused (warning, 0).
    unsigned update(double time);
    // Update at the current time.
    unsigned update() { return update(_time); }

    bool hasPendingUpdates() const { return !_queue.empty(); }
    size_t getQueuedNodeCount() const { return _queue.size(); }

    // Queues `mask` for `node` (also with an empty mask: the node still gets its nodeChanged).
    void queueChange(Node& node, FieldMask mask);
    // Forgets `node` (it is being destroyed): removes it from the queue and the current round.
    void forget(Node& node);

    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;

private:
    Runtime();

    double _time = 0.0;
    std::vector<Node*> _queue;
    std::vector<Node*> _round; // the nodes being delivered now; entries of forgotten nodes are null
    bool _updating = false;    // an update() is running (a nested one is refused)
};

} // namespace Morvek
