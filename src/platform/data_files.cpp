// Data files are named the way the demo always names them, "data\x.jpg"; the backslashes
// become slashes only here, at the moment a file is opened. The readers take whole files.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/platform.h"
#include "platform/platform_internal.h"

std::string nativeDataPath(const char* path) {
    std::string native(path);
    for (char& c : native)
        if (c == '\\') c = '/';
    return native;
}

FILE* openDataFile(const char* path, const char* mode) {
    if (!path) return nullptr;
    return std::fopen(nativeDataPath(path).c_str(), mode);
}

DataFileResult readDataFile(const char* path, uint8_t** bytes, size_t* size) {
    *bytes = nullptr;
    *size = 0;
    FILE* file = openDataFile(path, "rb");
    if (!file) return DATA_FILE_MISSING;
    long length = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) length = std::ftell(file);
    uint8_t* buffer = nullptr;
    if (length >= 0 && std::fseek(file, 0, SEEK_SET) == 0) {
        buffer = static_cast<uint8_t*>(std::malloc(static_cast<size_t>(length) + 1));
        if (buffer &&
            std::fread(buffer, 1, static_cast<size_t>(length), file) != static_cast<size_t>(length)) {
            std::free(buffer);
            buffer = nullptr;
        }
    }
    std::fclose(file);
    if (!buffer) return DATA_FILE_UNREADABLE;
    buffer[length] = 0;
    *bytes = buffer;
    *size = static_cast<size_t>(length);
    return DATA_FILE_READ;
}
