// The drawing passes over a Scene's meshes once the update has put every vertex into eye space.
// Each object's TextureSlot picks its mode: opaque textured with corner colours, opaque with a
// second scrolling texture added in a second pass, translucent, and a thin wire overlay of the
// edges and mid-edge lines. Faces are kept or dropped whole against the near and far depths and
// left to OpenGL to clip, and the sprite sets are drawn as quads facing the eye. A sprite wholly
// off the screen is not sent, and a large one of a mostly black additive picture is drawn only
// in the strips of it that are not black (ink_strips.h), each pixel exactly as the whole square
// draws it. Geometry goes in vertex arrays (vertex_batches.h).
// A corner whose vertex index lies outside its object drops its face: indices come from files.
#include "render/mesh_drawing.h"

#include <algorithm>
#include <cmath>

#include "anim/scene_update.h"
#include "assets/demo_numbers.h"
#include "platform/opengl.h"
#include "render/ink_strips.h"
#include "render/overlays.h"
#include "render/pass_probe.h"
#include "render/render_globals.h"
#include "render/vertex_batches.h"
#include "shell/gl_window.h"

namespace {

bool isHidden(const SceneObject* object) { return object->hideTrack.toggleState != 0; }

// The object's TextureSlot, or null when its index lies outside the table.
const TextureSlot* slotOf(const SceneObject* object) {
    if (object->textureSlot < 0 || object->textureSlot >= TEXTURE_SLOTS) return nullptr;
    return &textureTable[object->textureSlot];
}

// The eye-space positions of the face's corners; false when a corner's index is out of range.
bool cornerPositions(const SceneObject* object, const Face& face, const Vec3* out[3]) {
    for (int c = 0; c < 3; ++c) {
        const int32_t index = face.corners[c].vertex;
        if (index < 0 || index >= object->vertexCount) return false;
        out[c] = &object->eyeVertices[index];
    }
    return true;
}

// In front unless every corner lies at or behind the near depth.
bool inFront(const Vec3* const p[3]) {
    return !(p[0]->z >= nearCullZ && p[1]->z >= nearCullZ && p[2]->z >= nearCullZ);
}

// In range when at least one corner lies nearer than the far depth.
bool inRange(const Vec3* const p[3], float farCullZ) {
    return p[0]->z > farCullZ || p[1]->z > farCullZ || p[2]->z > farCullZ;
}

int32_t faceCountOf(const SceneObject* object) {
    return object->faces && object->eyeVertices ? object->faceCount : 0;
}

// A vertex at p with texture coordinate (u, v) and colour (r, g, b, 1).
DrawVertex cornerVertex(const Vec3* p, float u, float v, float r, float g, float b) {
    return {p->x, p->y, p->z, u, v, r, g, b, 1.0f};
}


// ---- Sprites ----

// Whether the sprite's square covers no pixel: no size, in front of the near plane of the
// camera's projection, or wholly beside the screen (with room for rounding).
bool spriteShowsNothing(const Sprite& sprite, double focal) {
    const double s = sprite.halfSize;
    if (s == 0.0) return true;
    const double z = sprite.eyePosition.z;
    if (z > -0.9999) return true;  // the projection's near plane lies at depth 1
    if (focal == 0.0) return false;
    const double reach = -z * 1.0001 / focal;
    const double r = std::fabs(s);
    const double x = sprite.eyePosition.x;
    const double y = sprite.eyePosition.y;
    return x - r > reach || x + r < -reach || y - r > reach || y + r < -reach;
}

}  // namespace

// ---- Passes ----

void drawOpaqueObjects(Scene* scene, const ScenePassSettings& settings) {
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        const SceneObject* object = &scene->objects[i];
        if (isHidden(object)) continue;
        const TextureSlot* slot = slotOf(object);
        if (!slot || slot->translucency != 0.0f) continue;
        announceDrawPass(PASS_OPAQUE, i);
        if (slot->flags & SLOT_SCROLL_OVERLAY)
            drawTwoPassObject(object, settings.farCullZ);
        else
            drawTexturedObject(object, settings.farCullZ);
    }
}

void drawTranslucentObjects(Scene* scene, const ScenePassSettings& settings) {
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        const SceneObject* object = &scene->objects[i];
        if (isHidden(object)) continue;
        const TextureSlot* slot = slotOf(object);
        if (!slot || slot->translucency == 0.0f) continue;
        announceDrawPass(PASS_TRANSLUCENT, i);
        drawTranslucentObject(object, settings.translucentFogOff);
    }
}

