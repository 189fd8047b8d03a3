#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "text.h"
#include "text/program_name.h"

int CreateFileDescriptor(const char* name) {
    const int fd = ::open(name, O_RDWR | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0666);
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

void RemoveRegularFile(const char* name) {
    struct stat status {};
    if (::lstat(name, &status) == 0 && S_ISREG(status.st_mode)) {
        ::unlink(name);
    }
}
