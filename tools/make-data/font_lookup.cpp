// Fonts by name through fontconfig. fontconfig always answers a match with some face, the
// closest it has, so the answer is checked: the family must be the one asked for before the
// face counts as found; otherwise the generic family's face is taken and named as a stand-in.
#include "font_lookup.h"

#include <fontconfig/fontconfig.h>

#include <cstdio>

namespace {

struct Match {
    std::string file, family;
    bool hasFamily = false;  // one of the face's family names is the one asked for
};

// fontconfig's best scalable bold upright face for `family`; an empty file when it has none.
Match matchBold(FcConfig* config, const char* family) {
    Match match;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BOLD);
    FcPatternAddInteger(pattern, FC_SLANT, FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(config, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) return match;

    FcChar8* file = nullptr;
    FcBool scalable = FcFalse;
    if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch &&
        FcPatternGetBool(found, FC_SCALABLE, 0, &scalable) == FcResultMatch && scalable) {
        match.file = reinterpret_cast<const char*>(file);
        FcChar8* name = nullptr;
        for (int i = 0; FcPatternGetString(found, FC_FAMILY, i, &name) == FcResultMatch; ++i) {
            if (i == 0) match.family = reinterpret_cast<const char*>(name);
            if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family)) == 0) {
                match.hasFamily = true;
                match.family = reinterpret_cast<const char*>(name);
            }
        }
    }
    FcPatternDestroy(found);
    return match;
}

}  // namespace

FoundFont findBoldFont(const FontRequest& request) {
    FoundFont font;
    // A configuration of its own for each look-up: it reads FONTCONFIG_FILE as it is now.
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config) {
        font.note = "fontconfig cannot load its configuration";
        return font;
    }
    const Match wanted = matchBold(config, request.family);
    if (!wanted.file.empty() && wanted.hasFamily) {
        font.file = wanted.file;
        font.family = wanted.family;
    } else {
        const Match standIn = matchBold(config, request.fallback);
        if (standIn.file.empty()) {
            font.note = std::string("fontconfig knows no font for \"") + request.family +
                        "\" Bold, nor any " + request.fallback + " face";
        } else {
            font.file = standIn.file;
            font.family = standIn.family;
            font.note = std::string("fontconfig knows no \"") + request.family +
                        "\" Bold; its " + request.fallback + " face \"" + standIn.family +
                        "\" (" + standIn.file + ") stands in";
        }
    }
    FcConfigDestroy(config);
    return font;
}

int findTextFonts(std::string* sansBold, std::string* serifBold) {
    const FontRequest requests[] = {{"DejaVu Sans", "sans-serif"}, {"DejaVu Serif", "serif"}};
    std::string* files[] = {sansBold, serifBold};
    int found = 1;
    for (int i = 0; i < 2; ++i) {
        const FoundFont font = findBoldFont(requests[i]);
        if (!font.note.empty()) std::fprintf(stderr, "make-data: %s\n", font.note.c_str());
        if (font.file.empty()) found = 0;
        *files[i] = font.file;
    }
    if (!found)
        std::fprintf(stderr, "make-data: the pictures' text needs a font: install the DejaVu "
                             "fonts (Debian: fonts-dejavu-core) or any font fontconfig finds\n");
    return found;
}
