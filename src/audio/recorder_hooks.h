#pragma once
// Stand-ins for the recorder's allocations and file writes, so tests can make
// them fail. Install them only while no recording runs.

#include <sys/types.h>

#include <cstddef>

struct RecorderHooks {
    // Asked before each allocation of a buffer header or data block; true
    // makes that allocation fail. Null: allocations are never failed.
    bool (*allocationFails)() = nullptr;
    // Writes to the recording file as POSIX write() does. Null: write().
    ssize_t (*writeFile)(int fd, const void* data, std::size_t size) = nullptr;
};

// `RecorderHooks{}` restores the real allocations and writes.
void SetRecorderHooks(const RecorderHooks& hooks);
