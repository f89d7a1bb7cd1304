// The frame log of the programs with a window: the file QUELLDRIFT_FRAME_LOG names, opened on
// the first line and written line by line, so that a run stopped at any moment leaves every
// frame it showed in the file. A file that cannot be opened is named on stderr once.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

namespace {

FILE* logFile = nullptr;
bool tried = false;

const char* logPath() {
    const char* path = std::getenv("QUELLDRIFT_FRAME_LOG");
    return path && *path ? path : nullptr;
}

}  // namespace

int platformFrameLogWanted() { return logPath() && !(tried && !logFile) ? 1 : 0; }

void platformLogFrame(const char* line) {
    if (!tried) {
        tried = true;
        if (const char* path = logPath()) {
            logFile = std::fopen(path, "w");
            if (!logFile)
                explainFailure("cannot write the frame log %s: %s", path, std::strerror(errno));
        }
    }
    if (!logFile) return;
    std::fputs(line, logFile);
    std::fputc('\n', logFile);
    std::fflush(logFile);
}
