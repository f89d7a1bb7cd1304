// Damaged data folders, one damage at a time, run through the capture program headless: every
// kind of file missing in turn, scene files cut short at many places and with bytes flipped,
// broken JPEG and BMP pictures, flare descriptions that break their line rules, files that are
// not regular files, files and pictures past the limits that bound memory and time, music the
// clock cannot count. Each run must end playing (with the boxes of a missing picture or flare
// file) or with exit code 1 and its messages, in order, and never by a signal, a hang or a
// sanitizer report. Captures interrupted by a signal must leave nothing that looks finished,
// and no capture may touch a file it did not make. Each case copies the data set the build
// made.
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "test_pictures.h"
#include "scratch_folder.h"
#include "tools/tool_programs.h"

extern char** environ;

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

// How a run ended: its exit code (or the code of the signal or the timeout), the messages it
// wrote as "Error: <text>" in order, a text that spans lines kept whole, and the reasons it
// gave as "demo-capture: <text>".
struct Outcome {
    int exitCode = -1;
    std::vector<std::string> messages;
    std::vector<std::string> reasons;
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
        if (line.rfind("demo-capture: ", 0) == 0) {
            outcome.reasons.push_back(line.substr(14));
            inMessage = false;
        } else if (line.rfind("Error: ", 0) == 0) {
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
    text += "\nreasons:";
    for (const std::string& reason : outcome.reasons) text += "\n  [" + reason + "]";
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

// One damage, the exit code and messages it must end with, and the reasons given on stderr.
struct DamageCase {
    std::string what;
    std::function<void(const fs::path& data)> damage;
    int exitCode;
    std::vector<std::string> messages;
    std::vector<std::string> reasons;
};

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
        root = makeScratchFolder("bad-data");
        ASSERT_FALSE(root.empty());
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

    // The capture with `arguments` as a shell command, with the sanitizers told to exit with
    // codes of their own; stdout and stderr go to files in the case folder.
    std::string captureCommand(const std::string& arguments) {
        return "ASAN_OPTIONS=detect_leaks=0:exitcode=" + std::to_string(ADDRESS_SANITIZER_EXIT) +
               " UBSAN_OPTIONS=print_stacktrace=1:exitcode=" +
               std::to_string(UNDEFINED_SANITIZER_EXIT) + " " + quoted(CAPTURE_PROGRAM) + " " +
               arguments + " >" + quoted(root / "run-stdout") + " 2>" +
               quoted(root / "run-stderr") + " </dev/null";
    }

    // Runs the capture in the case folder for one picture in the title (or `arguments`).
    Outcome run(const std::string& arguments = "--at 500") {
        return runWhole(arguments + " --out out");
    }

    // Runs the capture with exactly `arguments` in the case folder.
    Outcome runWhole(const std::string& arguments) {
        const std::string line = "cd " + quoted(root) + " && timeout -k 10 " +
                                 std::to_string(RUN_LIMIT_SECONDS) + " env " +
                                 captureCommand(arguments);
        const int status = std::system(line.c_str());
        const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        return parseOutcome(code, readText(root / "run-stderr"));
    }

    // Runs the capture on a damaged copy and checks how it ended and what it said.
    void expect(const DamageCase& c) {
        SCOPED_TRACE(c.what);
        const Outcome outcome = runDamaged(c.damage);
        EXPECT_TRUE(endedWith(outcome, c.exitCode, c.messages));
        EXPECT_EQ(outcome.reasons, c.reasons) << describe(outcome);
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

// ---- Files that are not regular files, and limits that bound memory and time ----

// A FIFO would hold a reader until some program writes to it, and a directory or a device has
// no size to read: each is refused at once, with the message of a missing file.
TEST_F(BadDataMatrix, FifoDirectoryOrDeviceInPlaceOfADataFileIsRefusedAtOnce) {
    const std::tuple<std::string, int, std::vector<std::string>> files[] = {
        {"light.dat", 1, {"mesh-file not found", LOAD_FAILED}},
        {"felsen.jpg", 0, {"cannot load picture: data\\felsen.jpg"}},
        {"water.bmp", 1, {"Failed to open DIB file data\\water.bmp.\n", LOAD_FAILED}},
        {"flare.cfg", 0, repeated("cannot load flaredata", 3)},
        {"5tfina.mp3", 1, {"cannot play audio"}},
    };
    for (const auto& [file, code, messages] : files) {
        for (const std::string kind : {"a FIFO", "a directory", "a character device"}) {
            const auto make = [&, file = file, kind](const fs::path& data) {
                fs::remove(data / file);
                if (kind == "a FIFO") {
                    ASSERT_EQ(mkfifo((data / file).c_str(), 0644), 0);
                }
                if (kind == "a directory") fs::create_directory(data / file);
                if (kind == "a character device") fs::create_symlink("/dev/zero", data / file);
            };
            const std::string reason = "data\\" + file + " is " + kind + ", not a regular file";
            expect({file + " as " + kind, make, code, messages,
                    repeated(reason, file == "flare.cfg" ? 3 : 1)});
        }
    }
}

TEST_F(BadDataMatrix, FilesAndPicturesPastTheirLimitsAreRefusedNamingTheFile) {
    // A picture whose frame header claims 13000 x 13000 pixels; nothing else is decoded.
    std::vector<uint8_t> huge = encodeJpeg(8, 8, std::vector<uint8_t>(192, 0), JpegKind::Colour);
    for (size_t i = 2; i + 8 < huge.size(); i += 2 + (huge[i + 2] << 8 | huge[i + 3]))
        if (huge[i + 1] == 0xC0) {  // start of frame: height and width, big-endian
            huge[i + 5] = huge[i + 7] = 13000 >> 8;
            huge[i + 6] = huge[i + 8] = 13000 & 0xFF;
        }
    const std::vector<uint8_t> scans =
        encodeJpeg(16, 16, std::vector<uint8_t>(768, 90), JpegKind::ManyScans);
    const auto editFlare = [](const std::function<std::string(std::string)>& edit) {
        return [edit](const fs::path& data) {
            writeText(data / "flare.cfg", edit(readText(data / "flare.cfg")));
        };
    };
    const DamageCase cases[] = {
        {"a sparse scene file of 2 GB",
         [](const fs::path& data) { fs::resize_file(data / "light.dat", uintmax_t{2} << 30); },
         1, {"data\\light.dat: the file cannot be read", LOAD_FAILED},
         {"data\\light.dat is 2147483648 bytes, more than the 8 MB a data file may hold"}},
        {"13000 x 13000 pixels in the six slots of black.jpg",
         [&](const fs::path& data) { writeBytes(data / "black.jpg", huge); }, 0,
         repeated("cannot load picture: data\\black.jpg", 6),
         repeated("data\\black.jpg: 13000 x 13000 pixels, more than 4096 on a side", 6)},
        {"a progressive picture of 190 scans",
         [&](const fs::path& data) { writeBytes(data / "felsen.jpg", scans); }, 0,
         {"cannot load picture: data\\felsen.jpg"},
         {"data\\felsen.jpg: a progressive file of more than 100 scans"}},
        {"a flare chain of 1000 elements", editFlare([](std::string text) {
             const size_t count = text.find("NumberOfFlares: ") + 16;
             text.replace(count, text.find('\r', count) - count, "1000");
             for (int k = 1000; k > 8; --k)
                 text += "[Lens " + std::to_string(k) + "]\r\nFilename: data\\lens1.jpg\r\n"
                         "size: 9\r\ncolour red: 1\r\ncolour green: 2\r\ncolour blue: 3\r\n";
             return text;
         }),
         0, repeated("cannot load flaredata", 3),
         repeated("data\\flare.cfg: 1000 lens elements, more than the 64 of a flare chain", 3)},
        {"a lens element without a picture name", editFlare([](std::string text) {
             return text.replace(text.find("Filename: ", text.find("[Lens 3]")), 10, "Pic: ");
         }),
         0, repeated("cannot load picture: ", 3),
         repeated("data\\flare.cfg: [Lens 3] names no picture", 3)},
    };
    for (const DamageCase& c : cases) expect(c);
}

// Every picture of the set at 4096 x 4096: the first four take all the pixels pictures may
// decode to, and each later one is refused from its header, so the load costs four large
// pictures however many slots there are.
TEST_F(BadDataMatrix, LargePicturesInEverySlotCostNoMoreThanTheirLimit) {
    const auto everyPicture = [](const fs::path& data, const std::function<void(fs::path)>& f) {
        for (const auto& entry : fs::directory_iterator(data))
            if (entry.path().extension() == ".jpg") f(entry.path());
    };
    const Outcome missing = runDamaged([&](const fs::path& data) {
        everyPicture(data, [](const fs::path& path) { fs::remove(path); });
    });
    ASSERT_TRUE(endedCleanly(missing));
    ASSERT_GT(missing.messages.size(), 50u);

    const std::vector<uint8_t> big =
        encodeJpeg(4096, 4096, std::vector<uint8_t>(4096 * 4096, 90), JpegKind::Grey);
    const Outcome large = runDamaged([&](const fs::path& data) {
        everyPicture(data, [&](const fs::path& path) { writeBytes(path, big); });
    });
    const std::vector<std::string> refused(missing.messages.begin() + 4, missing.messages.end());
    EXPECT_TRUE(endedWith(large, 0, refused));
    ASSERT_EQ(large.reasons.size(), refused.size()) << describe(large);
    for (size_t i = 0; i < refused.size(); ++i)
        EXPECT_EQ(large.reasons[i], refused[i].substr(std::string("cannot load picture: ").size()) +
                                        ": 4096 x 4096 pixels, more than the 0 left to the pictures");
}

// The clock counts 44100 Hz stereo bytes: music at another rate is refused, and mono music is
// played on both channels.
TEST_F(BadDataMatrix, MusicAtAnotherRateIsRefusedNamingItsRateAndMonoMusicPlays) {
    SKIP_WITHOUT_PROGRAMS("ffmpeg");
    const auto reencode = [&](const std::string& options) {
        return [&, options](const fs::path& data) {
            const std::string line = "ffmpeg -loglevel error -i " + quoted(data / "5tfina.mp3") +
                                     " -t 1 " + options + " " + quoted(root / "other.mp3");
            ASSERT_EQ(std::system(line.c_str()), 0);
            fs::rename(root / "other.mp3", data / "5tfina.mp3");
        };
    };
    expect({"48 kHz music", reencode("-ar 48000"), 1, {"cannot play audio"},
            {"data\\5tfina.mp3 plays at 48000 Hz; the demo's clock counts 44100 Hz"}});
    expect({"mono music", reencode("-ac 1"), 0, {}, {}});
    EXPECT_TRUE(fs::exists(root / "out" / "at-500.png"));
}

// ---- Interrupted captures and the user's files ----

class InterruptedCapture : public BadDataMatrix {
protected:
    void SetUp() override {
        BadDataMatrix::SetUp();
        SKIP_WITHOUT_PROGRAMS("ffmpeg");
        freshCopy();
        fs::create_directories(root / "out");
    }

    // Starts the capture, waits for a file named with `part` in out/ (a minute at most), sends
    // `signal` and returns the exit code; -1 when the file never comes or the run goes on.
    int interrupt(const std::string& arguments, const std::string& part, int signal) {
        const std::string line = "cd " + quoted(root) + " && exec env " + captureCommand(arguments);
        const char* argv[] = {"/bin/sh", "-c", line.c_str(), nullptr};
        pid_t child = -1;
        if (posix_spawn(&child, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ))
            return -1;
        int status = 0;
        bool ended = false;
        for (int i = 0; i < 60000 && !ended && filesIn("out").find(part) == std::string::npos;
             ++i, usleep(1000))
            ended = waitpid(child, &status, WNOHANG) == child;
        if (!ended) kill(child, signal);
        for (int i = 0; i < 3000 && !ended; ++i, usleep(10000))
            ended = waitpid(child, &status, WNOHANG) == child;
        if (!ended) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
        }
        return ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // The names in a folder of the case, sorted, one per line.
    std::string filesIn(const std::string& folder) {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(root / folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        std::string text;
        for (const std::string& name : names) text += name + "\n";
        return text;
    }
};

// Stopped while ffmpeg encodes: ffmpeg stops too, and neither the video nor its music is left.
TEST_F(InterruptedCapture, SignalDuringAVideoLeavesNoFileAndEndsWithItsCode) {
    for (const auto& [signal, code] : {std::pair{SIGTERM, 143}, std::pair{SIGINT, 130}}) {
        EXPECT_EQ(interrupt("--fps 30 --to 60000 --video out/clip.mp4", "clip.partial-", signal),
                  code);
        usleep(200000);  // an encoder left running would still write
        EXPECT_EQ(filesIn("out"), "");
    }
}

// Stopped while the music is written, which a long music file makes take a while.
TEST_F(InterruptedCapture, SignalWhileTheMusicIsWrittenLeavesNoMusicFile) {
    const std::vector<uint8_t> music = readBytes(root / "data" / "5tfina.mp3");
    std::vector<uint8_t> longer;
    for (int i = 0; i < 8; ++i) longer.insert(longer.end(), music.begin(), music.end());
    writeBytes(root / "data" / "5tfina.mp3", longer);
    EXPECT_EQ(interrupt("--fps 1 --from 200000 --to 201000 --out out", "music", SIGINT), 130);
    EXPECT_EQ(filesIn("out"), "");
}

// The video's temporary music never takes the name of a file that is there, and names that
// look like an option or a protocol are file names.
TEST_F(InterruptedCapture, VideoNamesAreFilesAndNothingOfTheUsersIsTouched) {
    writeText(root / "out" / "clip.mp4.music.wav", "mine");
    EXPECT_TRUE(endedWith(runWhole("--fps 10 --to 500 --video out/clip.mp4"), 0, {}));
    EXPECT_EQ(readText(root / "out" / "clip.mp4.music.wav"), "mine");
    EXPECT_TRUE(endedWith(runWhole("--fps 10 --to 500 --video out/a:b.mp4"), 0, {}));
    // A name without an extension names no format: ffmpeg refuses it, and does not read it as
    // its -version option.
    EXPECT_EQ(runWhole("--fps 10 --to 500 --video -version").exitCode, 1);
    EXPECT_EQ(readText(root / "run-stdout").find("ffmpeg version"), std::string::npos);
    EXPECT_EQ(filesIn("out"), "a:b.mp4\nclip.mp4\nclip.mp4.music.wav\n");
    EXPECT_GT(fs::file_size(root / "out" / "a:b.mp4"), 1000u);
    EXPECT_FALSE(fs::exists(root / "-version"));
}
