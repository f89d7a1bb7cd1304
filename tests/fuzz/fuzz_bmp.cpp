// Fuzzes the BMP reader from memory and touches every byte of each picture it makes.
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
    volatile uint8_t sum = 0;
    for (size_t i = 0; i < bytes; ++i) sum = sum + picture->pixels[i];
    std::free(picture->pixels);
    std::free(picture);
    return 0;
}
