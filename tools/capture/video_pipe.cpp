// The ffmpeg pipe. ffmpeg is started with posix_spawnp and a pipe on its standard input, so no
// shell ever sees the file names. Containers that commonly carry H.264 get H.264 and AAC with a
// fast preset (the capture is the slow part, not the encoding); other containers get ffmpeg's
// own defaults. File names reach ffmpeg as "file:NAME", so that no name can read as an option or
// a protocol ("-version", "a:b.mp4"). A write to a pipe whose reader died fails with EPIPE
// instead of killing the capture, so the tool can say that ffmpeg stopped. While ffmpeg runs, a
// signal that ends the capture stops it first.
#include "video_pipe.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "partial_files.h"

extern char** environ;

namespace {

pid_t encoder = -1;
int pipeInput = -1;
size_t frameBytes = 0;

int endsWith(const std::string& text, const char* suffix) {
    size_t length = std::strlen(suffix);
    if (text.size() < length) return 0;
    for (size_t i = 0; i < length; ++i) {
        char c = text[text.size() - length + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return 0;
    }
    return 1;
}

int writeAll(int fd, const uint8_t* bytes, size_t count) {
    while (count > 0) {
        ssize_t done = write(fd, bytes, count);
        if (done < 0) {
            if (errno == EINTR) continue;
            return 0;
        }
        bytes += done;
        count -= static_cast<size_t>(done);
    }
    return 1;
}

}  // namespace

int ffmpegAvailable() {
    const char* path = std::getenv("PATH");
    if (!path) return 0;
    std::string list(path);
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string dir = list.substr(start, end - start);
        if (dir.empty()) dir = ".";
        std::string candidate = dir + "/ffmpeg";
        struct stat info;
        if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            access(candidate.c_str(), X_OK) == 0)
            return 1;
        start = end + 1;
    }
    return 0;
}

int openVideoPipe(const char* videoPath, const char* wavPath, int fps, int width, int height) {
    if (encoder > 0 || !videoPath || !wavPath) return 0;
    std::signal(SIGPIPE, SIG_IGN);

    std::string size = std::to_string(width) + "x" + std::to_string(height);
    std::string rate = std::to_string(fps);
    std::string output(videoPath);
    std::vector<std::string> args = {"ffmpeg", "-hide_banner", "-loglevel", "error", "-y",
                                     "-f", "rawvideo", "-pix_fmt", "rgb24", "-s", size,
                                     "-framerate", rate, "-i", "pipe:0",
                                     "-f", "wav", "-i", std::string("file:") + wavPath,
                                     "-map", "0:v:0", "-map", "1:a:0"};
    if (endsWith(output, ".mp4") || endsWith(output, ".m4v") || endsWith(output, ".mov") ||
        endsWith(output, ".mkv")) {
        for (const char* a : {"-c:v", "libx264", "-preset", "veryfast", "-crf", "20", "-c:a",
                              "aac", "-b:a", "192k"})
            args.emplace_back(a);
    }
    if (endsWith(output, ".mp4") || endsWith(output, ".m4v") || endsWith(output, ".mov")) {
        args.emplace_back("-movflags");
        args.emplace_back("+faststart");
    }
    for (const char* a : {"-pix_fmt", "yuv420p", "-shortest"}) args.emplace_back(a);
    args.push_back("file:" + output);

    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    int fds[2];
    if (pipe(fds) != 0) return 0;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[0], STDIN_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    pid_t child = -1;
    int spawned = posix_spawnp(&child, "ffmpeg", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[0]);
    if (spawned != 0) {
        close(fds[1]);
        return 0;
    }
    encoder = child;
    setProcessToStopOnSignal(child);
    pipeInput = fds[1];
    frameBytes = static_cast<size_t>(width) * height * 3;
    return 1;
}

int writeVideoFrame(const uint8_t* rgb) {
    if (pipeInput < 0) return 0;
    return writeAll(pipeInput, rgb, frameBytes);
}

int closeVideoPipe() {
    if (encoder <= 0) return 0;
    if (pipeInput >= 0) close(pipeInput);
    pipeInput = -1;
    int status = 0;
    pid_t waited;
    do {
        waited = waitpid(encoder, &status, 0);
    } while (waited < 0 && errno == EINTR);
    setProcessToStopOnSignal(-1);
    encoder = -1;
    return waited > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