void drawWireOverlays(Scene* scene) {
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        const SceneObject* object = &scene->objects[i];
        if (isHidden(object)) continue;
        announceDrawPass(PASS_WIRE, i);
        drawWireOverlay(object);
    }
}

void drawSpriteSets(Scene* scene, const SceneCamera* camera, const ScenePassSettings& settings) {
    const int32_t setCount = std::min(scene->spriteSetCount, static_cast<int32_t>(MAX_SPRITE_SETS));
    // The camera's projection: x / -z times this is the screen position, -1 to 1 (aspect 1).
    const double fov = camera->fov;
    const double focal = fov > 0.0 && fov < 1.5 ? 1.0 / std::tan(fov) : 0.0;
    const PixelBox picture{pictureRect.x, pictureRect.y, pictureRect.width, pictureRect.height};
    for (int32_t k = 0; k < setCount; ++k) {
        SpriteSet* set = &scene->spriteSets[k];
        announceDrawPass(PASS_SPRITES, k);
        // The timeline may change spriteCount; never step past what was allocated.
        const int32_t count =
            set->sprites ? std::min(set->spriteCount, set->spriteCapacity) : 0;
        if (set->slot) applySlotState(set->slot);
        glNormal3f(0.0f, 0.0f, 0.0f);
        // Only an additive slot adds nothing where its picture is black, and only without a fog
        // that tints black.
        const bool additive = set->slot && set->slot->translucency != 0.0f && !fogTintsBlack;
        const InkStrips* strips = additive ? inkStripsOf(set->slot->ink) : nullptr;
        beginBatch(GL_QUADS, BATCH_TEXCOORD | BATCH_COLOUR);
        for (int32_t i = 0; i < count; ++i) {
            Sprite* sprite = &set->sprites[i];
            if (set->update) set->update(sprite, set->userValue);
            eyeTransform(camera, &sprite->worldPosition, &sprite->eyePosition);
            const float z = sprite->eyePosition.z;
            if (!set->slot || !(z < nearCullZ && z > settings.farCullZ)) continue;
            if (spriteShowsNothing(*sprite, focal)) continue;
            const float s = sprite->halfSize;
            const double screenHeight = focal != 0.0 ? 2.0 * std::fabs(s) * focal / -z : 0.0;
            const Vec3& colour = sprite->colour;
            const Vec3& p = sprite->eyePosition;
            if (!additive || !drawnApart(screenHeight)) {
                emitInkSquare(p.x, p.y, z, s, colour.x, colour.y, colour.z);
                continue;
            }
            // A large additive square: drawn alone, in its place among the others, and where
            // its picture is mostly black only strip by strip.
            endBatch();
            const int rows = inkStripRows(strips, screenHeight);
            if (rows > 1) {
                drawInkStrips(strips, rows, p.x, p.y, z, s, focal, picture, colour.x, colour.y,
                              colour.z);
            } else {
                beginBatch(GL_QUADS, BATCH_TEXCOORD | BATCH_COLOUR);
                emitInkSquare(p.x, p.y, z, s, colour.x, colour.y, colour.z);
                endBatch();
            }
            beginBatch(GL_QUADS, BATCH_TEXCOORD | BATCH_COLOUR);
        }
        endBatch();
    }
}

void stepSpriteSets(Scene* scene) {
    const int32_t setCount = std::min(scene->spriteSetCount, static_cast<int32_t>(MAX_SPRITE_SETS));
    for (int32_t k = 0; k < setCount; ++k) {
        SpriteSet* set = &scene->spriteSets[k];
        const int32_t count =
            set->sprites ? std::min(set->spriteCount, set->spriteCapacity) : 0;
        if (!set->update) continue;
        for (int32_t i = 0; i < count; ++i) set->update(&set->sprites[i], set->userValue);
    }
}

// ---- Modes ----

