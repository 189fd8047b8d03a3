#include "dictionary/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <new>
#include <stdexcept>

namespace {

bool ReadOpenFile(std::FILE* file, std::vector<char>& bytes) {
    struct stat status {};
    if (fstat(fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        return false;
    }
    try {
        bytes.resize(static_cast<std::size_t>(status.st_size));
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    // One read call normally does it; keep reading when it returns short.
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const std::size_t got = std::fread(bytes.data() + filled, 1, bytes.size() - filled, file);
        if (got == 0) {
            break;
        }
        filled += got;
    }
    if (std::ferror(file)) {
        return false;
    }
    bytes.resize(filled);
    return true;
}

}  // namespace

bool ReadWholeFile(const char* name, std::vector<char>& bytes) {
    bytes.clear();
    // Opened without waiting, so a FIFO in the file's place is refused below
    // instead of hanging the open.
    const int fd = ::open(name, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    std::FILE* file = fd >= 0 ? ::fdopen(fd, "rb") : nullptr;
    if (file == nullptr) {
        if (fd >= 0) {
            ::close(fd);
        }
        return false;
    }
    const bool read = ReadOpenFile(file, bytes);
    std::fclose(file);
    if (!read) {
        bytes = {};
    }
    return read;
}
