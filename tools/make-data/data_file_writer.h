// Writing the files of a data set. Every writer puts its bytes down through writeWholeFile and
// says what failed through reportCannotWrite, so that every failure names the file the user
// asked for (not the folder the set is written in before it takes its place) and the system's
// reason, once.
#pragma once

#include <cstddef>
#include <string>

// Creates or replaces `path` with `size` bytes and flushes them to the disk. 1 on success; 0
// with errno saying why, and no file left under `path`.
int writeWholeFile(const std::string& path, const void* bytes, size_t size);
// "make-data: cannot write PATH: REASON" on stderr, the reason from errno; PATH as the user
// knows it (see showFolderAs).
void reportCannotWrite(const std::string& path);
// From now on, paths in `folder` are named as the same paths in `shown` in messages: the data
// set is written in a folder of its own and moved to `shown` only when complete. An empty
// `folder` names every path as it is.
void showFolderAs(const std::string& folder, const std::string& shown);
// `path` as messages name it.
std::string shownPath(const std::string& path);
