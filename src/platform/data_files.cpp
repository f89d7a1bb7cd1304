// Data files are named the way the demo always names them, "data\x.jpg"; the backslashes
// become slashes only here, at the moment a file is opened. The readers take whole files.
// "data\" leads to the working directory's data/ folder, or, once findDataFolder has found
// none there, to the data set installed with the program.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/platform.h"
#include "platform/platform_internal.h"

#ifndef QD_INSTALLED_DATA_FROM_PROGRAM
#define QD_INSTALLED_DATA_FROM_PROGRAM "../share/quelldrift/data"
#endif

namespace {

// The installed data folder that "data\" leads to, or empty for the working directory's.
std::string chosenDataFolder;

// The data folder installed with this program: QD_INSTALLED_DATA_FROM_PROGRAM from the folder
// the program lies in. Empty when the program cannot tell where it lies.
std::filesystem::path installedDataFolder() {
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error || program.empty()) return {};
    return (program.parent_path() / QD_INSTALLED_DATA_FROM_PROGRAM).lexically_normal();
}

}  // namespace

int findDataFolder(char* looked, size_t size) {
    chosenDataFolder.clear();
    std::error_code error;
    if (std::filesystem::is_directory("data", error)) return 1;
    const std::filesystem::path installed = installedDataFolder();
    if (!installed.empty() && std::filesystem::is_directory(installed, error)) {
        chosenDataFolder = installed.string();
        return 1;
    }
    const std::filesystem::path here = std::filesystem::absolute("data", error);
    std::snprintf(looked, size, "%s and %s", here.c_str(),
                  installed.empty() ? "the folder installed beside the program" : installed.c_str());
    return 0;
}

std::string nativeDataPath(const char* path) {
    std::string native(path);
    for (char& c : native)
        if (c == '\\') c = '/';
    if (!chosenDataFolder.empty() && native.rfind("data/", 0) == 0) {
        native = chosenDataFolder + native.substr(4);
    }
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
