// A complete small data set for the demo, written by the tests into a temporary folder: every
// picture the set-up loads as a 16 x 16 JPEG of one colour, 128 x 128 BMP pictures, tiny scene
// files whose cameras look away from everything they hold, and a flare file. Because every
// picture is flat, the colour of a screen point in any frame follows from the compositions by
// hand. Options leave files out or change a scene file to make the load fail on purpose.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "scene_writer.h"

struct FixtureColour {
    const char* name;
    uint8_t r, g, b;
};

// Pictures with a colour of their own; every other picture is black.
extern const std::vector<FixtureColour> FIXTURE_COLOURS;
// Every JPEG the set-up loads, by its data name ("data\\x.jpg"), each once: the set-up's own
// slot tables.
extern const std::vector<std::string> FIXTURE_PICTURES;

struct FixtureOptions {
    // Lens elements in the flare file; each names "data\\lens<k>.jpg" (k = 1 to 4).
    int flareElements = 0;
    // Data names of files not to write.
    std::vector<std::string> omit;
    // Side of "data\\surface.bmp" (the water effect needs 128).
    int surfaceSide = 128;
    // Called with each scene file's data name and description before it is written.
    std::function<void(const std::string&, SceneDesc*)> editScene;
};

struct LoadRecord {
    int result = -1;
    std::vector<std::string> log;       // every text drawn while loading, in order
    std::vector<std::string> messages;  // every message box text, in order
};

// Writes the fixture into a fresh temporary folder and returns its path.
std::string writeDemoFixture(const FixtureOptions& options);
// Runs loadAllAssets with the folder as working directory (the GL test context must be
// current), collecting the log lines and message boxes; the working directory is restored.
LoadRecord loadDemoFixture(const std::string& folder);
// Removes the folder and everything in it.
void removeDemoFixture(const std::string& folder);
