// The folder a capture of a range writes its frames and music into holds the frames of one run
// only. A folder that holds an earlier capture's frames or music is refused, or, when the user
// asks, emptied of exactly those files and nothing else; and a capture writing into a folder
// holds a lock on it, so that a second capture into the same folder is refused while the first
// runs instead of mixing its frames in.
#pragma once

#include <string>
#include <vector>

// 1 when `name` is a file a capture of a range writes into its folder, finished or partial:
// "frame-000012.png", "music.wav", "frame-000012.partial-x3Fq9a.png", "music.partial-x3Fq9a.wav".
int isCaptureFileName(const std::string& name);
// The names of the capture files in `folder`, sorted; regular files only.
std::vector<std::string> captureFilesIn(const std::string& folder);
// Takes the lock of `folder` for the rest of the process. 1 when taken, or when the file system
// cannot lock at all; 0 when another process holds it.
int lockCaptureFolder(const std::string& folder);
