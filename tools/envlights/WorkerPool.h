#pragma once

// Runs numbered jobs on a few threads and hands their ends back in number order, on the
// calling thread, so that whatever a job leaves to be written comes out as it would from one
// thread: job i is reported only once every job before it has been.

#include <cstddef>
#include <functional>

namespace envlights {

class WorkerPool {
public:
    /// Runs job(i) for i = 0 .. count-1, the lowest number not yet started first, on `workers`
    /// threads (1: on the calling thread itself, one job after the other). After job i and every
    /// job before it have ended, calls done(i) on the calling thread; when it returns false no
    /// further job starts, and run returns once the running ones have ended, without reporting
    /// them. While waiting the calling thread calls wait(finished), with the number of jobs
    /// ended so far, at least every `tick` seconds and whenever a job ends. `job` must not
    /// throw; `done` and `wait` run on the calling thread only.
    static void run(std::size_t count, unsigned workers,
                    const std::function<void(std::size_t)>& job,
                    const std::function<bool(std::size_t)>& done,
                    const std::function<void(std::size_t)>& wait, double tick = 0.25);
};

} // namespace envlights
