#include "WorkerPool.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace envlights {

void WorkerPool::run(std::size_t count, unsigned workers,
                     const std::function<void(std::size_t)>& job,
                     const std::function<bool(std::size_t)>& done,
                     const std::function<void(std::size_t)>& wait, double tick)
{
    if (workers <= 1 || count <= 1) {
        for (std::size_t i = 0; i < count; ++i) {
            wait(i);
            job(i);
            if (!done(i))
                return;
        }
        return;
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<char> ended(count, 0);
    std::size_t next = 0;     // the next job to start
    std::size_t finished = 0; // jobs ended
    bool stop = false;

    const auto work = [&] {
        std::unique_lock<std::mutex> lock(mutex);
        while (!stop && next < count) {
            const std::size_t i = next++;
            lock.unlock();
            job(i);
            lock.lock();
            ended[i] = 1;
            ++finished;
            changed.notify_all();
        }
    };
    std::vector<std::thread> threads;
    const std::size_t threadCount = std::min<std::size_t>(workers, count);
    threads.reserve(threadCount);
    // Joined on every way out, a failed thread start's included.
    struct Joiner {
        std::vector<std::thread>& threads;
        std::mutex& mutex;
        bool& stop;
        ~Joiner()
        {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                stop = true;
            }
            for (std::thread& thread : threads)
                if (thread.joinable())
                    thread.join();
        }
    } joiner{threads, mutex, stop};
    for (std::size_t t = 0; t < threadCount; ++t)
        threads.emplace_back(work);

    const auto period = std::chrono::duration<double>(tick);
    std::unique_lock<std::mutex> lock(mutex);
    for (std::size_t reported = 0; reported < count; ++reported) {
        while (!ended[reported]) {
            const std::size_t seen = finished;
            lock.unlock();
            wait(seen);
            lock.lock();
            if (!ended[reported] && finished == seen)
                changed.wait_for(lock, period);
        }
        lock.unlock();
        const bool goOn = done(reported);
        lock.lock();
        if (!goOn) {
            stop = true;
            return;
        }
    }
}

} // namespace envlights
