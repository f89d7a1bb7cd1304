// Partial names. The stem is cut at a character boundary of UTF-8, so that a shortened name
// stays readable; the marker and the extension are kept whole, so that the file's kind still
// shows and a program that reads the extension (ffmpeg) still knows its format.
#include "partial_name.h"

#include <unistd.h>

#include <climits>

PartialName partialNameFor(const std::string& finalPath, size_t nameLimit, PartialKind kind) {
    const size_t slash = finalPath.rfind('/');
    const size_t baseStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string base = finalPath.substr(baseStart);
    size_t dot = base.rfind('.');
    if (kind == PARTIAL_FOLDER || dot == std::string::npos || dot == 0 ||
        base.size() - dot > MAX_KEPT_EXTENSION)
        dot = base.size();
    const std::string extension = base.substr(dot);
    std::string stem = base.substr(0, dot);
    const size_t room = nameLimit > PARTIAL_MARKER_LENGTH + extension.size()
                            ? nameLimit - PARTIAL_MARKER_LENGTH - extension.size()
                            : 0;
    if (stem.size() > room) {
        size_t cut = room;
        // Back off continuation bytes (10xxxxxx) to the start of the character cut through.
        while (cut > 0 && (static_cast<unsigned char>(stem[cut]) & 0xC0) == 0x80) --cut;
        stem.resize(cut);
    }
    return {finalPath.substr(0, baseStart) + stem + ".partial-XXXXXX" + extension,
            extension.size()};
}

size_t nameLimitOfFolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const long limit = pathconf(folder.c_str(), _PC_NAME_MAX);
    return limit > 0 ? static_cast<size_t>(limit) : NAME_MAX;
}
