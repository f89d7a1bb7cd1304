// Writing a data set whole. The folder being written is removed by the signal handler with
// calls that are safe there: the handler reads the folder's entries with getdents64 on a
// descriptor opened beforehand and unlinks each (the folder holds files only), then removes the
// folder and ends the process. Moving finished files into an earlier set happens with the
// signals held back: it is quick, and a signal halfway would leave a set of two generations.
#include "data_set_folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "data_file_writer.h"
#include "partial_name.h"
#include "platform/platform.h"
#include "stop_signals.h"

namespace fs = std::filesystem;

namespace {

// The folder being written, for the signal handler: its descriptor (-1 for none) and its path.
volatile sig_atomic_t writingFolder = -1;
char writingFolderPath[PATH_MAX];

// Unlinks every entry of the folder `fd`, scanning again until a scan finds nothing: removing
// entries while reading them may let a scan pass some by.
void removeEntriesOf(int fd) {
    alignas(8) char buffer[4096];
    for (int removed = 1; removed;) {
        removed = 0;
        lseek(fd, 0, SEEK_SET);
        for (ssize_t got; (got = getdents64(fd, buffer, sizeof buffer)) > 0;) {
            for (ssize_t at = 0; at < got;) {
                const auto* entry = reinterpret_cast<const struct dirent64*>(buffer + at);
                at += entry->d_reclen;
                const char* name = entry->d_name;
                if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
                removed |= unlinkat(fd, name, 0) == 0;
            }
        }
    }
}

void onStopSignal(int signal) {
    const int fd = writingFolder;
    if (fd >= 0) {
        removeEntriesOf(fd);
        rmdir(writingFolderPath);
    }
    _exit(128 + signal);
}

// Makes the signal handler remove `folder` until forgetFolderBeingWritten.
void removeOnStopSignal(const std::string& folder) {
    StopSignalsHeld held;
    std::snprintf(writingFolderPath, sizeof writingFolderPath, "%s", folder.c_str());
    writingFolder = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    onStopSignals(onStopSignal);
}

void forgetFolderBeingWritten() {
    StopSignalsHeld held;
    if (writingFolder >= 0) close(writingFolder);
    writingFolder = -1;
}

int failWith(const std::string& text) {
    std::fprintf(stderr, "make-data: %s\n", text.c_str());
    return 0;
}

int failWithReason(const std::string& text, int reason) {
    return failWith(text + ": " + std::strerror(reason ? reason : EIO));
}

int listed(const std::vector<ManifestEntry>& entries, const std::string& name) {
    return std::any_of(entries.begin(), entries.end(),
                       [&](const ManifestEntry& e) { return e.name == name; });
}

// `dir` without slashes at its end ("data/" is "data"), so that its last part is its name.
std::string withoutTrailingSlashes(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

// A fresh folder made from the template `pattern` (six X at its end), with the mode a folder
// made by mkdir gets. Empty when it cannot be made, with errno saying why.
std::string makeFreshFolder(const std::string& pattern) {
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (!mkdtemp(name.data())) return {};
    const mode_t mask = umask(0);
    umask(mask);
    chmod(name.data(), 0777 & ~mask);
    return name.data();
}

// Moves the set written in `fresh` into `dir`, over the earlier set `earlier` (empty for an
// empty folder). 0 after saying why.
int moveSetInto(const std::string& fresh, const std::string& dir,
                const std::vector<ManifestEntry>& earlier) {
    std::vector<ManifestEntry> written;
    readManifest(fresh, &written);
    std::error_code error;
    for (const ManifestEntry& file : written)
        if (fs::exists(fs::symlink_status(dir + "/" + file.name, error)) &&
            !listed(earlier, file.name))
            return failWith(dir + "/" + file.name +
                            " is not a file of the data set there: move it away, or give "
                            "another folder");
    StopSignalsHeld held;
    const std::string manifest = dir + "/" + DATA_SET_MANIFEST;
    if (unlink(manifest.c_str()) != 0 && errno != ENOENT)
        return failWithReason("cannot replace " + manifest, errno);
    for (const ManifestEntry& file : written)
        if (std::rename((fresh + "/" + file.name).c_str(), (dir + "/" + file.name).c_str()) != 0)
            return failWithReason("cannot write " + dir + "/" + file.name, errno);
    for (const ManifestEntry& file : earlier)
        if (!listed(written, file.name)) unlink((dir + "/" + file.name).c_str());
    if (std::rename((fresh + "/" + DATA_SET_MANIFEST).c_str(), manifest.c_str()) != 0)
        return failWithReason("cannot write " + manifest, errno);
    rmdir(fresh.c_str());
    return 1;
}

}  // namespace

int writeManifest(const std::string& folder) {
    std::vector<ManifestEntry> entries;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name != DATA_SET_MANIFEST) entries.push_back({name, entry.file_size(error)});
    }
    std::sort(entries.begin(), entries.end(),
              [](const ManifestEntry& a, const ManifestEntry& b) { return a.name < b.name; });
    std::string text = std::string(DATA_SET_MANIFEST_HEADER) + "\n";
    for (const ManifestEntry& e : entries) text += std::to_string(e.size) + " " + e.name + "\n";
    const std::string path = folder + "/" + DATA_SET_MANIFEST;
    if (error || !writeWholeFile(path, text.data(), text.size())) {
        if (error) errno = error.value();
        reportCannotWrite(path);
        return 0;
    }
    return 1;
}

int readManifest(const std::string& folder, std::vector<ManifestEntry>* entries) {
    entries->clear();
    std::ifstream in(folder + "/" + DATA_SET_MANIFEST, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != DATA_SET_MANIFEST_HEADER) return 0;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        ManifestEntry entry;
        if (!(fields >> entry.size) || fields.get() != ' ' || !std::getline(fields, entry.name) ||
            entry.name.empty()) {
            entries->clear();
            return 0;
        }
        entries->push_back(entry);
    }
    return 1;
}

int writeDataSetWhole(const std::string& givenDir,
                      const std::function<int(const std::string& folder)>& writeFiles) {
    const std::string dir = withoutTrailingSlashes(givenDir);
    std::error_code error;
    const fs::file_status status = fs::status(dir, error);
    const bool exists = fs::exists(status);
    std::vector<ManifestEntry> earlier;
    if (exists && !fs::is_directory(status)) return failWith(dir + " is there and is not a folder");
    if (exists && !readManifest(dir, &earlier) && !fs::is_empty(dir, error))
        return failWith(dir + " holds files but no data set that make-data finished (no " +
                        DATA_SET_MANIFEST + "): give an empty folder or a new name");

    std::string fresh;
    if (exists) {
        fresh = makeFreshFolder(dir + "/.make-data.partial-XXXXXX");
    } else {
        const fs::path parent = fs::path(dir).parent_path();
        if (!parent.empty()) fs::create_directories(parent, error);
        fresh = makeFreshFolder(partialNameFor(dir, nameLimitOfFolderOf(dir), PARTIAL_FOLDER).path);
    }
    if (fresh.empty()) return failWithReason("cannot write " + dir, errno);

    removeOnStopSignal(fresh);
    showFolderAs(fresh, dir);
    int ok = writeFiles(fresh) && writeManifest(fresh);
    showFolderAs("", "");
    if (ok && exists) ok = moveSetInto(fresh, dir, earlier);
    if (ok && !exists && std::rename(fresh.c_str(), dir.c_str()) != 0)
        ok = failWithReason("cannot write " + dir, errno);
    if (!ok) fs::remove_all(fresh, error);
    forgetFolderBeingWritten();
    return ok;
}
