// Data files are named the way the demo always names them, "data\x.jpg"; the backslashes
// become slashes only here, at the moment a file is opened. "data\" leads to the working
// directory's data/ folder when it is a data set (it holds the manifest make-data writes last),
// or else to the data set installed with the program; a folder that merely has the name, empty
// or the user's own, hides nothing. Only regular files are data: a FIFO would hold the program
// until some other program writes to it, and a directory or a device has no size to read, so
// they are refused as soon as they are opened (without blocking) and before a byte is read. The
// readers take whole files of at most MAX_DATA_FILE_BYTES, so no file can make the program ask
// for more memory than that to hold it.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

constexpr char NO_FOLDER[] = "no such folder";

// Why `folder` is not a data set, in a few words; empty when it is one.
std::string whyNotADataSet(const std::filesystem::path& folder) {
    struct stat info;
    if (stat(folder.c_str(), &info) != 0)
        return errno == ENOENT ? NO_FOLDER : std::string("cannot be read: ") + std::strerror(errno);
    if (!S_ISDIR(info.st_mode)) return "not a folder";
    FILE* manifest = std::fopen((folder / DATA_SET_MANIFEST).c_str(), "rb");
    if (!manifest) {
        if (errno == ENOENT)
            return std::string("no ") + DATA_SET_MANIFEST + ", which make-data writes last";
        return std::string(DATA_SET_MANIFEST) + " cannot be read: " + std::strerror(errno);
    }
    char line[64] = "";
    const int read = std::fgets(line, sizeof line, manifest) != nullptr;
    std::fclose(manifest);
    if (!read || std::strcmp(line, (std::string(DATA_SET_MANIFEST_HEADER) + "\n").c_str()) != 0)
        return std::string(DATA_SET_MANIFEST) + " is not one that make-data writes";
    return "";
}

const char* fileKind(mode_t mode) {
    if (S_ISDIR(mode)) return "a directory";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

}  // namespace

int findDataFolder(char* looked, size_t size) {
    chosenDataFolder.clear();
    const std::string here = whyNotADataSet("data");
    if (here.empty()) return 1;
    std::error_code error;
    const std::filesystem::path hereShown = std::filesystem::absolute("data", error);
    const std::filesystem::path installed = installedDataFolder();
    const std::string there =
        installed.empty() ? "the program cannot tell where it lies" : whyNotADataSet(installed);
    if (there.empty()) {
        chosenDataFolder = installed.string();
        if (here != NO_FOLDER)
            explainFailure("%s is not a data set (%s): the one installed in %s plays",
                           hereShown.c_str(), here.c_str(), installed.c_str());
        return 1;
    }
    std::snprintf(looked, size, "%s (%s) and %s (%s)", hereShown.c_str(), here.c_str(),
                  installed.empty() ? "the folder installed beside the program" : installed.c_str(),
                  there.c_str());
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

FILE* openDataFile(const char* path) {
    if (!path) return nullptr;
    // Non-blocking, so that opening a FIFO does not wait for a writer; the kind is then checked
    // on the open descriptor itself, so nothing can be swapped in between check and open.
    const int fd = open(nativeDataPath(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        // A missing file is the common case, and every reader has its own words for it.
        if (errno != ENOENT) explainFailure("%s cannot be opened: %s", path, std::strerror(errno));
        return nullptr;
    }
    struct stat info;
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        explainFailure("%s is %s, not a regular file", path, fileKind(info.st_mode));
        close(fd);
        return nullptr;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* file = fdopen(fd, "rb");
    if (!file) close(fd);
    return file;
}

DataFileResult readDataFile(const char* path, uint8_t** bytes, size_t* size) {
    *bytes = nullptr;
    *size = 0;
    FILE* file = openDataFile(path);
    if (!file) return DATA_FILE_MISSING;
    struct stat info;
    if (fstat(fileno(file), &info) != 0 || info.st_size < 0) {
        std::fclose(file);
        explainFailure("%s cannot be read", path);
        return DATA_FILE_UNREADABLE;
    }
    if (static_cast<uint64_t>(info.st_size) > MAX_DATA_FILE_BYTES) {
        std::fclose(file);
        explainFailure("%s is %lld bytes, more than the %zu MB a data file may hold", path,
                       static_cast<long long>(info.st_size), MAX_DATA_FILE_BYTES >> 20);
        return DATA_FILE_UNREADABLE;
    }
    const size_t length = static_cast<size_t>(info.st_size);
    auto* buffer = static_cast<uint8_t*>(std::malloc(length + 1));
    if (buffer && std::fread(buffer, 1, length, file) != length) {
        std::free(buffer);
        buffer = nullptr;
    }
    std::fclose(file);
    if (!buffer) {
        explainFailure("%s cannot be read", path);
        return DATA_FILE_UNREADABLE;
    }
    buffer[length] = 0;
    *bytes = buffer;
    *size = length;
    return DATA_FILE_READ;
}
