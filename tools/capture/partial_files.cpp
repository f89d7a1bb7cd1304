// Partial files and the signals that end a capture early. The names of the files being written
// live in a fixed table that the signal handler reads, so it needs nothing but calls that are
// safe inside a handler: kill, waitpid, unlink and _exit. A table entry is filled while the
// signals are blocked and marked as kept only once its name is complete.
#include "partial_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "partial_name.h"
#include "stop_signals.h"

namespace {

char partialNames[MAX_PARTIAL_FILES][PARTIAL_NAME_CAPACITY];
volatile sig_atomic_t partialKept[MAX_PARTIAL_FILES];
volatile sig_atomic_t processToStop = -1;
mode_t creationMode = 0644;

void onSignal(int signal) {
    const pid_t process = processToStop;
    if (process > 0) {
        kill(process, SIGKILL);
        while (waitpid(process, nullptr, 0) < 0 && errno == EINTR) {
        }
    }
    for (int i = 0; i < MAX_PARTIAL_FILES; ++i)
        if (partialKept[i]) unlink(partialNames[i]);
    _exit(128 + signal);
}

int keptSlot(const char* name) {
    for (int i = 0; i < MAX_PARTIAL_FILES; ++i)
        if (partialKept[i] && std::strcmp(partialNames[i], name) == 0) return i;
    return -1;
}

}  // namespace

void removePartialFilesOnSignal() {
    // mkstemps makes files only their owner may read; finished files get the usual mode.
    const mode_t mask = umask(0);
    umask(mask);
    creationMode = 0666 & ~mask;
    onStopSignals(onSignal);
}

int createPartialFile(const char* finalPath, char* name, size_t nameSize) {
    const PartialName partial = partialNameFor(finalPath, nameLimitOfFolderOf(finalPath));
    const size_t length = partial.path.size();
    if (length >= PARTIAL_NAME_CAPACITY || length >= nameSize) {
        errno = ENAMETOOLONG;
        return 0;
    }

    StopSignalsHeld held;
    int slot = 0;
    while (slot < MAX_PARTIAL_FILES && partialKept[slot]) ++slot;
    if (slot == MAX_PARTIAL_FILES) {
        errno = EMFILE;
        return 0;
    }
    char* chosen = partialNames[slot];
    std::memcpy(chosen, partial.path.c_str(), length + 1);
    const int fd = mkstemps(chosen, static_cast<int>(partial.extensionLength));
    if (fd < 0) return 0;
    fchmod(fd, creationMode);
    close(fd);
    partialKept[slot] = 1;
    std::memcpy(name, chosen, length + 1);
    return 1;
}

int finishPartialFile(const char* name, const char* finalPath) {
    const int slot = keptSlot(name);
    const int renamed = std::rename(name, finalPath) == 0;
    const int reason = errno;
    if (!renamed) unlink(name);
    if (slot >= 0) partialKept[slot] = 0;
    errno = reason;
    return renamed;
}

void discardPartialFile(const char* name) {
    if (name[0] == '\0') return;  // none was made
    const int reason = errno;
    const int slot = keptSlot(name);
    unlink(name);
    if (slot >= 0) partialKept[slot] = 0;
    errno = reason;
}

void setProcessToStopOnSignal(pid_t process) { processToStop = process; }
