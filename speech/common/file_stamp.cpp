#include "common/file_stamp.h"

#include <sys/stat.h>

#include <chrono>

namespace speech {
namespace {

// Far more than one tick of the clock that stamps files.
constexpr std::int64_t kClockTickMarginNs = 100'000'000;

}  // namespace

std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    return FileStamp{std::uint64_t(status.st_ino), std::uint64_t(status.st_size),
                     std::int64_t(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec};
}

bool RecentlyModified(const FileStamp& stamp) {
    const std::int64_t now =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    return stamp.modified > now - kClockTickMarginNs;
}

}  // namespace speech
