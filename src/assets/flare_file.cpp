// Flare file reader. The description is a text of CR LF lines: a [Flare] section with the
// chain's settings and one [Lens k] section per element. A section is the first line, counted
// from the start of the file, that contains its header; the five key lines that follow a header
// are each matched by containment and read like %d (or a word for the file name). The lens
// headers are all found in one pass over the text, so reading takes time in proportion to the
// file however its sections are ordered. Reading never runs past the end of the text: a missing
// section, an over-long line or a last line without its carriage return makes the whole
// description fail, and nothing is added. A chain holds at most MAX_FLARE_ELEMENTS elements.
// The element pictures are loaded only after the whole description has been read.
#include "assets/flare_file.h"

#include <climits>
#include <cstdarg>
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
constexpr std::string_view LENS_HEADER_START = "[Lens ";

struct FlareText {
    const uint8_t* bytes;
    size_t size;
    size_t position;
    int lineNumber;      // of the line that starts at `position`, from 1
    char problem[128];   // why the description is refused; empty while all is well
};

int fail(FlareText* text, const char* format, ...) {
    if (text->problem[0] == '\0') {
        va_list args;
        va_start(args, format);
        std::vsnprintf(text->problem, sizeof text->problem, format, args);
        va_end(args);
    }
    return 0;
}

// Reads the next line: every byte up to and including a carriage return, then skips the byte
// after it. The line's text is cut at its first zero byte. 0 at the end of the text, for a line
// longer than MAX_LINE_BYTES, or for a last line without its carriage return; the last two
// leave the reason in the text.
int readLine(FlareText* text, std::string_view* line) {
    const size_t start = text->position;
    if (start >= text->size) return 0;
    // The carriage return must stand within the first MAX_LINE_BYTES bytes of the line.
    const size_t limit = text->size - start < MAX_LINE_BYTES ? text->size : start + MAX_LINE_BYTES;
    size_t end = start;
    while (end < limit && text->bytes[end] != '\r') ++end;
    if (end == limit && limit == text->size)
        return fail(text, "line %d has no carriage return", text->lineNumber);
    if (end == limit)
        return fail(text, "line %d is longer than %zu bytes", text->lineNumber, MAX_LINE_BYTES);
    const auto* chars = reinterpret_cast<const char*>(text->bytes + start);
    const size_t length = end - start + 1;
    *line = std::string_view(chars, strnlen(chars, length));
    text->position = end + 2 <= text->size ? end + 2 : text->size;
    ++text->lineNumber;
    return 1;
}

// A key line that is not there: the text ended (or broke the line rules) after a header.
int failAtEnd(FlareText* text) {
    return fail(text, "the file ends after line %d", text->lineNumber - 1);
}

// Goes back to the start and reads lines until one contains the header; reading then goes on
// with the line after it. 0 when no line before the end of the text (or before a line that
// breaks the rules) contains it.
int findSection(FlareText* text, std::string_view header) {
    text->position = 0;
    text->lineNumber = 1;
    std::string_view line;
    while (readLine(text, &line))
        if (line.find(header) != std::string_view::npos) return 1;
    return fail(text, "no line holds %.*s", static_cast<int>(header.size()), header.data());
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
    if (!readLine(text, &line)) return failAtEnd(text);
    const size_t at = line.find(key);
    *value = at == std::string_view::npos ? 0 : parseInteger(line.substr(at + key.size()));
    return 1;
}

// Reads one line and the first word after `key` in it; an empty name when the line lacks it.
int readNameKey(FlareText* text, std::string_view key, char* name) {
    std::string_view line;
    if (!readLine(text, &line)) return failAtEnd(text);
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

// Where the lines after each lens header start, for elements 1 to `count`.
struct LensSections {
    size_t position[MAX_FLARE_ELEMENTS + 1];
    int lineNumber[MAX_FLARE_ELEMENTS + 1];  // 0 while the header has not been found
};

// The element whose header "[Lens k]" (k written like %d) starts at `at` in the line, or 0.
int32_t lensHeaderAt(std::string_view line, size_t at, int32_t count) {
    size_t i = at + LENS_HEADER_START.size();
    if (i >= line.size() || line[i] < '1' || line[i] > '9') return 0;
    int32_t k = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) {
        k = k * 10 + (line[i] - '0');
        if (k > count) return 0;
    }
    return i < line.size() && line[i] == ']' ? k : 0;
}

