// The font files of the faces the pictures' text is set in, found through fontconfig by the
// faces' names, so the generator runs wherever fontconfig knows them, whatever folder holds
// them.
#pragma once

#include <string>

struct FontRequest {
    const char* family;    // the face wanted, by family name: "DejaVu Sans"
    const char* fallback;  // the generic family that stands in when fontconfig knows no face of
                           // `family`: "sans-serif"
};

struct FoundFont {
    std::string file;    // the face's file; empty when no face was found
    std::string family;  // the family of the face found
    std::string note;    // why none was found, or which face stands in for the one asked for
};

// The bold upright face of request.family; when fontconfig knows none, its bold face for
// request.fallback, with a note saying so. Only outline fonts are taken: the text is drawn
// at every size.
FoundFont findBoldFont(const FontRequest& request);

// The faces the pictures use: DejaVu Sans Bold and DejaVu Serif Bold, or the faces that stand
// in for them. 1 when both were found; otherwise 0 after saying on stderr which is missing.
// A face that stands in for another is named on stderr too: the pictures then differ from
// those made with DejaVu.
int findTextFonts(std::string* sansBold, std::string* serifBold);
