// Command-line parsing for the capture tool. Options that would make the run do something
// other than what was asked are refused outright: a range together with single pictures, single
// pictures into a video, or files written by a run meant only to measure.
#include "capture_options.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "frame_schedule.h"
#include "quelldrift_version.h"

namespace {

constexpr int MAX_FPS = 1000;
constexpr int64_t MICROS_PER_MS = 1000;

int fail(char* error, size_t errorSize, const char* format, ...) {
    if (error && errorSize > 0) {
        va_list args;
        va_start(args, format);
        std::vsnprintf(error, errorSize, format, args);
        va_end(args);
    }
    return 0;
}

// A whole number of at most `maxDigits` digits, nothing else.
int parseWhole(const char* begin, const char* end, int maxDigits, int* value) {
    if (begin == end || end - begin > maxDigits) return 0;
    int result = 0;
    for (const char* p = begin; p < end; ++p) {
        if (*p < '0' || *p > '9') return 0;
        result = result * 10 + (*p - '0');
    }
    *value = result;
    return 1;
}

// "WxH" within the sizes the capture renders.
int parseSize(const char* text, CaptureOptions* out, char* error, size_t errorSize) {
    const char* cross = std::strchr(text, 'x');
    int width = 0, height = 0;
    if (!cross || !parseWhole(text, cross, 5, &width) ||
        !parseWhole(cross + 1, cross + std::strlen(cross), 5, &height))
        return fail(error, errorSize, "--size: \"%s\" is not a size like 1920x1080", text);
    if (width < MIN_CAPTURE_WIDTH || width > MAX_CAPTURE_WIDTH || height < MIN_CAPTURE_HEIGHT ||
        height > MAX_CAPTURE_HEIGHT)
        return fail(error, errorSize, "--size: %dx%d is outside %dx%d to %dx%d", width, height,
                    MIN_CAPTURE_WIDTH, MIN_CAPTURE_HEIGHT, MAX_CAPTURE_WIDTH, MAX_CAPTURE_HEIGHT);
    out->width = width;
    out->height = height;
    return 1;
}

// Samples per pixel: 0 or 1 for none, or 2, 4, 8, 16.
int parseSamples(const char* text, int* samples) {
    int value = 0;
    if (!parseWhole(text, text + std::strlen(text), 2, &value)) return 0;
    if (value == 0) value = 1;
    if (value != 1 && value != 2 && value != 4 && value != 8 && value != 16) return 0;
    *samples = value;
    return 1;
}

int parseFps(const char* text, int* fps) {
    if (!*text) return 0;
    int value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return 0;
        value = value * 10 + (*p - '0');
        if (value > MAX_FPS) return 0;
    }
    if (value < 1) return 0;
    *fps = value;
    return 1;
}

// Splits "MS,MS,..." into out->at. 1 on success.
int parseAtList(const char* list, CaptureOptions* out, char* error, size_t errorSize) {
    const char* start = list;
    for (;;) {
        const char* comma = std::strchr(start, ',');
        size_t length = comma ? static_cast<size_t>(comma - start) : std::strlen(start);
        if (length == 0) return fail(error, errorSize, "--at: empty time in \"%s\"", list);
        if (length >= AT_TEXT_CAPACITY)
            return fail(error, errorSize, "--at: \"%.*s\" is not a time in milliseconds",
                        static_cast<int>(length), start);
        if (out->atCount >= MAX_AT_TIMES)
            return fail(error, errorSize, "--at: more than %d times", MAX_AT_TIMES);
        AtTime& at = out->at[out->atCount];
        std::memcpy(at.text, start, length);
        at.text[length] = '\0';
        if (!parseMusicTime(at.text, &at.micros))
            return fail(error, errorSize, "--at: \"%s\" is not a time in milliseconds", at.text);
        if (at.micros > DEMO_END_MS * MICROS_PER_MS)
            return fail(error, errorSize, "--at: %s ms is past the end of the demo (%lld ms)",
                        at.text, static_cast<long long>(DEMO_END_MS));
        ++out->atCount;
        if (!comma) return 1;
        start = comma + 1;
    }
}

}  // namespace

int parseMusicTime(const char* text, int64_t* micros) {
    if (!text || !*text) return 0;
    int64_t whole = 0;
    int digits = 0;
    const char* p = text;
    for (; *p >= '0' && *p <= '9'; ++p) {
        if (++digits > 9) return 0;
        whole = whole * 10 + (*p - '0');
    }
    if (digits == 0) return 0;
    int64_t fraction = 0;
    if (*p == '.') {
        ++p;
        int decimals = 0;
        for (; *p >= '0' && *p <= '9'; ++p) {
            if (++decimals > 3) return 0;
            fraction = fraction * 10 + (*p - '0');
        }
        if (decimals == 0) return 0;
        for (; decimals < 3; ++decimals) fraction *= 10;
    }
    if (*p) return 0;
    *micros = whole * MICROS_PER_MS + fraction;
    return 1;
}

