// Writes "5tfina.mp3": the rendered soundtrack, encoded, in one file.
#include <cstdio>

#include "data_file_path.h"
#include "data_file_writer.h"
#include "data_set.h"
#include "music.h"

int writeMusic(const std::string& dir, double seconds) {
    std::vector<uint8_t> mp3 = encodeMp3(renderMusic(seconds));
    std::string path = dataFilePath(dir, "data\\5tfina.mp3");
    if (mp3.empty()) {
        std::fprintf(stderr, "make-data: lame encoded no music for %s\n", shownPath(path).c_str());
        return 0;
    }
    if (!writeWholeFile(path, mp3.data(), mp3.size())) {
        reportCannotWrite(path);
        return 0;
    }
    return 1;
}
