// Files the capture is still writing. Each is made under a fresh name of its own beside its
// final one (so no file of the user's is ever overwritten or removed on the way) and renamed to
// the final name only when complete, so an interrupted run leaves nothing that looks finished.
// On SIGINT, SIGTERM or SIGHUP the tool stops its encoder, removes every file still partial and
// exits at once with 128 plus the signal's number (130 for SIGINT, 143 for SIGTERM).
#pragma once

#include <sys/types.h>

#include <cstddef>

// Files that may be partial at the same time: a picture, the music and the video.
constexpr int MAX_PARTIAL_FILES = 4;
// Longest name of a partial file, terminator included.
constexpr size_t PARTIAL_NAME_CAPACITY = 4096;

// Installs the signal handlers. Call once, before anything is written.
void removePartialFilesOnSignal();
// Creates an empty file beside `finalPath` whose name is the final one with ".partial-XXXXXX"
// (six random characters) before its extension, "clip.partial-x3Fq9a.mp4": a name that no
// existing file has, with the extension that tells a program its format, and within the
// folder's limit on names however long the final one is (partial_name.h). Writes the name to
// `name` and keeps it for removal on a signal. 1 on success, 0 when no such file can be made,
// with errno saying why.
int createPartialFile(const char* finalPath, char* name, size_t nameSize);
// Renames the partial file to `finalPath`, replacing a file of that name. 1 on success; on
// failure the partial file is removed and errno says why. Either way it is no longer kept.
int finishPartialFile(const char* name, const char* finalPath);
// Removes the partial file and stops keeping it; an empty name (none was made) does nothing.
// errno is left as it was, so that a failure can be cleaned up before it is reported.
void discardPartialFile(const char* name);
// The process that a signal stops (SIGKILL, then waits for it) before removing the files, so
// that it cannot write to them any more; -1 for none.
void setProcessToStopOnSignal(pid_t process);
