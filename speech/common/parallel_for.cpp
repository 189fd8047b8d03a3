#include "common/parallel_for.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace speech {

void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t, unsigned)>& work) {
    std::atomic<std::size_t> next{0};
    std::mutex failureLock;
    std::exception_ptr failure;  // the first exception out of `work`, under failureLock
    auto worker = [&](unsigned number) {
        try {
            for (std::size_t i = next++; i < count; i = next++) work(i, number);
        } catch (...) {
            next = count;  // no thread takes a new item
            const std::lock_guard<std::mutex> guard(failureLock);
            if (!failure) failure = std::current_exception();
        }
    };
    std::vector<std::jthread> pool;
    pool.reserve(threads);
    for (unsigned k = 1; k < threads && k < count; ++k) {
        try {
            pool.emplace_back(worker, k);
        } catch (const std::system_error&) {
            break;  // no more threads to be had: those started do every item
        }
    }
    worker(0);
    pool.clear();  // joins them
    if (failure) std::rethrow_exception(failure);
}

unsigned WorkerThreads() { return std::clamp(std::thread::hardware_concurrency(), 1u, 8u); }

}  // namespace speech
