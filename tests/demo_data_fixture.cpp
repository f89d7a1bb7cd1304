// The demo's fixture data set: flat pictures, minimal scene files and a flare file, written
// from code into a temporary folder and loaded through the real set-up.
#include "demo_data_fixture.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "app/asset_setup.h"
#include "app/asset_tables.h"
#include "assets/demo_numbers.h"
#include "assets/slot_loads.h"
#include "assets/texture_table.h"
#include "test_pictures.h"
#include "platform/platform.h"
#include "scratch_folder.h"
#include "shell/bitmap_font.h"

const std::vector<FixtureColour> FIXTURE_COLOURS = {
    {"data\\logo-background.jpg", 40, 40, 40},
    {"data\\logo-quelldriftlogo.jpg", 0, 60, 0},
    {"data\\logo-opacity.jpg", 128, 128, 128},
    {"data\\logo-quelldrift.jpg", 0, 0, 50},
    {"data\\innenwelt-background.jpg", 0, 0, 100},
    {"data\\innenwelt-opacity.jpg", 128, 128, 128},
    {"data\\innenwelt-vordergrund.jpg", 60, 0, 0},
    {"data\\text-light.jpg", 200, 0, 0},
    {"data\\monks.jpg", 0, 80, 0},
    {"data\\monks-op.jpg", 255, 255, 255},
    {"data\\text-driftwelling.jpg", 255, 255, 255},
    {"data\\helmchen.jpg", 90, 0, 0},
    {"data\\helm-op.jpg", 255, 255, 255},
    {"data\\text-greetings.jpg", 0, 100, 0},
    {"data\\text-flyout.jpg", 0, 0, 200},
    {"data\\vogel.jpg", 0, 0, 120},
    {"data\\vogel-op.jpg", 255, 255, 255},
    {"data\\text-scream.jpg", 100, 0, 0},
    {"data\\embryo-f.jpg", 80, 0, 80},
    {"data\\embryo-o.jpg", 255, 255, 255},
    {"data\\fishpic.jpg", 0, 150, 150},
    {"data\\jesus.jpg", 120, 60, 0},
    {"data\\feuer-spucker.jpg", 100, 100, 0},
    {"data\\feuer-opacity.jpg", 255, 255, 255},
    {"data\\text-brakkwell.jpg", 0, 0, 100},
};

namespace {

std::vector<std::string> slotPictures() {
    const char* paths[TEXTURE_SLOTS];
    const int count = listSlotPictures(paths, TEXTURE_SLOTS);
    return std::vector<std::string>(paths, paths + std::max(count, 0));
}

}  // namespace

const std::vector<std::string> FIXTURE_PICTURES = slotPictures();

namespace {

std::vector<std::string> collectedLog;
std::vector<std::string> collectedMessages;

void collectText(const char* text) { collectedLog.emplace_back(text); }
void collectMessage(const char* caption, const char* text) { collectedMessages.emplace_back(text); }

std::string filePath(const std::string& folder, const std::string& dataName) {
    std::string name = dataName;
    std::replace(name.begin(), name.end(), '\\', '/');
    return folder + "/" + name;
}

bool omitted(const FixtureOptions& options, const std::string& dataName) {
    return std::find(options.omit.begin(), options.omit.end(), dataName) != options.omit.end();
}

// A small triangle at the world origin, far behind every camera of the fixture.
ObjectDesc triangleObject(uint8_t texture) {
    ObjectDesc object;
    object.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    object.faces.resize(1);
    for (int k = 0; k < 3; ++k) object.faces[0].corners[k].vertex = k;
    object.texture = texture;
    setRestTracks(&object);
    return object;
}

LightDesc originLight() {
    LightDesc light;
    light.position = {vectorKey(0, {0, 0, 0})};
    return light;
}

// The camera stands a million units away and looks further away still, so the meshes, lights
// and sprites around the origin (even sprites flung far by a large frame step) stay behind it.
SceneDesc sceneLookingAway(int objects, int lights, uint8_t texture = 0) {
    SceneDesc scene = minimalScene();
    scene.camera.position = {vectorKey(0, {0, 1.0e6f, 0})};
    scene.camera.target = {vectorKey(0, {0, 2.0e6f, 0})};
    for (int i = 0; i < objects; ++i) scene.objects.push_back(triangleObject(texture));
    for (int i = 0; i < lights; ++i) scene.lights.push_back(originLight());
    return scene;
}

struct SceneFile {
    const char* name;
    int objects;
    int lights;
    uint8_t texture;
};

// The darm and kopuli objects wear the textures the set-up finds them by.
constexpr uint8_t DARM_TUBE_TEXTURE = DARM_TUBE_SLOT - DARM_TEXTURE_BASE;
constexpr uint8_t KOPULI_RIPPLED_TEXTURE = KOPULI_RIPPLED_SLOT - KOPULI_TEXTURE_BASE;

constexpr SceneFile SCENE_FILES[] = {
    {"data\\light.dat", 1, 1, 0},   {"data\\neuronal.dat", 1, 2, 0},
    {"data\\aterie.dat", 1, 9, 0},  {"data\\darm.dat", 1, 1, DARM_TUBE_TEXTURE},
    {"data\\kopuli.dat", 1, 0, KOPULI_RIPPLED_TEXTURE},  {"data\\fisch2.dat", 2, 0, 1},
    {"data\\morph1.dat", 10, 0, 0}, {"data\\morph2.dat", 10, 0, 0},
    {"data\\morph3.dat", 10, 0, 0}, {"data\\morph4.dat", 10, 0, 0},
    {"data\\morph5.dat", 10, 0, 0}, {"data\\mirror.dat", 3, 0, 0},
};

std::string flareText(int elements) {
    std::string text = "[Flare]\r\nNumberOfFlares: " + std::to_string(elements) +
                       "\r\nFlareDistance: 256\r\nFlarePreLight: 0\r\nFlareAngle: 256\r\n"
                       "FlareBlend: 0\r\n";
    for (int k = 1; k <= elements; ++k) {
        text += "[Lens " + std::to_string(k) + "]\r\nFilename: data\\lens" + std::to_string(k) +
                ".jpg\r\nsize: 20\r\ncolour red: 255\r\ncolour green: 255\r\n"
                "colour blue: 255\r\n";
    }
    return text;
}

bool writeText(const std::string& path, const std::string& text) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fwrite(text.data(), 1, text.size(), file);
    return std::fclose(file) == 0;
}

