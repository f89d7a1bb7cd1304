// The menu entry's icon, drawn from the logo: the first letter of ".quellDrift" in the logo's
// bold serif, shaded from its pale top to its deep blue foot and lit by its cyan halo, on a
// disc of the logo background's blue-violet nebula with a cyan rim. Each size is painted at
// its own resolution, so small icons stay sharp instead of being shrunk from a large one.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The sizes, in pixels, of the app icons written into the hicolor theme.
extern const std::vector<int> ICON_SIZES;

// Red, green, blue and opacity bytes, rows from the top.
struct RgbaPicture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// The icon at `size` x `size` pixels, its letter set in the font file `serifFont`; an empty
// picture when the font cannot be read.
RgbaPicture paintIcon(int size, const std::string& serifFont);

// Writes the icon at every size of ICON_SIZES as THEME/<size>x<size>/apps/NAME.png. 1 on
// success; 0 after naming on stderr the file it could not write.
int writeIcons(const std::string& themeDir, const std::string& name, const std::string& serifFont);
