// Runs every writer of the data set into one folder, written whole.
#include "data_set.h"

#include "data_set_folder.h"

int generateDataSet(const std::string& dir, const DataSetOptions& options) {
    return writeDataSetWhole(dir, [&options](const std::string& folder) {
        return writePictures(folder, options.pictureScale) && writeBmpPictures(folder) &&
               writeFlareConfig(folder) && writeSceneFiles(folder) &&
               (options.skipMusic || writeMusic(folder, options.musicSeconds));
    });
}
