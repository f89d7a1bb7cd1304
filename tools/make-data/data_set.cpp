// Runs every writer of the data set into one folder. Paths inside the demo keep their
// "data\" prefix; here that prefix is dropped and the rest is joined to the chosen folder.
#include "data_set.h"

#include <cstdio>
#include <filesystem>

std::string dataFilePath(const std::string& dir, const std::string& dataName) {
    std::string name = dataName;
    if (name.rfind("data\\", 0) == 0) name = name.substr(5);
    for (char& c : name)
        if (c == '\\') c = '/';
    return (std::filesystem::path(dir) / name).string();
}

int generateDataSet(const std::string& dir, const DataSetOptions& options) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (!std::filesystem::is_directory(dir)) {
        std::fprintf(stderr, "make-data: cannot create %s\n", dir.c_str());
        return 0;
    }
    if (!writePictures(dir, options.pictureScale) || !writeBmpPictures(dir) || !writeFlareConfig(dir) || !writeSceneFiles(dir))
        return 0;
    if (!options.skipMusic && !writeMusic(dir, options.musicSeconds)) return 0;
    return 1;
}
