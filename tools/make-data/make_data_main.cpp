// make-data [--hd] [DIR]: writes the demo's complete data set into DIR (default "data"). The
// output is the same, byte for byte, on every run. --hd paints the pictures at twice the size
// for large screens: the same art, drawn at the higher resolution. --version prints the
// version and does nothing else.
#include <cstdio>
#include <cstring>

#include "data_set.h"
#include "quelldrift_version.h"

int main(int argc, char** argv) {
    DataSetOptions options;
    std::string dir = "data";
    int positional = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("make-data %s\n", QD_VERSION);
            return 0;
        } else if (std::strcmp(argv[i], "--hd") == 0) {
            options.pictureScale = 2;
        } else if (argv[i][0] != '-' && positional++ == 0) {
            dir = argv[i];
        } else {
            std::fprintf(stderr, "usage: make-data [--hd] [--version] [DIR]\n");
            return 2;
        }
    }
    if (!generateDataSet(dir, options)) return 1;
    return 0;
}
