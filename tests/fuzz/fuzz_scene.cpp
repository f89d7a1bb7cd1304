// Fuzzes the scene file reader from memory, and evaluates every track of an accepted scene once
// so that what the reader lets through is also safe to animate.
#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "assets/scene_file.h"
#include "math/keyframe_tracks.h"
#include "platform/platform.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    suppressMessageBoxes(1);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scene scene;
    if (!readSceneBytes(data, size, &scene, 40, "fuzz.dat")) return 0;
    for (float t : {-10.0f, 0.0f, 17.5f, 1000.0f, 3.0f}) {
        Vec3 v;
        float f;
        Quat q;
        evalVectorTrack(&scene.camera->positionTrack, &v, t);
        evalScalarTrack(&scene.camera->rollTrack, &f, t);
        evalScalarTrack(&scene.camera->fovTrack, &f, t);
        evalVectorTrack(&scene.camera->targetTrack, &v, t);
        for (int i = 0; i < scene.objectCount; ++i) {
            SceneObject* object = &scene.objects[i];
            evalVectorTrack(&object->positionTrack, &v, t);
            evalRotationTrack(&object->rotationTrack, &q, t);
            evalVectorTrack(&object->scaleTrack, &v, t);
            advanceToggleTrack(&object->hideTrack, t);
            for (int f2 = 0; f2 < object->faceCount; ++f2)
                for (const Corner& corner : object->faces[f2].corners)
                    v = object->vertices[corner.vertex];
            if (object->kind == 1) v = scene.objects[object->parent].translation;
        }
        for (int i = 0; i < scene.lightCount; ++i) {
            evalVectorTrack(&scene.lights[i].positionTrack, &v, t);
            advanceToggleTrack(&scene.lights[i].hideTrack, t);
        }
    }
    if (scene.objectCount > 0)
        findObjectBySlot(&scene, scene.objects[scene.objectCount - 1].textureSlot);
    releaseScene(&scene);
    return 0;
}
