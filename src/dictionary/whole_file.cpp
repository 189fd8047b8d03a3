#include "dictionary/whole_file.h"

#include <sys/stat.h>

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
    std::FILE* file = std::fopen(name, "rb");
    if (file == nullptr) {
        return false;
    }
    const bool read = ReadOpenFile(file, bytes);
    std::fclose(file);
    if (!read) {
        bytes = {};
    }
    return read;
}
