// Fixtures for the asset reader tests: a scratch directory per test process, files written from
// bytes, JPEG pictures encoded on the spot (test_pictures.h), and a collector for the messages
// the readers show.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "scratch_folder.h"
#include "test_pictures.h"

namespace assetFixtures {

// A directory of its own for this test process, made on first use and removed at its exit.
inline const std::string& scratchDir() {
    static ScratchFolder folder("qd-assets");
    static const std::string dir = folder.path.string();
    return dir;
}

inline std::string scratchPath(const std::string& name) { return scratchDir() + "/" + name; }

inline void writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

inline void writeText(const std::string& path, const std::string& text) {
    writeFile(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// Every message box shown while it lives, in order.
struct MessageLog {
    static std::vector<std::string>& messages() {
        static std::vector<std::string> all;
        return all;
    }
    static void collect(const char* caption, const char* text) {
        messages().push_back(std::string(caption) + "|" + text);
    }
    MessageLog() {
        messages().clear();
        setMessageSink(collect);
    }
    ~MessageLog() { setMessageSink(nullptr); }
    const std::vector<std::string>& all() const { return messages(); }
};

// A picture whose top half is one colour and bottom half another, red-green-blue rows top first.
inline std::vector<uint8_t> twoBands(int width, int height, const uint8_t top[3],
                                     const uint8_t bottom[3]) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            for (int c = 0; c < 3; ++c)
                pixels[(static_cast<size_t>(y) * width + x) * 3 + c] =
                    y < height / 2 ? top[c] : bottom[c];
    return pixels;
}

}  // namespace assetFixtures
