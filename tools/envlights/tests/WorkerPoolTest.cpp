// Jobs on several threads, reported in number order on the calling thread; a stop lets no new
// job start. Run by the sanitizer build too, where a race on the pool's state would show.

#include "WorkerPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace {

using namespace envlights;

// Later jobs end first, so that reports must wait for the earlier ones.
void sleepFor(std::size_t i, std::size_t count)
{
    std::this_thread::sleep_for(std::chrono::microseconds(200 * ((count - i) % 7)));
}

TEST(WorkerPoolTest, EveryJobRunsOnceAndIsReportedInOrderOnTheCallingThread)
{
    const std::thread::id caller = std::this_thread::get_id();
    for (const unsigned workers : {1u, 2u, 3u, 8u}) {
        for (const std::size_t count : {std::size_t(0), std::size_t(1), std::size_t(40)}) {
            std::vector<std::atomic<int>> runs(count);
            std::vector<int> results(count, -1);
            std::vector<std::size_t> reported;
            std::atomic<unsigned> running{0};
            unsigned mostRunning = 0;
            std::size_t lastFinished = 0;
            bool waitsRiseOnly = true;
            std::atomic<bool> otherThread{false};
            WorkerPool::run(
                count, workers,
                [&](std::size_t i) {
                    const unsigned now = ++running;
                    if (now > workers)
                        ADD_FAILURE() << now << " jobs at once with " << workers << " workers";
                    sleepFor(i, count);
                    results[i] = int(i) * 3;
                    ++runs[i];
                    --running;
                },
                [&](std::size_t i) {
                    otherThread = otherThread || std::this_thread::get_id() != caller;
                    EXPECT_EQ(results[i], int(i) * 3) << "reported before its job ended";
                    reported.push_back(i);
                    return true;
                },
                [&](std::size_t finished) {
                    otherThread = otherThread || std::this_thread::get_id() != caller;
                    waitsRiseOnly = waitsRiseOnly && finished >= lastFinished && finished <= count;
                    lastFinished = finished;
                    mostRunning = std::max(mostRunning, running.load());
                },
                0.001);
            SCOPED_TRACE(std::to_string(workers) + " workers, " + std::to_string(count) + " jobs");
            EXPECT_FALSE(otherThread);
            EXPECT_TRUE(waitsRiseOnly);
            ASSERT_EQ(reported.size(), count);
            for (std::size_t i = 0; i < count; ++i) {
                EXPECT_EQ(reported[i], i);
                EXPECT_EQ(runs[i].load(), 1) << "job " << i;
            }
        }
    }
}

TEST(WorkerPoolTest, AStopStartsNoFurtherJob)
{
    const std::size_t count = 200, stopAt = 5;
    for (const unsigned workers : {1u, 2u, 4u}) {
        SCOPED_TRACE(std::to_string(workers) + " workers");
        std::atomic<std::size_t> started{0}, ended{0};
        std::vector<std::size_t> reported;
        WorkerPool::run(
            count, workers,
            [&](std::size_t i) {
                ++started;
                // The jobs after the stop take long, so that the stop comes while few started.
                std::this_thread::sleep_for(std::chrono::milliseconds(i > stopAt ? 5 : 0));
                ++ended;
            },
            [&](std::size_t i) {
                reported.push_back(i);
                return i != stopAt;
            },
            [](std::size_t) {});
        const std::size_t startedAtReturn = started.load();
        EXPECT_EQ(ended.load(), startedAtReturn) << "run returns once the running jobs ended";
        ASSERT_EQ(reported.size(), stopAt + 1);
        EXPECT_EQ(reported.back(), stopAt);
        if (workers == 1)
            EXPECT_EQ(startedAtReturn, stopAt + 1);
        else
            EXPECT_LT(startedAtReturn, count / 2);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(started.load(), startedAtReturn) << "nothing starts after run returned";
    }
}

} // namespace
