#include "data_file_path.h"

#include <filesystem>

std::string dataFilePath(const std::string& dir, const std::string& dataName) {
    std::string name = dataName;
    if (name.rfind("data\\", 0) == 0) name = name.substr(5);
    for (char& c : name)
        if (c == '\\') c = '/';
    return (std::filesystem::path(dir) / name).string();
}
