#include "common/parallel_for.h"

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>
#include <vector>

#include "speech/support/speech_test_support.h"

using namespace speech;

// Every item runs once, and a worker number is never held by two items at
// the same time: the trainer gives each number its own working memory.
TEST(ParallelFor, EachItemOnceAndEachWorkerNumberOnOneThreadAtATime) {
    constexpr std::size_t kItems = 200;
    for (const unsigned threads : {1u, 3u}) {
        std::vector<std::atomic<int>> runs(kItems);
        std::vector<std::atomic<bool>> busy(threads);
        std::atomic<bool> numberShared{false}, numberOutOfRange{false};
        ParallelFor(kItems, threads, [&](std::size_t item, unsigned worker) {
            ++runs[item];
            if (worker >= threads) {
                numberOutOfRange = true;
                return;
            }
            if (busy[worker].exchange(true)) numberShared = true;
            std::this_thread::sleep_for(std::chrono::microseconds(50));
            busy[worker] = false;
        });
        for (std::size_t item = 0; item < kItems; ++item) EXPECT_EQ(runs[item], 1) << item;
        EXPECT_FALSE(numberShared) << threads;
        EXPECT_FALSE(numberOutOfRange) << threads;
    }
}

// A failing item reaches the caller as its exception, after every thread
// has stopped, instead of ending the program from a worker thread.
TEST(ParallelFor, AnItemsExceptionIsThrownInTheCaller) {
    for (const unsigned threads : {1u, 3u}) {
        EXPECT_THROW(ParallelFor(100, threads,
                                 [](std::size_t item, unsigned) {
                                     if (item == 17) throw std::runtime_error("item 17");
                                 }),
                     std::runtime_error)
            << threads;
    }
}
