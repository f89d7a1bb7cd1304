// Damaged data folders, one damage at a time, run through the capture program headless: every
// kind of file missing in turn, scene files cut short at many places and with bytes flipped,
// broken JPEG and BMP pictures, flare descriptions that break their line rules. Each run must
// end playing (with the boxes of a missing picture or flare file) or with exit code 1 and its
// messages, in order, and never by a signal, a hang or a sanitizer report. Each case copies the
// data set the build made.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "tools/tool_programs.h"

namespace fs = std::filesystem;

namespace {

// Seconds a single run may take before it counts as hung (a sanitizer build is slow).
constexpr int RUN_LIMIT_SECONDS = 300;
// Exit codes the sanitizers are told to use, so that a report cannot pass for exit code 1.
constexpr int ADDRESS_SANITIZER_EXIT = 86;
constexpr int UNDEFINED_SANITIZER_EXIT = 87;

const char* const LOAD_FAILED = "cannot load scenes or textures";

const std::vector<std::string> SCENE_FILES = {
    "light.dat",  "neuronal.dat", "aterie.dat", "fisch2.dat", "darm.dat",   "kopuli.dat",
    "mirror.dat", "morph1.dat",   "morph2.dat", "morph3.dat", "morph4.dat", "morph5.dat",
};


std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::string readText(const fs::path& path) {
    const std::vector<uint8_t> bytes = readBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void writeText(const fs::path& path, const std::string& text) {
    writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// How a run ended: its exit code (or the code of the signal or the timeout), and the messages
// it wrote as "Error: <text>" in order, a text that spans lines kept whole.
struct Outcome {
    int exitCode = -1;
    std::vector<std::string> messages;
    std::string stderrText;
    bool sanitizerReport = false;
};

Outcome parseOutcome(int exitCode, const std::string& err) {
    Outcome outcome;
    outcome.exitCode = exitCode;
    outcome.stderrText = err;
    outcome.sanitizerReport = err.find("Sanitizer") != std::string::npos ||
                              err.find("runtime error:") != std::string::npos;
    std::stringstream in(err);
    bool inMessage = false;
    for (std::string line; std::getline(in, line);) {
        // The capture's progress lines are not messages.
        if (line.rfind("scene ", 0) == 0 || line.rfind("done: ", 0) == 0) {
            inMessage = false;
            continue;
        }
        if (line.rfind("Error: ", 0) == 0) {
            outcome.messages.push_back(line.substr(7));
            inMessage = true;
        } else if (inMessage) {
            outcome.messages.back() += "\n" + line;
        }
    }
    return outcome;
}

std::string describe(const Outcome& outcome) {
    std::string text = "exit code " + std::to_string(outcome.exitCode) + ", messages:";
    for (const std::string& message : outcome.messages) text += "\n  [" + message + "]";
    if (outcome.sanitizerReport || (outcome.exitCode != 0 && outcome.exitCode != 1))
        text += "\nstderr:\n" + outcome.stderrText.substr(0, 4000);
    return text;
}

// The run ended as a program should: exit 0 or 1 of its own, no sanitizer report.
::testing::AssertionResult endedCleanly(const Outcome& outcome) {
    if ((outcome.exitCode == 0 || outcome.exitCode == 1) && !outcome.sanitizerReport)
        return ::testing::AssertionSuccess();
    const char* why = outcome.exitCode == 124   ? "hung (timed out)"
                      : outcome.exitCode > 128  ? "ended by a signal"
                      : outcome.sanitizerReport ? "sanitizer report"
                                                : "unexpected exit code";
    return ::testing::AssertionFailure() << why << "; " << describe(outcome);
}

::testing::AssertionResult endedWith(const Outcome& outcome, int exitCode,
                                     const std::vector<std::string>& messages) {
    ::testing::AssertionResult clean = endedCleanly(outcome);
    if (!clean) return clean;
    if (outcome.exitCode == exitCode && outcome.messages == messages)
        return ::testing::AssertionSuccess();
    std::string wanted = "exit code " + std::to_string(exitCode) + ", messages:";
    for (const std::string& message : messages) wanted += "\n  [" + message + "]";
    return ::testing::AssertionFailure() << "wanted " << wanted << "\ngot " << describe(outcome);
}

std::vector<std::string> repeated(const std::string& message, int times) {
    return std::vector<std::string>(static_cast<size_t>(times), message);
}

// ---- Where the records of a scene file begin ----

// A record of a scene file as the reader names it when the file ends: "the camera", "object 3",
// or a count ("the object count"), which the reader reports as missing rather than cut.
struct SceneRecord {
    size_t offset;
    std::string name;
    bool count;
};

// Walks a well-formed scene file and lists where each record starts. Key sizes: vector 40,
// scalar 16, rotation 52, toggle 4 bytes; each track is a count byte and its keys.
std::vector<SceneRecord> sceneRecords(const std::vector<uint8_t>& bytes) {
    std::vector<SceneRecord> records;
    size_t at = 0;
    auto u8 = [&] { return at < bytes.size() ? bytes[at++] : 0; };
    auto i32 = [&] {
        int32_t value = 0;
        if (at + 4 <= bytes.size()) std::memcpy(&value, &bytes[at], 4);
        at += 4;
        return value;
    };
    auto tracks = [&](std::initializer_list<size_t> keySizes) {
        for (size_t keySize : keySizes) at += u8() * keySize;
    };
    records.push_back({at, "the camera", false});
    at += 2;
    tracks({40, 16, 16, 40, 4});
    records.push_back({at, "the object count", true});
    const int objects = u8();
    for (int i = 0; i < objects; ++i) {
        records.push_back({at, "object " + std::to_string(i), false});
        at += 6;
        at += static_cast<size_t>(i32()) * 12;
        const int32_t faces = i32();
        at += 1 + static_cast<size_t>(faces) * 36;
        tracks({40, 52, 40, 4});
    }
    records.push_back({at, "the light count", true});
    const int lights = u8();
    for (int i = 0; i < lights; ++i) {
        records.push_back({at, "light " + std::to_string(i), false});
        at += 5;
        tracks({40, 4});
    }
    records.push_back({at, "the spot light count", true});
    const int spots = u8();
    for (int i = 0; i < spots; ++i) {
        records.push_back({at, "spot light " + std::to_string(i), false});
        at += 5;
        tracks({40, 16, 16, 40, 4});
    }
    records.push_back({at, "", false});  // the end of the file
    return records;
}

// What the reader says about the file cut to `size` bytes: the record being read runs out, or
// the cut falls right where a count stands.
std::string cutMessage(const std::vector<SceneRecord>& records, size_t size) {
    const SceneRecord* last = &records.front();
    for (const SceneRecord& record : records)
        if (record.offset <= size && !record.name.empty()) last = &record;
    if (last->count && last->offset == size) return "file ends before " + last->name;
    return "file ends inside " + last->name;
}

// Byte ranges of the vertex positions of every object: damage there leaves the file readable.
std::vector<std::pair<size_t, size_t>> vertexRanges(const std::vector<uint8_t>& bytes,
                                                    const std::vector<SceneRecord>& records) {
    std::vector<std::pair<size_t, size_t>> ranges;
    for (const SceneRecord& record : records) {
        if (record.name.rfind("object ", 0) != 0) continue;
        int32_t vertices = 0;
        std::memcpy(&vertices, &bytes[record.offset + 6], 4);
        if (vertices > 0)
            ranges.push_back({record.offset + 10, static_cast<size_t>(vertices) * 12});
    }
    return ranges;
}

// A small fixed generator, so that every run damages the same bytes.
uint32_t nextRandom(uint32_t* state) {
    *state = *state * 1664525u + 1013904223u;
    return *state >> 8;
}

}  // namespace

class BadDataMatrix : public ::testing::Test {
protected:
    static inline fs::path generated;     // the generator's data folder, never damaged
    static inline std::string unusable;   // why the matrix cannot run, or empty

    static void SetUpTestSuite() {
        if (!CAPTURE_PROGRAM || !fs::exists(CAPTURE_PROGRAM)) {
            unusable = "demo-capture is not built";
            return;
        }
        if (!DATA_SET_DIR || !fs::exists(fs::path(DATA_SET_DIR) / "complete")) {
            unusable = "the build made no data set to damage";
            return;
        }
        generated = fs::path(DATA_SET_DIR) / "data";
    }

    void SetUp() override {
        if (!unusable.empty()) FAIL() << unusable;
        char pattern[] = "/tmp/bad-data-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        root = pattern;
    }

    void TearDown() override {
        std::error_code error;
        if (!root.empty()) fs::remove_all(root, error);
    }

    // A fresh copy of the set in the case folder; returns its data folder.
    fs::path freshCopy() {
        std::error_code error;
        fs::remove_all(root / "data", error);
        fs::copy(generated, root / "data", fs::copy_options::recursive);
        return root / "data";
    }

    // Runs the capture in the case folder for one picture in the title (or `arguments`).
    Outcome run(const std::string& arguments = "--at 500") {
        const fs::path err = root / "run-stderr";
        const std::string line =
            "cd " + quoted(root) + " && ASAN_OPTIONS=detect_leaks=0:exitcode=" +
            std::to_string(ADDRESS_SANITIZER_EXIT) +
            " UBSAN_OPTIONS=print_stacktrace=1:exitcode=" +
            std::to_string(UNDEFINED_SANITIZER_EXIT) + " timeout -k 10 " +
            std::to_string(RUN_LIMIT_SECONDS) + " " + quoted(CAPTURE_PROGRAM) + " " + arguments +
            " --out out >/dev/null 2>" + quoted(err) + " </dev/null";
        const int status = std::system(line.c_str());
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return parseOutcome(code, readText(err));
    }

    // Copies the set, lets `damage` change it, runs the capture.
    Outcome runDamaged(const std::function<void(const fs::path& data)>& damage,
                       const std::string& arguments = "--at 500") {
        const fs::path data = freshCopy();
        damage(data);
        return run(arguments);
    }

    fs::path root;
};

// ---- Missing files ----

TEST_F(BadDataMatrix, MissingPictureOrFlareFileIsReportedAndTheDemoPlays) {
    struct Case {
        const char* file;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        // Loaded into one texture slot.
        {"felsen.jpg", {"cannot load picture: data\\felsen.jpg"}},
        // A lens picture: loaded into its texture slot, then once more by each of the three
        // readings of the flare description.
        {"lens4.jpg", repeated("cannot load picture: data\\lens4.jpg", 4)},
        {"flare.cfg", repeated("cannot load flaredata", 3)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Outcome outcome =
            runDamaged([&](const fs::path& data) { fs::remove(data / c.file); });
        EXPECT_TRUE(endedWith(outcome, 0, c.messages));
        EXPECT_TRUE(fs::exists(root / "out" / "at-500.png"));
    }
}

TEST_F(BadDataMatrix, MissingBmpOrMusicStopsTheStartWithItsMessages) {
    struct Case {
        const char* file;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {"surface.bmp", {"Failed to open DIB file data\\surface.bmp.\n", LOAD_FAILED}},
        {"water.bmp", {"Failed to open DIB file data\\water.bmp.\n", LOAD_FAILED}},
        {"5tfina.mp3", {"cannot play audio"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        const Outcome outcome =
            runDamaged([&](const fs::path& data) { fs::remove(data / c.file); });
        EXPECT_TRUE(endedWith(outcome, 1, c.messages));
    }
}

TEST_F(BadDataMatrix, EachMissingSceneFileStopsTheLoad) {
    for (const std::string& file : SCENE_FILES) {
        SCOPED_TRACE(file);
        const Outcome outcome = runDamaged([&](const fs::path& data) { fs::remove(data / file); });
        EXPECT_TRUE(endedWith(outcome, 1, {"mesh-file not found", LOAD_FAILED}));
    }
}

// ---- Scene files cut short and flipped, one file per test ----

class DamagedSceneFile : public BadDataMatrix,
                         public ::testing::WithParamInterface<std::string> {};

// Cut at the start, inside the camera, right before the object count, at the start of the
// second object, in the middle and one byte before the end: each names the record that ran
// out, in the file's own name, and the start stops.
TEST_P(DamagedSceneFile, CutShortNamesTheRecordThatRunsOut) {
    const std::string file = GetParam();
    const std::vector<uint8_t> whole = readBytes(generated / file);
    ASSERT_GT(whole.size(), 100u);
    const std::vector<SceneRecord> records = sceneRecords(whole);
    ASSERT_EQ(records.back().offset, whole.size()) << "the walk does not end at the file's end";
    std::vector<size_t> cuts = {0, 7, records[1].offset, whole.size() / 2, whole.size() - 1};
    if (records.size() > 3 && records[3].name == "object 1") cuts.push_back(records[3].offset);
    for (size_t cut : cuts) {
        SCOPED_TRACE(file + " cut to " + std::to_string(cut) + " bytes");
        const Outcome outcome = runDamaged([&](const fs::path& data) {
            writeBytes(data / file, std::vector<uint8_t>(whole.begin(), whole.begin() + cut));
        });
        const std::string message = "data\\" + file + ": " + cutMessage(records, cut);
        EXPECT_TRUE(endedWith(outcome, 1, {message, LOAD_FAILED}));
    }
}

// A few bytes turned over across the whole file, one of them among the camera's first bytes:
// the file is refused with a message in its name, or it loads and the title plays.
TEST_P(DamagedSceneFile, FlippedBytesAreRefusedOrPlayed) {
    const std::string file = GetParam();
    std::vector<uint8_t> bytes = readBytes(generated / file);
    uint32_t state = static_cast<uint32_t>(bytes.size());
    for (int round = 0; round < 2; ++round) {
        std::vector<uint8_t> damaged = bytes;
        damaged[2 + nextRandom(&state) % 40] ^= 0xFF;
        for (int i = 0; i < 3; ++i) damaged[nextRandom(&state) % damaged.size()] ^= 0xFF;
        SCOPED_TRACE(file + " flip round " + std::to_string(round));
        const Outcome outcome =
            runDamaged([&](const fs::path& data) { writeBytes(data / file, damaged); });
        ASSERT_TRUE(endedCleanly(outcome));
        if (outcome.exitCode == 0) {
            EXPECT_TRUE(outcome.messages.empty()) << describe(outcome);
        } else {
            ASSERT_EQ(outcome.messages.size(), 2u) << describe(outcome);
            EXPECT_NE(outcome.messages[0].find("data\\" + file), std::string::npos);
            EXPECT_EQ(outcome.messages[1], LOAD_FAILED);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EachSceneFile, DamagedSceneFile, ::testing::ValuesIn(SCENE_FILES),
                         [](const ::testing::TestParamInfo<std::string>& file) {
                             return file.param.substr(0, file.param.find('.'));
                         });

// Vertex positions turned into garbage (not-a-number, infinities, huge values) in every scene
// file still load; every scene then draws them, one frame a second over the whole demo.
TEST_F(BadDataMatrix, GarbageVerticesInEverySceneAreDrawnToTheEnd) {
    const Outcome outcome = runDamaged(
        [&](const fs::path& data) {
            uint32_t state = 7;
            for (const std::string& file : SCENE_FILES) {
                std::vector<uint8_t> bytes = readBytes(data / file);
                const auto ranges = vertexRanges(bytes, sceneRecords(bytes));
                static const uint32_t garbage[] = {0x7FC00000u, 0x7F800000u, 0xFF800000u,
                                                   0x7F7FFFFFu, 0x00000001u};
                for (const auto& [start, length] : ranges) {
                    for (int i = 0; i < 4; ++i) {
                        const size_t at = start + (nextRandom(&state) % (length / 4)) * 4;
                        std::memcpy(&bytes[at], &garbage[nextRandom(&state) % 5], 4);
                    }
                }
                writeBytes(data / file, bytes);
            }
        },
        "--fps 1");
    EXPECT_TRUE(endedWith(outcome, 0, {}));
}

// ---- Pictures ----

TEST_F(BadDataMatrix, BrokenJpegIsReportedAndTheDemoPlays) {
    const std::string message = "cannot load picture: data\\felsen.jpg";
    {
        SCOPED_TRACE("cut in half");
        const Outcome outcome = runDamaged([](const fs::path& data) {
            std::vector<uint8_t> bytes = readBytes(data / "felsen.jpg");
            bytes.resize(bytes.size() / 2);
            writeBytes(data / "felsen.jpg", bytes);
        });
        EXPECT_TRUE(endedWith(outcome, 0, {message}));
    }
    {
        SCOPED_TRACE("garbage after the start marker");
        const Outcome outcome = runDamaged([](const fs::path& data) {
            std::vector<uint8_t> bytes = readBytes(data / "felsen.jpg");
            uint32_t state = 3;
            for (size_t i = 2; i < bytes.size(); ++i) bytes[i] = nextRandom(&state) & 0xFF;
            writeBytes(data / "felsen.jpg", bytes);
        });
        EXPECT_TRUE(endedWith(outcome, 0, {message}));
    }
}

// The BMP pictures of the water effect: a newer header the reader does not know, a picture of
// the wrong size, and a file cut short.
TEST_F(BadDataMatrix, BrokenBmpStopsTheStartWithItsMessages) {
    {
        SCOPED_TRACE("108-byte header");
        const Outcome outcome = runDamaged([](const fs::path& data) {
            std::vector<uint8_t> bytes = readBytes(data / "water.bmp");
            // Grow the 40-byte header to 108 bytes (zeros after its fields) and move the
            // pixels' offset with it.
            bytes.insert(bytes.begin() + 54, 68, 0);
            bytes[14] = 108;
            const uint32_t offset = bytes[10] | (bytes[11] << 8) | (bytes[12] << 16);
            const uint32_t moved = offset + 68;
            for (int i = 0; i < 4; ++i) bytes[10 + i] = (moved >> (8 * i)) & 0xFF;
            writeBytes(data / "water.bmp", bytes);
        });
        EXPECT_TRUE(endedWith(outcome, 1, {"Unknown DIB file format.", LOAD_FAILED}));
    }
    {
        SCOPED_TRACE("wrong size");
        const Outcome outcome = runDamaged([](const fs::path& data) {
            std::vector<uint8_t> bytes = readBytes(data / "surface.bmp");
            // Half as wide and half as high: the stored rows still cover the picture.
            bytes[18] = 64;
            bytes[22] = 64;
            writeBytes(data / "surface.bmp", bytes);
        });
        EXPECT_TRUE(endedWith(outcome, 1,
                              {"data\\surface.bmp is 64 x 64, not 128 x 128", LOAD_FAILED}));
    }
    {
        SCOPED_TRACE("cut short");
        const Outcome outcome = runDamaged([](const fs::path& data) {
            std::vector<uint8_t> bytes = readBytes(data / "water.bmp");
            bytes.resize(bytes.size() - 1000);
            writeBytes(data / "water.bmp", bytes);
        });
        EXPECT_TRUE(endedWith(outcome, 1, {"Image file conversion error.", LOAD_FAILED}));
    }
}

// ---- The flare description ----

TEST_F(BadDataMatrix, FlareFileBreakingItsLineRulesIsRefusedAndTheDemoPlays) {
    const auto flareCase = [&](const char* what,
                               const std::function<std::string(std::string)>& edit) {
        SCOPED_TRACE(what);
        const Outcome outcome = runDamaged([&](const fs::path& data) {
            writeText(data / "flare.cfg", edit(readText(data / "flare.cfg")));
        });
        EXPECT_TRUE(endedWith(outcome, 0, repeated("cannot load flaredata", 3)));
        EXPECT_TRUE(fs::exists(root / "out" / "at-500.png"));
    };
    flareCase("lens section missing", [](std::string text) {
        const size_t start = text.find("[Lens 5]");
        const size_t end = text.find("[Lens 6]");
        return text.erase(start, end - start);
    });
    flareCase("300-byte line", [](std::string text) {
        return "; " + std::string(296, 'x') + "\r\n" + text;
    });
    flareCase("no carriage return at the end", [](std::string text) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
        return text;
    });
}
