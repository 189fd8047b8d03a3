#include "app/work_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "text/program_name.h"
#include "text/text.h"

namespace {

constexpr const char* kLockFile = "parrot.lock";

// The lock of this process; open until the process ends.
int heldLock = -1;

// The process id the holder wrote into the lock file, or "" when unknown.
std::string HolderProcess(int fd) {
    char text[32] = {};
    const ssize_t size = ::pread(fd, text, sizeof text - 1, 0);
    const std::int32_t process = size > 0 ? TextToInt(std::string_view(text, static_cast<std::size_t>(size))) : 0;
    return process > 0 ? IntToText(process) : "";
}

}  // namespace

std::string LockWorkFolder(const std::string& folderName) {
    if (heldLock >= 0) {
        ::close(heldLock);  // a new work folder in the same process
        heldLock = -1;
    }
    const int fd = ::open(kLockFile, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) {
        return "cannot open the lock file of the work folder " + folderName + ": " + std::strerror(errno);
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        const std::string holder = error == EWOULDBLOCK ? HolderProcess(fd) : "";
        ::close(fd);
        if (error != EWOULDBLOCK) {
            return "cannot lock the work folder " + folderName + ": " + std::strerror(error);
        }
        return "the work folder " + folderName + " is in use by another Parrot" +
               (holder.empty() ? "" : " (process " + holder + ")");
    }
    // Without the process id the lock still holds; only a second Parrot's
    // message lacks it.
    const std::string process = IntToText(::getpid()) + "\n";
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, process.data(), process.size(), 0) < 0) {
        PrintMessage(std::string("cannot write the process id into ") + kLockFile + ": " + std::strerror(errno));
    }
    heldLock = fd;
    return {};
}
