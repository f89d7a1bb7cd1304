// "flare.cfg": the lens flare chain of the light scenes. A large warm glow sits on the light,
// followed by rings, discs and a halo spaced along the line through the screen centre, each
// tinted and sized separately. Lines end in CR LF and stay far below the 255-byte limit.
#include <cstdio>

#include "data_file_path.h"
#include "data_file_writer.h"
#include "data_set.h"

namespace {

struct LensElement {
    const char* file;
    int size;  // half size in 1/255
    int red, green, blue;
};

constexpr LensElement LENS_CHAIN[] = {
    // Two of these chains meet at the heart of the net, where the lights sit near the screen
    // centre and every element lies on the others: the colours stay low enough that the pile
    // glows without burning out to white.
    {"data\\flare2.jpg", 120, 150, 140, 125},
    {"data\\lens3.jpg", 40, 105, 95, 75},
    {"data\\lens1.jpg", 70, 70, 95, 150},
    {"data\\lens2.jpg", 30, 75, 135, 85},
    {"data\\lens2.jpg", 55, 105, 80, 135},
    {"data\\lens3.jpg", 20, 105, 85, 50},
    {"data\\lens4.jpg", 140, 130, 130, 130},
    {"data\\lens1.jpg", 35, 135, 75, 55},
};

}  // namespace

std::vector<std::string> flareElementNames() {
    std::vector<std::string> names;
    for (const LensElement& e : LENS_CHAIN) names.push_back(e.file);
    return names;
}

int writeFlareConfig(const std::string& dir) {
    std::string text;
    auto line = [&text](const std::string& l) { text += l + "\r\n"; };
    line("; lens flare chain of the light scenes");
    line("[Flare]");
    line("NumberOfFlares: " + std::to_string(std::size(LENS_CHAIN)));
    line("FlareDistance: 90");
    line("FlarePreLight: 1");
    line("FlareAngle: 160");
    line("FlareBlend: 1");
    for (size_t k = 0; k < std::size(LENS_CHAIN); ++k) {
        const LensElement& e = LENS_CHAIN[k];
        line("");
        line("[Lens " + std::to_string(k + 1) + "]");
        line(std::string("Filename: ") + e.file);
        line("size: " + std::to_string(e.size));
        line("colour red: " + std::to_string(e.red));
        line("colour green: " + std::to_string(e.green));
        line("colour blue: " + std::to_string(e.blue));
    }
    std::string path = dataFilePath(dir, "data\\flare.cfg");
    if (!writeWholeFile(path, text.data(), text.size())) {
        reportCannotWrite(path);
        return 0;
    }
    return 1;
}