// One pass from the start: the first line that holds each header of elements 1 to `count`.
// The pass ends early once every header is found, as each search from the start would.
void findLensSections(FlareText* text, int32_t count, LensSections* sections) {
    std::memset(sections->lineNumber, 0, sizeof sections->lineNumber);
    text->position = 0;
    text->lineNumber = 1;
    int32_t found = 0;
    std::string_view line;
    while (found < count && readLine(text, &line)) {
        for (size_t at = line.find(LENS_HEADER_START); at != std::string_view::npos;
             at = line.find(LENS_HEADER_START, at + 1)) {
            const int32_t k = lensHeaderAt(line, at, count);
            if (k == 0 || sections->lineNumber[k] != 0) continue;
            sections->position[k] = text->position;
            sections->lineNumber[k] = text->lineNumber;
            ++found;
        }
    }
}

int readLensSection(FlareText* text, const LensSections& sections, int32_t k,
                    FlareElement* element, char* name) {
    if (sections.lineNumber[k] == 0) return fail(text, "no line holds [Lens %d]", k);
    text->position = sections.position[k];
    text->lineNumber = sections.lineNumber[k];
    int32_t size = 0, red = 0, green = 0, blue = 0;
    if (!readNameKey(text, "Filename: ", name) ||
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
                   FlareSet* set, const char* name) {
    FlareText text{bytes, size, 0, 1, {0}};
    int32_t count = 0, distance = 0, preLight = 0, angle = 0, blend = 0;
    int ok = findSection(&text, "[Flare]") && readIntegerKey(&text, "NumberOfFlares: ", &count) &&
             readIntegerKey(&text, "FlareDistance: ", &distance) &&
             readIntegerKey(&text, "FlarePreLight: ", &preLight) &&
             readIntegerKey(&text, "FlareAngle: ", &angle) &&
             readIntegerKey(&text, "FlareBlend: ", &blend);
    if (ok && count < 0) ok = fail(&text, "a negative number of lens elements, %d", count);
    if (ok && count > MAX_FLARE_ELEMENTS)
        ok = fail(&text, "%d lens elements, more than the %d of a flare chain", count,
                  MAX_FLARE_ELEMENTS);

    FlareElement elements[MAX_FLARE_ELEMENTS];
    char names[MAX_FLARE_ELEMENTS][MAX_NAME_BYTES];
    LensSections sections;
    if (ok && count > 0) findLensSections(&text, count, &sections);
    for (int32_t k = 1; ok && k <= count; ++k)
        ok = readLensSection(&text, sections, k, &elements[k - 1], names[k - 1]);
    FlareElement* kept = nullptr;
    if (ok && count > 0) {
        kept = static_cast<FlareElement*>(std::calloc(count, sizeof(FlareElement)));
        if (!kept) ok = fail(&text, "no memory for %d lens elements", count);
    }
    if (!ok) {
        if (name) explainFailure("%s: %s", name, text.problem);
        return 0;
    }
    for (int32_t k = 0; k < count; ++k) {
        kept[k] = elements[k];
        if (name && names[k][0] == '\0')
            explainFailure("%s: [Lens %d] names no picture", name, k + 1);
        loadPicture(names[k], &kept[k].glName);
    }

    set->elementCount = count;
    set->elementsBeforeLight = preLight;
    set->elements = kept;
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
    const int ok = bytes && readFlareBytes(bytes, size, anchor, loadTexture, &set, path);
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