void drawTexturedObject(const SceneObject* object, float farCullZ) {
    const TextureSlot* slot = slotOf(object);
    if (!slot) return;
    applySlotState(slot);
    beginBatch(GL_TRIANGLES, BATCH_TEXCOORD | BATCH_COLOUR);
    const int32_t faceCount = faceCountOf(object);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p) || !inRange(p, farCullZ)) continue;
        DrawVertex* out = reserveBatchVertices(3);
        for (int c = 0; c < 3; ++c) {
            const Corner& corner = face.corners[c];
            out[c] = cornerVertex(p[c], corner.u, corner.v, corner.red, corner.green, corner.blue);
        }
    }
    endBatch();
}

void drawTwoPassObject(const SceneObject* object, float farCullZ) {
    const TextureSlot* slot = slotOf(object);
    if (!slot) return;
    applySlotState(slot);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const int32_t faceCount = faceCountOf(object);

    beginBatch(GL_TRIANGLES, BATCH_TEXCOORD);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p) || !inRange(p, farCullZ)) continue;
        DrawVertex* out = reserveBatchVertices(3);
        for (int c = 0; c < 3; ++c)
            out[c] = cornerVertex(p[c], face.corners[c].u, face.corners[c].v, 1, 1, 1);
    }
    endBatch();

    // The second texture lies exactly on the first and is added to it, tinted by the corners.
    glDepthFunc(GL_LEQUAL);
    bindTexture(slot->overlayGlName);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    beginBatch(GL_TRIANGLES, BATCH_TEXCOORD | BATCH_COLOUR);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p) || !inRange(p, farCullZ)) continue;
        if (!(face.corners[0].red > 0.0f && face.corners[1].red > 0.0f &&
              face.corners[2].red > 0.0f))
            continue;
        DrawVertex* out = reserveBatchVertices(3);
        for (int c = 0; c < 3; ++c) {
            const Corner& corner = face.corners[c];
            out[c] = cornerVertex(p[c], corner.u2, corner.v2, corner.red, corner.green, corner.blue);
        }
    }
    endBatch();
    glDepthFunc(GL_LESS);
}

void drawTranslucentObject(const SceneObject* object, int translucentFogOff) {
    const TextureSlot* slot = slotOf(object);
    if (!slot) return;
    if (translucentFogOff) disableFog();
    applySlotState(slot);
    glNormal3f(0.0f, 0.0f, 0.0f);
    beginBatch(GL_TRIANGLES, BATCH_TEXCOORD | BATCH_COLOUR);
    const int32_t faceCount = faceCountOf(object);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p)) continue;
        DrawVertex* out = reserveBatchVertices(3);
        for (int c = 0; c < 3; ++c)
            out[c] = cornerVertex(p[c], face.corners[c].u, face.corners[c].v, 1, 1, 1);
    }
    endBatch();
    glDisable(GL_BLEND);
    resetDrawState();
}

void drawWireOverlay(const SceneObject* object) {
    const TextureSlot* slot = slotOf(object);
    if (!slot) return;
    const float w = slot->wireBrightness;
    if (w == 0.0f) return;
    applySlotState(&textureTable[WIRE_SLOT]);
    glNormal3f(0.0f, 0.0f, 0.0f);
    // Every line is drawn in the wire picture's middle texel, tinted by the brightness.
    glColor4f(w, w, w, 1.0f);
    glTexCoord2f(0.5f, 0.5f);
    beginBatch(GL_LINES, BATCH_POSITION);
    const int32_t faceCount = faceCountOf(object);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p)) continue;
        // Two edges of the face, then two of the triangle joining the edge midpoints.
        Vec3 m01, m12, m02;
        lerpPoint(&m01, p[0], p[1], 0.5f);
        lerpPoint(&m12, p[1], p[2], 0.5f);
        lerpPoint(&m02, p[0], p[2], 0.5f);
        const Vec3* ends[8] = {p[0], p[1], p[2], p[0], &m01, &m12, &m02, &m01};
        DrawVertex* out = reserveBatchVertices(8);
        for (int k = 0; k < 8; ++k) out[k] = cornerVertex(ends[k], 0, 0, 0, 0, 0);
    }
    endBatch();
    glDisable(GL_BLEND);
    resetDrawState();
}

void lerpPoint(Vec3* out, const Vec3* a, const Vec3* b, float f) {
    out->x = static_cast<float>(a->x + (static_cast<double>(b->x) - a->x) * f);
    out->y = static_cast<float>(a->y + (static_cast<double>(b->y) - a->y) * f);
    out->z = static_cast<float>(a->z + (static_cast<double>(b->z) - a->z) * f);
}
