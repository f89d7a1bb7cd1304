// Runs every writer of the data set into one folder.
#include "data_set.h"

#include <cstdio>
#include <filesystem>

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
