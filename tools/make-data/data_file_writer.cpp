// Data files are written with plain system calls: every byte written or a reason why not, then
// fsync, so that a set whose manifest says it is complete holds its files on the disk too, even
// after the machine goes down. A file that fails is removed again: a half-written picture never
// lies in a folder under its final name.
#include "data_file_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

std::string writtenFolder;
std::string shownFolder;

}  // namespace

int writeWholeFile(const std::string& path, const void* bytes, size_t size) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return 0;
    const auto* next = static_cast<const unsigned char*>(bytes);
    size_t left = size;
    int ok = 1;
    while (ok && left > 0) {
        const ssize_t done = write(fd, next, left);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            if (done == 0) errno = ENOSPC;
            ok = 0;
            break;
        }
        next += done;
        left -= static_cast<size_t>(done);
    }
    if (ok && fsync(fd) != 0) ok = 0;
    int reason = ok ? 0 : errno;
    if (close(fd) != 0 && ok) {
        ok = 0;
        reason = errno;
    }
    if (ok) return 1;
    unlink(path.c_str());
    errno = reason;
    return 0;
}

void reportCannotWrite(const std::string& path) {
    const int reason = errno ? errno : EIO;
    std::fprintf(stderr, "make-data: cannot write %s: %s\n", shownPath(path).c_str(),
                 std::strerror(reason));
}

void showFolderAs(const std::string& folder, const std::string& shown) {
    writtenFolder = folder;
    shownFolder = shown;
}

std::string shownPath(const std::string& path) {
    if (writtenFolder.empty() || path.rfind(writtenFolder, 0) != 0) return path;
    const std::string rest = path.substr(writtenFolder.size());
    if (!rest.empty() && rest[0] != '/') return path;
    return shownFolder + rest;
}