int parseCaptureOptions(int argc, const char* const* argv, CaptureOptions* out, char* error,
                        size_t errorSize) {
    *out = CaptureOptions{};
    out->fps = 60;
    out->toMicros = DEMO_END_MS * MICROS_PER_MS;
    out->width = DEFAULT_CAPTURE_WIDTH;
    out->height = DEFAULT_CAPTURE_HEIGHT;
    out->samples = 1;
    int fpsGiven = 0, atGiven = 0, fromGiven = 0, toGiven = 0, sizeGiven = 0, msaaGiven = 0;

    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (std::strcmp(option, "--help") == 0 || std::strcmp(option, "-h") == 0) {
            out->help = 1;
            return 1;
        }
        if (std::strcmp(option, "--version") == 0) {
            out->version = 1;
            return 1;
        }
        if (std::strcmp(option, "--bench") == 0) {
            if (out->bench) return fail(error, errorSize, "--bench is given twice");
            out->bench = 1;
            continue;
        }
        if (std::strcmp(option, "--coverage") == 0) {
            if (out->coverage) return fail(error, errorSize, "--coverage is given twice");
            out->coverage = 1;
            continue;
        }
        const char* known[] = {"--fps", "--at",    "--from", "--to",
                               "--out", "--video", "--size", "--msaa"};
        int isKnown = 0;
        for (const char* name : known) isKnown |= std::strcmp(option, name) == 0;
        if (!isKnown) return fail(error, errorSize, "unknown option \"%s\"", option);
        if (i + 1 >= argc) return fail(error, errorSize, "%s needs a value", option);
        const char* value = argv[++i];

        if (std::strcmp(option, "--fps") == 0) {
            if (fpsGiven++) return fail(error, errorSize, "--fps is given twice");
            if (!parseFps(value, &out->fps))
                return fail(error, errorSize, "--fps: \"%s\" is not a whole number from 1 to %d",
                            value, MAX_FPS);
        } else if (std::strcmp(option, "--at") == 0) {
            if (atGiven++) return fail(error, errorSize, "--at is given twice");
            if (!parseAtList(value, out, error, errorSize)) return 0;
        } else if (std::strcmp(option, "--from") == 0 || std::strcmp(option, "--to") == 0) {
            int isFrom = option[2] == 'f';
            if ((isFrom ? fromGiven : toGiven)++)
                return fail(error, errorSize, "%s is given twice", option);
            int64_t micros = 0;
            if (!parseMusicTime(value, &micros))
                return fail(error, errorSize, "%s: \"%s\" is not a time in milliseconds", option,
                            value);
            if (micros > DEMO_END_MS * MICROS_PER_MS)
                return fail(error, errorSize, "%s: %s ms is past the end of the demo (%lld ms)",
                            option, value, static_cast<long long>(DEMO_END_MS));
            (isFrom ? out->fromMicros : out->toMicros) = micros;
        } else if (std::strcmp(option, "--size") == 0) {
            if (sizeGiven++) return fail(error, errorSize, "--size is given twice");
            if (!parseSize(value, out, error, errorSize)) return 0;
        } else if (std::strcmp(option, "--msaa") == 0) {
            if (msaaGiven++) return fail(error, errorSize, "--msaa is given twice");
            if (!parseSamples(value, &out->samples))
                return fail(error, errorSize,
                            "--msaa: \"%s\" is not a sample count (1 for none, 2, 4, 8 or 16)",
                            value);
        } else if (std::strcmp(option, "--out") == 0) {
            if (out->outDir) return fail(error, errorSize, "--out is given twice");
            if (!*value) return fail(error, errorSize, "--out needs a folder");
            out->outDir = value;
        } else {
            if (out->videoFile) return fail(error, errorSize, "--video is given twice");
            if (!*value) return fail(error, errorSize, "--video needs a file name");
            out->videoFile = value;
        }
    }

    if (out->fromMicros > out->toMicros)
        return fail(error, errorSize, "--from is after --to");
    if (out->bench && (out->outDir || out->videoFile || out->atCount))
        return fail(error, errorSize, "--bench writes nothing: leave out --out, --video and --at");
    if (out->coverage && (out->outDir || out->videoFile || out->atCount))
        return fail(error, errorSize,
                    "--coverage writes nothing: leave out --out, --video and --at");
    if (out->coverage && out->bench)
        return fail(error, errorSize, "--coverage slows the frames --bench times: run them apart");
    if (out->atCount && (fromGiven || toGiven))
        return fail(error, errorSize, "--at names its frames itself: leave out --from and --to");
    if (out->atCount && out->videoFile)
        return fail(error, errorSize, "--at writes pictures, not a video: leave out --video");
    // The video's colour format halves the colour resolution both ways.
    if (out->videoFile && (out->width % 2 || out->height % 2))
        return fail(error, errorSize, "--video needs an even width and height, not %dx%d",
                    out->width, out->height);
    return 1;
}

const char* captureUsage() {
    return "usage: demo-capture [--fps N] [--at MS[,MS...]] [--from MS] [--to MS]\n"
           "                    [--out DIR] [--video FILE] [--bench] [--coverage] [--size WxH]\n"
           "                    [--msaa N] [--version]\n"
           "Renders the demo headless from data/ in the working directory, or else from the\n"
           "data set installed with the program.\n"
           "  --fps N       frames per second of music time (1 to 1000, default 60)\n"
           "  --at MS,...   write only the frames at these music times as at-<MS>.png\n"
           "                (into --out DIR, or the working directory)\n"
           "  --from MS     first music time written (default 0)\n"
           "  --to MS       last music time written (default 228000, the end of the demo)\n"
           "  --out DIR     write frame-000000.png ... and music.wav into DIR\n"
           "  --video FILE  encode the frames and the music into FILE with ffmpeg\n"
           "  --bench       write nothing; print load time, peak memory and frame times\n"
           "  --coverage    write nothing; print the pixels each drawing pass covers, per scene\n"
           "  --size WxH    frame size, 320x240 to 3840x2160 (default 640x480); the 4:3\n"
           "                picture is centred with black bars on the other sides\n"
           "  --msaa N      samples per pixel: 1 (none, the default), 2, 4, 8 or 16\n"
           "  --version     print the version and stop\n";
}

const char* captureVersion() { return "demo-capture " QD_VERSION "\n"; }
