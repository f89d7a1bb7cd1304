// The drawing passes over a Scene's meshes once the update has put every vertex into eye space.
// Each object's TextureSlot picks its mode: opaque textured with corner colours, opaque with a
// second scrolling texture added in a second pass, translucent, and a thin wire overlay of the
// edges and mid-edge lines. Faces are kept or dropped whole against the near and far depths and
// left to OpenGL to clip, and the sprite sets are drawn as quads facing the eye.
// A corner whose vertex index lies outside its object drops its face: indices come from files.
#include "render/mesh_drawing.h"

#include <GL/gl.h>

#include <algorithm>

#include "anim/scene_update.h"
#include "assets/demo_numbers.h"
#include "render/overlays.h"
#include "render/render_globals.h"

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
bool inRange(const Vec3* const p[3]) {
    return p[0]->z > farCullZ || p[1]->z > farCullZ || p[2]->z > farCullZ;
}

int32_t faceCountOf(const SceneObject* object) {
    return object->faces && object->eyeVertices ? object->faceCount : 0;
}

void sendVertex(const Vec3* p) { glVertex3f(p->x, p->y, p->z); }

}  // namespace

// ---- Passes ----

void drawOpaqueObjects(Scene* scene) {
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        const SceneObject* object = &scene->objects[i];
        if (isHidden(object)) continue;
        const TextureSlot* slot = slotOf(object);
        if (!slot || slot->translucency != 0.0f) continue;
        if (slot->flags & SLOT_SCROLL_OVERLAY)
            drawTwoPassObject(object);
        else
            drawTexturedObject(object);
    }
}

void drawTranslucentObjects(Scene* scene) {
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        const SceneObject* object = &scene->objects[i];
        if (isHidden(object)) continue;
        const TextureSlot* slot = slotOf(object);
        if (!slot || slot->translucency == 0.0f) continue;
        drawTranslucentObject(object);
    }
}

void drawWireOverlays(Scene* scene) {
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        const SceneObject* object = &scene->objects[i];
        if (isHidden(object)) continue;
        drawWireOverlay(object);
    }
}

void drawSpriteSets(Scene* scene, const SceneCamera* camera) {
    const int32_t setCount = std::min(scene->spriteSetCount, static_cast<int32_t>(MAX_SPRITE_SETS));
    for (int32_t k = 0; k < setCount; ++k) {
        SpriteSet* set = &scene->spriteSets[k];
        // The timeline may change spriteCount; never step past what was allocated.
        const int32_t count =
            set->sprites ? std::min(set->spriteCount, set->spriteCapacity) : 0;
        if (set->slot) applySlotState(set->slot);
        glBegin(GL_QUADS);
        glNormal3f(0.0f, 0.0f, 0.0f);
        for (int32_t i = 0; i < count; ++i) {
            Sprite* sprite = &set->sprites[i];
            if (set->update) set->update(sprite, set->userValue);
            eyeTransform(camera, &sprite->worldPosition, &sprite->eyePosition);
            const float x = sprite->eyePosition.x;
            const float y = sprite->eyePosition.y;
            const float z = sprite->eyePosition.z;
            if (!set->slot || !(z < nearCullZ && z > farCullZ)) continue;
            const float s = sprite->halfSize;
            glColor4f(sprite->colour.x, sprite->colour.y, sprite->colour.z, 1.0f);
            emitQuad(x - s, y - s, x + s, y + s, z);
        }
        glEnd();
    }
}

// ---- Modes ----

void drawTexturedObject(const SceneObject* object) {
    const TextureSlot* slot = slotOf(object);
    if (!slot) return;
    applySlotState(slot);
    glBegin(GL_TRIANGLES);
    const int32_t faceCount = faceCountOf(object);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p) || !inRange(p)) continue;
        for (int c = 0; c < 3; ++c) {
            const Corner& corner = face.corners[c];
            glTexCoord2f(corner.u, corner.v);
            glColor4f(corner.red, corner.green, corner.blue, 1.0f);
            sendVertex(p[c]);
        }
    }
    glEnd();
}

void drawTwoPassObject(const SceneObject* object) {
    const TextureSlot* slot = slotOf(object);
    if (!slot) return;
    applySlotState(slot);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const int32_t faceCount = faceCountOf(object);

    glBegin(GL_TRIANGLES);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p) || !inRange(p)) continue;
        for (int c = 0; c < 3; ++c) {
            glTexCoord2f(face.corners[c].u, face.corners[c].v);
            sendVertex(p[c]);
        }
    }
    glEnd();

    // The second texture lies exactly on the first and is added to it, tinted by the corners.
    glDepthFunc(GL_LEQUAL);
    bindTexture(slot->overlayGlName);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_SRC_ALPHA);
    glDepthMask(GL_FALSE);
    glDisable(GL_CULL_FACE);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_TRIANGLES);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p) || !inRange(p)) continue;
        if (!(face.corners[0].red > 0.0f && face.corners[1].red > 0.0f &&
              face.corners[2].red > 0.0f))
            continue;
        for (int c = 0; c < 3; ++c) {
            const Corner& corner = face.corners[c];
            glTexCoord2f(corner.u2, corner.v2);
            glColor3f(corner.red, corner.green, corner.blue);
            sendVertex(p[c]);
        }
    }
    glEnd();
    glDepthFunc(GL_LESS);
}

void drawTranslucentObject(const SceneObject* object) {
    const TextureSlot* slot = slotOf(object);
    if (!slot) return;
    if (translucentFogOff) glDisable(GL_FOG);
    applySlotState(slot);
    glNormal3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_TRIANGLES);
    const int32_t faceCount = faceCountOf(object);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p)) continue;
        for (int c = 0; c < 3; ++c) {
            glTexCoord2f(face.corners[c].u, face.corners[c].v);
            glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
            sendVertex(p[c]);
        }
    }
    glEnd();
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
    glColor4f(w, w, w, 1.0f);
    const int32_t faceCount = faceCountOf(object);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p)) continue;
        // Two edges of the face, then two of the triangle joining the edge midpoints.
        glBegin(GL_LINES);
        sendVertex(p[0]);
        sendVertex(p[1]);
        sendVertex(p[2]);
        sendVertex(p[0]);
        glEnd();
        Vec3 m01, m12, m02;
        lerpPoint(&m01, p[0], p[1], 0.5f);
        lerpPoint(&m12, p[1], p[2], 0.5f);
        lerpPoint(&m02, p[0], p[2], 0.5f);
        glBegin(GL_LINES);
        sendVertex(&m01);
        sendVertex(&m12);
        sendVertex(&m02);
        sendVertex(&m01);
        glEnd();
    }
    glDisable(GL_BLEND);
    resetDrawState();
}

void lerpPoint(Vec3* out, const Vec3* a, const Vec3* b, float f) {
    out->x = static_cast<float>(a->x + (static_cast<double>(b->x) - a->x) * f);
    out->y = static_cast<float>(a->y + (static_cast<double>(b->y) - a->y) * f);
    out->z = static_cast<float>(a->z + (static_cast<double>(b->z) - a->z) * f);
}
