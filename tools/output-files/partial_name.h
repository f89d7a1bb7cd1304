// The name a file or folder is written under before it takes its final name: beside the final
// one, in the same folder (so that the last step is a rename within one file system), with
// ".partial-XXXXXX" before the extension, "clip.partial-XXXXXX.mp4", the six X for mkstemps or
// mkdtemp to make unique. Any name the folder takes as a final name gives a partial name it
// takes too: where the final name is too long for the marker, its stem is shortened.
#pragma once

#include <cstddef>
#include <string>

// Characters the marker adds: ".partial-" and the six X.
constexpr size_t PARTIAL_MARKER_LENGTH = 15;
// Longest extension kept after the marker (".mp4", ".wav", ".png"); a longer "extension" is
// part of the stem.
constexpr size_t MAX_KEPT_EXTENSION = 16;

struct PartialName {
    std::string path;       // the template, six X to be replaced
    size_t extensionLength; // characters after the X (for mkstemps), 0 for none
};

// Whether the partial name keeps the final one's extension after the X (a file's, which tells a
// program its format) or ends in the X (a folder's, for mkdtemp).
enum PartialKind { PARTIAL_FILE, PARTIAL_FOLDER };

// The partial name for `finalPath` in a folder whose names hold at most `nameLimit` bytes.
PartialName partialNameFor(const std::string& finalPath, size_t nameLimit,
                           PartialKind kind = PARTIAL_FILE);
// The longest file name the folder that `path` lies in takes (pathconf); 255 where the system
// cannot tell.
size_t nameLimitOfFolderOf(const std::string& path);
