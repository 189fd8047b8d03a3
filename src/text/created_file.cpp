#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text.h"
#include "text/program_name.h"

namespace {

// Opens `name` for writing with `flags` besides the usual ones, never
// through a symbolic link; -1, with the reason on stderr and in errno, when
// it cannot.
int OpenForWriting(const char* name, int flags) {
    const int fd = ::open(name, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | flags, 0666);
    if (fd < 0) {
        const int error = errno;
        if (error == ELOOP) {
            PrintMessage(EscapeControlCharacters(std::string_view(name)) +
                         " is a symbolic link; nothing is written through it");
        } else {
            PrintMessage("cannot create " + EscapeControlCharacters(std::string_view(name)) + ": " +
                         std::strerror(error));
        }
        errno = error;
    }
    return fd;
}

}  // namespace

int CreateFileDescriptor(const char* name) { return OpenForWriting(name, O_TRUNC); }

std::FILE* CreateFile(const char* name) {
    const int fd = CreateFileDescriptor(name);
    if (fd < 0) {
        return nullptr;
    }
    std::FILE* file = ::fdopen(fd, "w+");
    if (file == nullptr) {
        ::close(fd);
    }
    return file;
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            errno = written == 0 ? EIO : errno;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool OverwriteFile(const char* name, std::string_view contents) {
    const int fd = OpenForWriting(name, 0);
    if (fd < 0) {
        return false;
    }
    const bool whole = WriteAll(fd, contents) && ::ftruncate(fd, off_t(contents.size())) == 0;
    const int error = errno;
    ::close(fd);
    if (!whole) {
        PrintMessage("cannot write " + EscapeControlCharacters(std::string_view(name)) + ": " + std::strerror(error));
    }
    return whole;
}

void RemoveRegularFile(const char* name) {
    struct stat status {};
    if (::lstat(name, &status) == 0 && S_ISREG(status.st_mode)) {
        ::unlink(name);
    }
}
