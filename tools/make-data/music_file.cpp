// Writes "5tfina.mp3": the rendered soundtrack, encoded, in one file.
#include <cstdio>

#include "data_file_path.h"
#include "data_set.h"
#include "music.h"

int writeMusic(const std::string& dir, double seconds) {
    std::vector<uint8_t> mp3 = encodeMp3(renderMusic(seconds));
    std::string path = dataFilePath(dir, "data\\5tfina.mp3");
    FILE* file = mp3.empty() ? nullptr : std::fopen(path.c_str(), "wb");
    size_t written = file ? std::fwrite(mp3.data(), 1, mp3.size(), file) : 0;
    if (!file || std::fclose(file) != 0 || written != mp3.size()) {
        std::fprintf(stderr, "make-data: cannot write %s\n", path.c_str());
        return 0;
    }
    return 1;
}
