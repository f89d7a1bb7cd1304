// Writes the twelve scene files through the scene writer, after checking each description
// for what the format and the demo cannot recover from: tracks without keys, key times that
// do not increase, faces naming vertices that are not there.
#include <cstdio>

#include "data_file_path.h"
#include "data_file_writer.h"
#include "data_set.h"
#include "scene_authoring.h"

namespace {

template <typename Key>
bool keysIncrease(const std::vector<Key>& keys) {
    if (keys.empty()) return false;
    for (size_t k = 1; k < keys.size(); ++k)
        if (keys[k].time <= keys[k - 1].time) return false;
    return true;
}

}  // namespace

bool sceneDescIsSound(const SceneDesc& scene, std::string* problem) {
    const CameraDesc& c = scene.camera;
    if (!keysIncrease(c.position) || !keysIncrease(c.roll) || !keysIncrease(c.fov) || !keysIncrease(c.target) ||
        !keysIncrease(c.hide)) {
        *problem = "camera track without keys or with unordered keys";
        return false;
    }
    for (size_t i = 0; i < scene.objects.size(); ++i) {
        const ObjectDesc& o = scene.objects[i];
        if (!keysIncrease(o.position) || !keysIncrease(o.rotation) || !keysIncrease(o.scale) || !keysIncrease(o.hide)) {
            *problem = "object " + std::to_string(i) + ": track without keys or with unordered keys";
            return false;
        }
        for (const FaceDesc& f : o.faces)
            for (const CornerDesc& corner : f.corners)
                if (corner.vertex < 0 || size_t(corner.vertex) >= o.vertices.size()) {
                    *problem = "object " + std::to_string(i) + ": face names a missing vertex";
                    return false;
                }
    }
    for (size_t i = 0; i < scene.lights.size(); ++i)
        if (!keysIncrease(scene.lights[i].position) || !keysIncrease(scene.lights[i].hide)) {
            *problem = "light " + std::to_string(i) + ": track without keys or with unordered keys";
            return false;
        }
    return true;
}

int writeSceneFiles(const std::string& dir) {
    struct Entry {
        const char* name;
        SceneDesc (*build)();
    };
    const Entry entries[] = {
        {"data\\light.dat", lightScene},      {"data\\neuronal.dat", neuronalScene},
        {"data\\aterie.dat", arteryScene},    {"data\\darm.dat", intestineScene},
        {"data\\kopuli.dat", cupolaScene},    {"data\\fisch2.dat", seaScene},
        {"data\\mirror.dat", mirrorScene},    {"data\\morph1.dat", [] { return morphScene(1); }},
        {"data\\morph2.dat", [] { return morphScene(2); }}, {"data\\morph3.dat", [] { return morphScene(3); }},
        {"data\\morph4.dat", [] { return morphScene(4); }}, {"data\\morph5.dat", [] { return morphScene(5); }},
    };
    for (const Entry& e : entries) {
        std::string path = dataFilePath(dir, e.name), problem;
        SceneDesc scene = e.build();
        std::vector<uint8_t> bytes;
        if (!sceneDescIsSound(scene, &problem) || !writeSceneBytes(scene, &bytes, &problem)) {
            std::fprintf(stderr, "make-data: cannot make %s: %s\n", shownPath(path).c_str(),
                         problem.c_str());
            return 0;
        }
        if (!writeWholeFile(path, bytes.data(), bytes.size())) {
            reportCannotWrite(path);
            return 0;
        }
    }
    return 1;
}
