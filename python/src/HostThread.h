#pragma once

// The host runtime keeps its scene, and OpenSG its change lists and object pools, per thread:
// the tool runs the node method on the thread that loaded the plug-in. The module does the
// same: every node-method call runs here, on one thread of the module's own, one at a time,
// whichever Python thread asks.

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>

namespace envlights::python {

class HostThread {
public:
    /// Started on first use and never stopped: the plug-in it loads stays loaded until the
    /// process ends.
    static HostThread& instance();

    /// Runs `task` on the host thread and waits for it; an exception it throws is thrown here.
    /// Callers wait for each other. Call without holding the GIL.
    void run(const std::function<void()>& task);

    HostThread(const HostThread&) = delete;
    HostThread& operator=(const HostThread&) = delete;

private:
    HostThread();
    void loop();

    std::mutex _mutex;
    std::condition_variable _changed;
    const std::function<void()>* _task = nullptr; ///< the task being run, null when idle
    bool _done = false;
    std::exception_ptr _failure;
};

} // namespace envlights::python
