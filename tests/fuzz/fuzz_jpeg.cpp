// Fuzzes the JPEG decoder from memory and sends each decoded picture through the conversions
// the texture loader applies: flip, channel swap and resize to power-of-two sides.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "assets/texture_table.h"
#include "platform/platform.h"
#include "shell/gl_window.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    maxTextureSize = 256;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Picture source{0, 0, nullptr};
    if (!decodeJpegBytes(data, size, &source.width, &source.height, &source.pixels)) {
        if (source.pixels) std::abort();  // a failure must not hand out pixels
        return 0;
    }
    flipRowsSwapRedBlue(&source);
    Picture target{0, 0, nullptr};
    resizeToPowerOfTwo(&target, &source);
    std::free(source.pixels);
    std::free(target.pixels);
    return 0;
}
