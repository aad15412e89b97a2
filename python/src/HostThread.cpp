#include "HostThread.h"

#include <thread>

namespace envlights::python {

HostThread& HostThread::instance()
{
    static auto* const host = new HostThread;
    return *host;
}

HostThread::HostThread()
{
    // Detached: it waits for tasks until the process ends.
    std::thread([this] { loop(); }).detach();
}

void HostThread::run(const std::function<void()>& task)
{
    std::unique_lock<std::mutex> lock(_mutex);
    _changed.wait(lock, [this] { return _task == nullptr; });
    _task = &task;
    _done = false;
    _changed.notify_all();
    _changed.wait(lock, [this] { return _done; });
    const std::exception_ptr failure = _failure;
    _failure = nullptr;
    _task = nullptr;
    _changed.notify_all();
    if (failure)
        std::rethrow_exception(failure);
}

void HostThread::loop()
{
    std::unique_lock<std::mutex> lock(_mutex);
    for (;;) {
        _changed.wait(lock, [this] { return _task != nullptr && !_done; });
        const std::function<void()>& task = *_task;
        lock.unlock();
        std::exception_ptr failure;
        try {
            task();
        } catch (...) {
            failure = std::current_exception();
        }
        lock.lock();
        _failure = failure;
        _done = true;
        _changed.notify_all();
    }
}

} // namespace envlights::python
