#pragma once
// Work spread over threads, for loops whose iterations are independent.

#include <cstddef>
#include <functional>

namespace speech {

// Runs `work(i, worker)` for every i below `count` on up to `threads`
// threads (the calling one among them), `worker` numbering the thread from
// 0 to threads - 1 so that each may keep working memory of its own. Each i
// is handled by exactly one thread; results go to slots indexed by i. When
// fewer threads can be started, fewer do the work. An exception out of
// `work` stops the handing out of items and is thrown again in the calling
// thread once every thread has finished.
void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t, unsigned)>& work);

// The threads a tool spreads its work over: one per core, up to eight.
unsigned WorkerThreads();

}  // namespace speech
