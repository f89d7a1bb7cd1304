// How a composition steers a scene pass: how far the meshes and sprites reach, how bright the
// opaque meshes are, whether the pass warps its geometry, and whether translucent meshes ignore
// the fog. The timeline keeps one such record from frame to frame and hands it to every pass;
// each scene sets the fields it cares about and keeps in the others what the scenes before it
// left (the timeline's table of what each scene sets says which).
#pragma once

struct ScenePassSettings {
    // Eye-space depth beyond which sprites and opaque triangles are skipped.
    float farCullZ;
    // Level of the opaque meshes and of the darkening of the picture inside the pass; at 0 or
    // less the opaque meshes are left out and the picture turns black.
    float sceneBrightness;
    // Not 0: the pass warps eye-space vertices and light positions.
    int wobbleEnabled;
    // Not 0: translucent meshes are drawn without fog.
    int translucentFogOff;
};

// The settings before any scene has set one.
constexpr ScenePassSettings START_PASS_SETTINGS = {-1800.0f, 1.0f, 0, 0};
