#include "file_replacement.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "text/text.h"

namespace {

int LastError() { return errno != 0 ? errno : EIO; }

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Creates a new, empty file beside `fileName` whose name no other file has.
int CreateTemporaryFile(const std::string& fileName, std::string& temporaryName) {
    const std::string prefix = fileName + "." + IntToText(getpid()) + "-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporaryName = prefix + IntToText(attempt) + ".tmp";
        const int fd = open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) {
            return fd;
        }
    }
    return -1;
}

// Gives the new file the permissions of the file it replaces, if any.
bool CopyPermissions(const char* fileName, int fd) {
    struct stat existing {};
    if (stat(fileName, &existing) != 0 || !S_ISREG(existing.st_mode)) {
        return true;
    }
    return fchmod(fd, existing.st_mode & 07777) == 0;
}

// Makes the rename itself survive a crash. Best effort: the new contents are
// already in place, and some file systems cannot flush a folder.
void SyncFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        close(fd);
    }
}

}  // namespace

int ReplaceFileContents(const char* fileName, std::string_view contents) {
    errno = 0;
    std::string temporaryName;
    const int fd = CreateTemporaryFile(fileName, temporaryName);
    if (fd < 0) {
        return LastError();
    }
    int error = 0;
    if (!WriteAll(fd, contents) || !CopyPermissions(fileName, fd) || fsync(fd) != 0) {
        error = LastError();
    }
    if (close(fd) != 0 && error == 0) {
        error = LastError();
    }
    if (error == 0 && std::rename(temporaryName.c_str(), fileName) != 0) {
        error = LastError();
    }
    if (error != 0) {
        unlink(temporaryName.c_str());
        return error;
    }
    SyncFolder(FolderOf(fileName));
    return 0;
}
