#pragma once
// What tells a file's new contents from its old without reading it: its
// inode, size and modification time. A file rewritten within one tick of the
// system clock, in place and at the same size, shows the same stamp; see
// RecentlyModified.

#include <cstdint>
#include <optional>
#include <string>

namespace speech {

struct FileStamp {
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // ns since the epoch
    bool operator==(const FileStamp&) const = default;
};

// The stamp of a regular file; nothing for anything else.
std::optional<FileStamp> StampOf(const std::string& path);

// Modified so lately that a change now could leave the stamp as it is.
bool RecentlyModified(const FileStamp& stamp);

}  // namespace speech
