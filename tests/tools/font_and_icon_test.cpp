// Fonts found through fontconfig by name: DejaVu where fontconfig knows it, the generic face
// standing in (and named) where it does not, and a clear answer where it knows no font at
// all; and the menu entry's icon, a lit letter on an opaque disc with transparent corners,
// written at every size in the hicolor theme's layout.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "font_lookup.h"
#include "icon_pictures.h"
#include "scratch_folder.h"
#include "tools/tool_programs.h"

namespace fs = std::filesystem;

namespace {

// fontconfig reads the configuration FONTCONFIG_FILE names while this lives: one that knows
// only the fonts of `fontFolder` (none when it is empty), caching them in the scratch folder.
class OwnFontConfiguration {
public:
    OwnFontConfiguration(const fs::path& scratch, const fs::path& fontFolder) {
        const char* before = std::getenv("FONTCONFIG_FILE");
        if (before) previous = before;
        const fs::path file = scratch / "fonts.conf";
        std::ofstream(file) << "<?xml version=\"1.0\"?>\n<fontconfig>\n"
                            << (fontFolder.empty() ? "" : "  <dir>" + fontFolder.string() + "</dir>\n")
                            << "  <cachedir>" << (scratch / "cache").string() << "</cachedir>\n"
                            << "</fontconfig>\n";
        setenv("FONTCONFIG_FILE", file.c_str(), 1);
    }
    ~OwnFontConfiguration() {
        if (previous) setenv("FONTCONFIG_FILE", previous->c_str(), 1);
        else unsetenv("FONTCONFIG_FILE");
    }

private:
    std::optional<std::string> previous;
};

}  // namespace

TEST(FontLookup, FindsDejaVuByNameLetsAGenericFaceStandInAndSaysWhenThereIsNone) {
    const FoundFont sans = findBoldFont({"DejaVu Sans", "sans-serif"});
    ASSERT_FALSE(sans.file.empty()) << sans.note << " (scripts/setup installs fonts-dejavu-core)";
    EXPECT_EQ(sans.family, "DejaVu Sans");
    EXPECT_EQ(sans.note, "");
    EXPECT_NE(fs::path(sans.file).filename().string().find("Bold"), std::string::npos) << sans.file;
    const FoundFont serif = findBoldFont({"DejaVu Serif", "serif"});
    ASSERT_FALSE(serif.file.empty()) << serif.note;
    EXPECT_NE(serif.file, sans.file);

    const ScratchFolder scratch("font-lookup");
    {
        // A machine whose only font is DejaVu Serif Bold: it stands in for DejaVu Sans, named.
        fs::create_directories(scratch.path / "fonts");
        fs::create_symlink(serif.file, scratch.path / "fonts" / fs::path(serif.file).filename());
        OwnFontConfiguration only(scratch.path, scratch.path / "fonts");
        const FoundFont standIn = findBoldFont({"DejaVu Sans", "sans-serif"});
        EXPECT_EQ(standIn.family, "DejaVu Serif");
        EXPECT_EQ(fs::path(standIn.file).filename(), fs::path(serif.file).filename());
        EXPECT_NE(standIn.note.find("no \"DejaVu Sans\" Bold"), std::string::npos) << standIn.note;
        EXPECT_NE(standIn.note.find("\"DejaVu Serif\""), std::string::npos) << standIn.note;
    }
    {
        // A machine with no font at all.
        OwnFontConfiguration none(scratch.path, {});
        const FoundFont missing = findBoldFont({"DejaVu Sans", "sans-serif"});
        EXPECT_EQ(missing.file, "");
        EXPECT_EQ(missing.note, "fontconfig knows no font for \"DejaVu Sans\" Bold, nor any sans-serif face");
        std::string sansFile = "unchanged", serifFile = "unchanged";
        EXPECT_EQ(findTextFonts(&sansFile, &serifFile), 0);
    }
}

TEST(MenuIcon, LitLetterOnAnOpaqueDiscWithTransparentCornersAtEverySize) {
    const FoundFont serif = findBoldFont({"DejaVu Serif", "serif"});
    ASSERT_FALSE(serif.file.empty()) << serif.note;
    const ScratchFolder theme("menu-icon");
    ASSERT_EQ(writeIcons(theme.path.string(), "quelldrift", serif.file), 1);
    for (int size : ICON_SIZES) {
        SCOPED_TRACE(size);
        const std::string side = std::to_string(size);
        const PngPicture file = readPng(theme.path / (side + "x" + side) / "apps/quelldrift.png");
        ASSERT_TRUE(file.ok);
        EXPECT_EQ(file.width, size);
        EXPECT_EQ(file.height, size);

        const RgbaPicture icon = paintIcon(size, serif.file);
        ASSERT_EQ(icon.width, size);
        const auto at = [&](int x, int y) { return &icon.rgba[(size_t(y) * size + x) * 4]; };
        for (int x : {0, size - 1})
            for (int y : {0, size - 1}) EXPECT_EQ(at(x, y)[3], 0) << "corner " << x << ", " << y;
        int pale = 0, dark = 0, opaque = 0;
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x) {
                const uint8_t* p = at(x, y);
                if (p[3] < 255) continue;
                ++opaque;
                const int light = p[0] + p[1] + p[2];
                pale += light > 450;
                dark += light < 250;
            }
        // The disc covers about 72 % of the square; the letter's pale top and the nebula
        // around it both show.
        EXPECT_GT(opaque, size * size * 6 / 10);
        EXPECT_GT(pale, size * size / 50);
        EXPECT_GT(dark, size * size / 5);
    }
    EXPECT_EQ(paintIcon(48, (theme.path / "no-such-font.ttf").string()).width, 0);
}
