// Fuzzes the BMP reader from memory and touches the first and last byte of each picture it makes
// (a run-length picture may be large with almost no data behind it; the sanitizer checks the
// bounds, and reading it all would only slow the fuzzer down).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "assets/bmp_reader.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    suppressMessageBoxes(1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Picture* picture = decodeDib(data, size);
    if (!picture) return 0;
    const int32_t rows = picture->height < 0 ? -picture->height : picture->height;
    const size_t bytes = static_cast<size_t>(picture->width) * rows * 3;
    volatile uint8_t sum = picture->pixels[0];
    sum = sum + picture->pixels[bytes - 1];
    std::free(picture->pixels);
    std::free(picture);
    return 0;
}