// The fixture's folders are named for it, so that removeDemoFixture removes nothing else.
constexpr const char* FIXTURE_PREFIX = "qd-demo-fixture";

}  // namespace

std::string writeDemoFixture(const FixtureOptions& options) {
    const std::string folder = makeScratchFolder(FIXTURE_PREFIX).string();
    if (folder.empty()) return {};
    std::filesystem::create_directories(folder + "/data");

    for (const std::string& name : FIXTURE_PICTURES) {
        if (omitted(options, name)) continue;
        uint8_t r = 0, g = 0, b = 0;
        for (const FixtureColour& colour : FIXTURE_COLOURS) {
            if (name == colour.name) {
                r = colour.r;
                g = colour.g;
                b = colour.b;
            }
        }
        writeFlatJpeg(filePath(folder, name), 16, 16, r, g, b);
    }

    // The surface picture has a pattern (the warp copies it unchanged over a flat water picture).
    const int side = options.surfaceSide;
    std::vector<uint8_t> surface(static_cast<size_t>(side) * side * 3);
    for (size_t i = 0; i < surface.size(); ++i) surface[i] = static_cast<uint8_t>(i * 7 % 251);
    if (!omitted(options, "data\\surface.bmp")) {
        writeBmp24(filePath(folder, "data\\surface.bmp"), side, side, surface);
    }
    if (!omitted(options, "data\\water.bmp")) {
        std::vector<uint8_t> water(128 * 128 * 3, 90);
        writeBmp24(filePath(folder, "data\\water.bmp"), 128, 128, water);
    }

    for (const SceneFile& file : SCENE_FILES) {
        if (omitted(options, file.name)) continue;
        SceneDesc scene = sceneLookingAway(file.objects, file.lights, file.texture);
        if (options.editScene) options.editScene(file.name, &scene);
        std::string error;
        writeSceneFile(scene, filePath(folder, file.name), &error);
    }

    if (!omitted(options, "data\\flare.cfg")) {
        writeText(filePath(folder, "data\\flare.cfg"), flareText(options.flareElements));
    }
    return folder;
}

LoadRecord loadDemoFixture(const std::string& folder) {
    LoadRecord record;
    collectedLog.clear();
    collectedMessages.clear();
    char previous[4096];
    if (getcwd(previous, sizeof previous) == nullptr || chdir(folder.c_str()) != 0) return record;
    // A new load replaces the tables of an earlier one in this process; free the big three.
    releaseTables();
    setTextSink(collectText);
    setMessageSink(collectMessage);
    suppressMessageBoxes(1);
    record.result = loadAllAssets();
    setTextSink(nullptr);
    setMessageSink(nullptr);
    if (chdir(previous) != 0) record.result = -1;
    record.log = collectedLog;
    record.messages = collectedMessages;
    return record;
}

void removeDemoFixture(const std::string& folder) {
    // Only a folder this fixture made: named for it, directly in the temporary folder.
    const std::filesystem::path path(folder);
    std::error_code error;
    if (path.filename().string().rfind(FIXTURE_PREFIX + std::string("-"), 0) == 0 &&
        std::filesystem::equivalent(path.parent_path(), std::filesystem::temp_directory_path(), error))
        std::filesystem::remove_all(path, error);
}
