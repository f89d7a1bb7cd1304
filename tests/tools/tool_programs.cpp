// Running programs from the tests and reading their pictures back.
#include "tools/tool_programs.h"

#include <png.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

ProgramRun runIn(const fs::path& folder, const std::string& command) {
    fs::path out = folder / ".run-stdout", err = folder / ".run-stderr";
    std::string line = "cd " + quoted(folder) + " && ASAN_OPTIONS=detect_leaks=0 " + command +
                       " >" + quoted(out) + " 2>" + quoted(err) + " </dev/null";
    int status = std::system(line.c_str());
    ProgramRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = slurp(out);
    run.err = slurp(err);
    fs::remove(out);
    fs::remove(err);
    return run;
}

int programOnPath(const char* name) {
    std::string probe = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(probe.c_str()) == 0;
}

long long PngPicture::brightness() const {
    long long sum = 0;
    for (uint8_t v : rgb) sum += v;
    return sum;
}

PngPicture readPng(const fs::path& path) {
    PngPicture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.colour = (image.format & PNG_FORMAT_FLAG_COLOR) ? 1 : 0;
    image.format = PNG_FORMAT_RGB;
    picture.rgb.resize(PNG_IMAGE_SIZE(image));
    picture.ok = png_image_finish_read(&image, nullptr, picture.rgb.data(), 0, nullptr);
    return picture;
}
