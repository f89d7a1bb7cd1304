// Capture folders. The lock is flock on the folder itself: it leaves no file behind, it goes with
// the process however the process ends, and the descriptor is closed on exec so that ffmpeg
// does not hold it. Only the names a capture writes count as an earlier capture; every other
// file in the folder is the user's and is never looked at again.
#include "capture_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>

namespace {

// The descriptor that holds the lock until the process ends.
int lockedFolder = -1;

int allDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(),
                                        [](char c) { return c >= '0' && c <= '9'; });
}

// ".partial-" and six characters, as createPartialFile makes them.
int isPartialMarker(const std::string& text) {
    return text.size() == 15 && text.rfind(".partial-", 0) == 0;
}

}  // namespace

int isCaptureFileName(const std::string& name) {
    if (name == "music.wav") return 1;
    if (name.rfind("music.partial-", 0) == 0 && name.size() == 24 &&
        name.compare(20, 4, ".wav") == 0)
        return 1;
    if (name.rfind("frame-", 0) != 0 || name.size() < 10 ||
        name.compare(name.size() - 4, 4, ".png") != 0)
        return 0;
    const std::string middle = name.substr(6, name.size() - 10);
    const size_t marker = middle.find('.');
    if (marker == std::string::npos) return allDigits(middle);
    return allDigits(middle.substr(0, marker)) && isPartialMarker(middle.substr(marker));
}

std::vector<std::string> captureFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (isCaptureFileName(name) && entry.is_regular_file(error)) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

int lockCaptureFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return 1;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int held = errno == EWOULDBLOCK;
        close(fd);
        return !held;
    }
    if (lockedFolder >= 0) close(lockedFolder);
    lockedFolder = fd;
    return 1;
}
