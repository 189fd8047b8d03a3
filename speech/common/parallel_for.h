#pragma once
// Work spread over threads, for loops whose iterations are independent.

#include <cstddef>
#include <functional>

namespace speech {

// Runs `work(i)` for every i below `count` on up to `threads` threads (the
// calling one among them). Each i is handled by exactly one thread; results
// go to slots indexed by i.
void ParallelFor(std::size_t count, unsigned threads, const std::function<void(std::size_t)>& work);

}  // namespace speech
