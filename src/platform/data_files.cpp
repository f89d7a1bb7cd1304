// Data files are named the way the demo always names them, "data\x.jpg"; the backslashes
// become slashes only here, at the moment a file is opened.
#include <cstdio>
#include <string>

#include "platform/platform.h"

FILE* openDataFile(const char* path, const char* mode) {
    if (!path) return nullptr;
    std::string native(path);
    for (char& c : native)
        if (c == '\\') c = '/';
    return std::fopen(native.c_str(), mode);
}
