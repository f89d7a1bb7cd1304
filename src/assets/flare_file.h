// Reader for the lens-flare description file: one [Flare] section with the chain's settings and
// one [Lens k] section per element with its picture, size and colour.
#pragma once

#include <cstddef>
#include <cstdint>

#include "assets/scene.h"

// Most elements one flare chain may have; the demo's chains have eight.
constexpr int32_t MAX_FLARE_ELEMENTS = 64;

// Reads the file and appends one FlareSet anchored at `anchor` to the scene, loading every
// element's picture as a texture of its own. Shows "cannot load flaredata" and adds nothing
// when the file cannot be read as a flare description or the scene holds 256 sets already.
void loadFlareSet(Scene* scene, const char* path, Vec3* anchor);

// Loads one element picture as a texture (loadTexture; tests and tools pass their own).
using FlarePictureLoader = void (*)(const char* path, uint32_t* outGlName);
// Reads a flare description held in memory into *set, anchored at `anchor`, loading the element
// pictures with loadPicture once the whole description has been read. 1 on success; 0 when a
// section is missing, a line is longer than 255 bytes or lacks its carriage return, or the
// element count is negative or above MAX_FLARE_ELEMENTS. Shows no box; with the file's `name`,
// stderr gets the reason for a refusal and names each element without a picture. On failure
// nothing stays allocated.
int readFlareBytes(const uint8_t* bytes, size_t size, Vec3* anchor, FlarePictureLoader loadPicture,
                   FlareSet* set, const char* name = nullptr);
// Frees the element array of a FlareSet (tools and tests; the demo keeps its sets until exit).
void releaseFlareSet(FlareSet* set);
