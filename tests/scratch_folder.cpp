// Scratch folders and the tools a test needs.
#include "scratch_folder.h"

#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

#include "tools/tool_programs.h"

namespace fs = std::filesystem;

fs::path makeScratchFolder(const std::string& prefix) {
    std::error_code error;
    const fs::path root = fs::temp_directory_path(error);
    if (error) return {};
    std::string pattern = (root / (prefix + "-XXXXXX")).string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    return made ? fs::path(made) : fs::path();
}

ScratchFolder::~ScratchFolder() {
    std::error_code error;
    if (!path.empty()) fs::remove_all(path, error);
}

std::string missingPrograms(std::initializer_list<const char*> names) {
    std::string missing;
    for (const char* name : names)
        if (!programOnPath(name)) missing += (missing.empty() ? "" : ", ") + std::string(name);
    return missing;
}

int everyToolRequired() {
    const char* value = std::getenv("QD_EVERY_TOOL");
    return value && std::strcmp(value, "1") == 0;
}
