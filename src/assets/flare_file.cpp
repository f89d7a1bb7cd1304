// Flare file reader. The description is a text of CR LF lines: a [Flare] section with the
// chain's settings and one [Lens k] section per element. Sections are found by searching the
// whole file from its start for the first line that contains the header; the five key lines
// that follow a header are each matched by containment and read like %d (or a word for the
// file name). Reading never runs past the end of the text: a missing section, an over-long line
// or a last line without its carriage return makes the whole description fail, and nothing is
// added. The element pictures are loaded only after the whole description has been read.
#include "assets/flare_file.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "assets/texture_table.h"
#include "platform/platform.h"
#include "shell/error_report.h"

namespace {

// A line, carriage return included, fits in this many bytes.
constexpr size_t MAX_LINE_BYTES = 255;
constexpr size_t MAX_NAME_BYTES = MAX_LINE_BYTES;
// The shortest section header ("[Lens 1]"); headers cannot overlap, which bounds the number of
// sections a text of a given size can hold.
constexpr size_t MIN_HEADER_BYTES = 8;

struct FlareText {
    const uint8_t* bytes;
    size_t size;
    size_t position;
};

// Reads the next line: every byte up to and including a carriage return, then skips the byte
// after it. The line's text is cut at its first zero byte. 0 at the end of the text, for a line
// longer than MAX_LINE_BYTES, or for a last line without its carriage return.
int readLine(FlareText* text, std::string_view* line) {
    const size_t start = text->position;
    size_t end = start;
    while (end < text->size && text->bytes[end] != '\r') ++end;
    if (end >= text->size || end - start + 1 > MAX_LINE_BYTES) return 0;
    const auto* chars = reinterpret_cast<const char*>(text->bytes + start);
    const size_t length = end - start + 1;
    *line = std::string_view(chars, strnlen(chars, length));
    text->position = end + 2 <= text->size ? end + 2 : text->size;
    return 1;
}

// Goes back to the start and reads lines until one contains the header; reading then goes on
// with the line after it. 0 when no line before the end of the text contains it.
int findSection(FlareText* text, std::string_view header) {
    text->position = 0;
    std::string_view line;
    while (readLine(text, &line))
        if (line.find(header) != std::string_view::npos) return 1;
    return 0;
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Like %d: white space skipped, an optional sign, digits up to the first non-digit; 0 without
// digits. Values beyond the int32 range are held at its ends.
int32_t parseInteger(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    long long value = 0;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i)
        if (value <= INT_MAX) value = value * 10 + (s[i] - '0');
    if (negative) value = -value;
    if (value > INT_MAX) return INT_MAX;
    if (value < INT_MIN) return INT_MIN;
    return static_cast<int32_t>(value);
}

// Reads one line and the integer after `key` in it; 0 when the line lacks the key.
int readIntegerKey(FlareText* text, std::string_view key, int32_t* value) {
    std::string_view line;
    if (!readLine(text, &line)) return 0;
    const size_t at = line.find(key);
    *value = at == std::string_view::npos ? 0 : parseInteger(line.substr(at + key.size()));
    return 1;
}

// Reads one line and the first word after `key` in it; an empty name when the line lacks it.
int readNameKey(FlareText* text, std::string_view key, char* name) {
    std::string_view line;
    if (!readLine(text, &line)) return 0;
    name[0] = '\0';
    const size_t at = line.find(key);
    if (at == std::string_view::npos) return 1;
    size_t i = at + key.size();
    while (i < line.size() && isSpace(line[i])) ++i;
    size_t length = 0;
    while (i + length < line.size() && !isSpace(line[i + length]) && length + 1 < MAX_NAME_BYTES)
        ++length;
    std::memcpy(name, line.data() + i, length);
    name[length] = '\0';
    return 1;
}

int readLensSection(FlareText* text, int32_t k, FlareElement* element, char* name) {
    char header[32];
    std::snprintf(header, sizeof header, "[Lens %d]", k);
    int32_t size = 0, red = 0, green = 0, blue = 0;
    if (!findSection(text, header) || !readNameKey(text, "Filename: ", name) ||
        !readIntegerKey(text, "size: ", &size) || !readIntegerKey(text, "colour red: ", &red) ||
        !readIntegerKey(text, "colour green: ", &green) ||
        !readIntegerKey(text, "colour blue: ", &blue))
        return 0;
    element->glName = 0;
    element->halfSize = static_cast<float>(size / 255.0);
    element->red = static_cast<float>(red / 255.0);
    element->green = static_cast<float>(green / 255.0);
    element->blue = static_cast<float>(blue / 255.0);
    return 1;
}

}  // namespace

int readFlareBytes(const uint8_t* bytes, size_t size, Vec3* anchor, FlarePictureLoader loadPicture,
                   FlareSet* set) {
    FlareText text{bytes, size, 0};
    int32_t count = 0, distance = 0, preLight = 0, angle = 0, blend = 0;
    if (!findSection(&text, "[Flare]") || !readIntegerKey(&text, "NumberOfFlares: ", &count) ||
        !readIntegerKey(&text, "FlareDistance: ", &distance) ||
        !readIntegerKey(&text, "FlarePreLight: ", &preLight) ||
        !readIntegerKey(&text, "FlareAngle: ", &angle) ||
        !readIntegerKey(&text, "FlareBlend: ", &blend))
        return 0;
    // Every element needs a header of its own, so a count the text cannot hold is refused
    // before anything is allocated for it.
    if (count < 0 || static_cast<size_t>(count) > size / MIN_HEADER_BYTES) return 0;

    FlareElement* elements = nullptr;
    char(*names)[MAX_NAME_BYTES] = nullptr;
    if (count > 0) {
        elements = static_cast<FlareElement*>(std::calloc(count, sizeof(FlareElement)));
        names = static_cast<char(*)[MAX_NAME_BYTES]>(std::calloc(count, MAX_NAME_BYTES));
        if (!elements || !names) {
            std::free(elements);
            std::free(names);
            return 0;
        }
    }
    for (int32_t k = 1; k <= count; ++k) {
        if (!readLensSection(&text, k, &elements[k - 1], names[k - 1])) {
            std::free(elements);
            std::free(names);
            return 0;
        }
    }
    for (int32_t k = 0; k < count; ++k) loadPicture(names[k], &elements[k].glName);
    std::free(names);

    set->elementCount = count;
    set->elementsBeforeLight = preLight;
    set->elements = elements;
    set->anchor = anchor;
    set->spacing = static_cast<float>(distance / 256.0);
    set->intensity = 0.0f;
    set->falloff = static_cast<float>(angle / 256.0);
    set->fadeSpeed = static_cast<float>(angle * 0.000390625);
    set->fadeDirection = 1;
    return 1;
}

void loadFlareSet(Scene* scene, const char* path, Vec3* anchor) {
    // A scene full of flare sets takes no more: the set fails to load like any other.
    if (scene->flareSetCount >= MAX_FLARE_SETS) {
        reportError("cannot load flaredata");
        return;
    }
    uint8_t* bytes = nullptr;
    size_t size = 0;
    readDataFile(path, &bytes, &size);
    FlareSet set{};
    const int ok = bytes && readFlareBytes(bytes, size, anchor, loadTexture, &set);
    std::free(bytes);
    if (!ok) {
        reportError("cannot load flaredata");
        return;
    }
    scene->flareSets[scene->flareSetCount++] = set;
}

void releaseFlareSet(FlareSet* set) {
    std::free(set->elements);
    set->elements = nullptr;
    set->elementCount = 0;
}
