// make-icons DIR: writes the menu entry's icon, drawn from the logo, at every usual size into
// DIR laid out as the hicolor icon theme (DIR/48x48/apps/quelldrift.png and so on). The build
// runs it; the package installs what it writes.
#include <cstdio>
#include <string>

#include "font_lookup.h"
#include "icon_pictures.h"

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: make-icons DIR\n");
        return 2;
    }
    const FoundFont serif = findBoldFont({"DejaVu Serif", "serif"});
    if (!serif.note.empty()) std::fprintf(stderr, "make-icons: %s\n", serif.note.c_str());
    if (serif.file.empty()) return 1;
    return writeIcons(argv[1], "quelldrift", serif.file) ? 0 : 1;
}
