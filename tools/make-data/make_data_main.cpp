// make-data [DIR]: writes the demo's complete data set into DIR (default "data"). The output
// is the same, byte for byte, on every run.
#include <cstdio>

#include "data_set.h"

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : "data";
    if (argc > 2) {
        std::fprintf(stderr, "usage: make-data [DIR]\n");
        return 2;
    }
    DataSetOptions options;
    if (!generateDataSet(dir, options)) return 1;
    return 0;
}
