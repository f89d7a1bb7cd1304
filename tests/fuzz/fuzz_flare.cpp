// Fuzzes the flare description reader from memory; pictures are not loaded, only named.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "assets/flare_file.h"
#include "platform/platform.h"

namespace {
void nameOnly(const char* path, uint32_t* outGlName) {
    *outGlName = static_cast<uint32_t>(std::strlen(path));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Vec3 anchor;
    FlareSet set{};
    if (readFlareBytes(data, size, &anchor, nameOnly, &set)) {
        for (int i = 0; i < set.elementCount; ++i) set.elements[i].red += set.elements[i].halfSize;
        releaseFlareSet(&set);
    }
    return 0;
}
