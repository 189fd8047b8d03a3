#include "common/parallel_for.h"

#include <atomic>
#include <thread>
#include <vector>

namespace speech {

void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t, unsigned)>& work) {
    std::atomic<std::size_t> next{0};
    auto worker = [&](unsigned number) {
        for (std::size_t i = next++; i < count; i = next++) work(i, number);
    };
    std::vector<std::thread> pool;
    for (unsigned k = 1; k < threads && k < count; ++k) pool.emplace_back(worker, k);
    worker(0);
    for (auto& thread : pool) thread.join();
}

}  // namespace speech
