// The drawing passes over a Scene's meshes once the update has put every vertex into eye space.
// Each object's TextureSlot picks its mode: opaque textured with corner colours, opaque with a
// second scrolling texture added in a second pass, translucent, and a thin wire overlay of the
// edges and mid-edge lines. Faces are kept or dropped whole against the near and far depths and
// left to OpenGL to clip, and the sprite sets are drawn as quads facing the eye. A sprite wholly
// off the screen is not sent, and a large one of a mostly black additive picture is sent as the
// strips of it that are not black. Geometry goes in vertex arrays (vertex_batches.h).
// A corner whose vertex index lies outside its object drops its face: indices come from files.
#include "render/mesh_drawing.h"

#include <algorithm>
#include <cmath>

#include "anim/scene_update.h"
#include "assets/demo_numbers.h"
#include "assets/texture_ink.h"
#include "platform/opengl.h"
#include "render/overlays.h"
#include "render/pass_probe.h"
#include "render/render_globals.h"
#include "render/vertex_batches.h"

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

DrawVertex withColour(DrawVertex vertex, const Vec3& colour) {
    vertex.r = colour.x;
    vertex.g = colour.y;
    vertex.b = colour.z;
    vertex.a = 1.0f;
    return vertex;
}

// A vertex at p with texture coordinate (u, v) and colour (r, g, b, 1).
DrawVertex cornerVertex(const Vec3* p, float u, float v, float r, float g, float b) {
    return {p->x, p->y, p->z, u, v, r, g, b, 1.0f};
}


// ---- Sprite pieces ----

// A sprite whose picture is mostly black, drawn additively, is sent as strips that hold
// something: the square is cut into rows, and each row into its runs of grid cells that are not
// black, so a large sprite rasterizes little more than its visible part. Thin strips cost the
// rasterizer more per pixel than they save, so a sprite gets as many rows as its size on the
// screen affords, from one (the whole square) to SPRITE_PIECES.
constexpr int SPRITE_PIECES = 32;
constexpr int ROW_CHOICES = 6;  // rows of 1, 2, 4, 8, 16 or 32 cells
constexpr int MAX_RUNS = SPRITE_PIECES / 2;
// Least height of a strip, in screen units (the screen is 2 across).
constexpr double LEAST_STRIP_HEIGHT = 0.12;

struct SpriteRun {
    int8_t first, last;  // columns of the cells, inclusive
};

// The strips of one row height: row r spans cell rows r * height to (r + 1) * height - 1.
struct SpriteStrips {
    int8_t runCount[SPRITE_PIECES];
    SpriteRun runs[SPRITE_PIECES][MAX_RUNS];  // per row, left to right
};

struct SpritePieces {
    bool split;  // false: always the whole square
    SpriteStrips strips[ROW_CHOICES];  // [k]: rows of 2^k cells
};

void planSpritePieces(const TextureSlot* slot, SpritePieces* out) {
    out->split = false;
    // Only an additive slot adds nothing where its picture is black, and only without a fog
    // that tints black.
    if (!slot || !slot->ink || slot->translucency == 0.0f || fogTintsBlack) return;
    constexpr float step = 1.0f / SPRITE_PIECES;
    uint32_t inkedCells[SPRITE_PIECES];  // per cell row, bit c: cell c is not black
    int inked = 0;
    for (int row = 0; row < SPRITE_PIECES; ++row) {
        inkedCells[row] = 0;
        for (int column = 0; column < SPRITE_PIECES; ++column) {
            if (textureRangeIs(slot->ink, INK_DARK, column * step, row * step, (column + 1) * step,
                               (row + 1) * step))
                continue;
            inkedCells[row] |= 1u << column;
            ++inked;
        }
    }
    if (inked * 2 > SPRITE_PIECES * SPRITE_PIECES) return;  // mostly inked: the whole square
    for (int k = 0; k < ROW_CHOICES; ++k) {
        const int height = 1 << k;
        SpriteStrips& strips = out->strips[k];
        for (int row = 0; row * height < SPRITE_PIECES; ++row) {
            uint32_t cells = 0;
            for (int r = row * height; r < (row + 1) * height; ++r) cells |= inkedCells[r];
            int8_t& count = strips.runCount[row];
            count = 0;
            for (int column = 0; column < SPRITE_PIECES;) {
                if (!(cells >> column & 1)) {
                    ++column;
                    continue;
                }
                int last = column;
                while (last + 1 < SPRITE_PIECES && (cells >> (last + 1) & 1)) ++last;
                if (count == MAX_RUNS) return;  // too ragged to be worth it: the whole square
                strips.runs[row][count++] = {static_cast<int8_t>(column), static_cast<int8_t>(last)};
                column = last + 1;
            }
        }
    }
    out->split = true;
}

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

void drawSpritePieces(const Sprite& sprite, const SpritePieces& pieces, double focal) {
    const float x = sprite.eyePosition.x;
    const float y = sprite.eyePosition.y;
    const float z = sprite.eyePosition.z;
    const float s = sprite.halfSize;
    const Vec3& colour = sprite.colour;
    // Rows of at least the least strip height on the screen, a power of two of them.
    int rowChoice = 0;
    if (pieces.split && focal != 0.0) {
        const double screenHeight = 2.0 * std::fabs(s) * focal / -z;
        while (rowChoice + 1 < ROW_CHOICES &&
               screenHeight / (1 << (rowChoice + 1)) >= LEAST_STRIP_HEIGHT)
            ++rowChoice;
    }
    const int rows = SPRITE_PIECES >> (ROW_CHOICES - 1 - rowChoice);
    if (rows <= 1) {
        DrawVertex* quad = reserveBatchVertices(4);
        emitQuadVertices(quad, x - s, y - s, x + s, y + s, z, 0.0f, 0.0f, 1.0f, 1.0f);
        for (int c = 0; c < 4; ++c) quad[c] = withColour(quad[c], colour);
        return;
    }
    const SpriteStrips& strips = pieces.strips[ROW_CHOICES - 1 - rowChoice];
    // Grid lines shared by neighbouring pieces, so the pieces meet without gaps; the outer ones
    // are the square's own edges.
    float xs[SPRITE_PIECES + 1], ys[SPRITE_PIECES + 1];
    for (int k = 0; k <= SPRITE_PIECES; ++k) {
        const double f = static_cast<double>(k) / SPRITE_PIECES;
        xs[k] = static_cast<float>((x - s) + 2.0 * s * f);
        ys[k] = static_cast<float>((y - s) + 2.0 * s * f);
    }
    xs[0] = x - s, xs[SPRITE_PIECES] = x + s;
    ys[0] = y - s, ys[SPRITE_PIECES] = y + s;
    constexpr float step = 1.0f / SPRITE_PIECES;
    const int height = SPRITE_PIECES / rows;
    for (int row = 0; row < rows; ++row) {
        const int top = row * height, bottom = top + height;
        for (int r = 0; r < strips.runCount[row]; ++r) {
            const int first = strips.runs[row][r].first, end = strips.runs[row][r].last + 1;
            DrawVertex* quad = reserveBatchVertices(4);
            emitQuadVertices(quad, xs[first], ys[top], xs[end], ys[bottom], z, first * step,
                             top * step, end * step, bottom * step);
            for (int c = 0; c < 4; ++c) quad[c] = withColour(quad[c], colour);
        }
    }
}

}  // namespace

// ---- Passes ----

void drawOpaqueObjects(Scene* scene) {
    for (int32_t i = 0; i < scene->objectCount; ++i) {
        const SceneObject* object = &scene->objects[i];
        if (isHidden(object)) continue;
        const TextureSlot* slot = slotOf(object);
        if (!slot || slot->translucency != 0.0f) continue;
        announceDrawPass(PASS_OPAQUE, i);
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
        announceDrawPass(PASS_TRANSLUCENT, i);
        drawTranslucentObject(object);
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

void drawSpriteSets(Scene* scene, const SceneCamera* camera) {
    const int32_t setCount = std::min(scene->spriteSetCount, static_cast<int32_t>(MAX_SPRITE_SETS));
    // The camera's projection: x / -z times this is the screen position, -1 to 1 (aspect 1).
    const double fov = camera->fov;
    const double focal = fov > 0.0 && fov < 1.5 ? 1.0 / std::tan(fov) : 0.0;
    for (int32_t k = 0; k < setCount; ++k) {
        SpriteSet* set = &scene->spriteSets[k];
        announceDrawPass(PASS_SPRITES, k);
        // The timeline may change spriteCount; never step past what was allocated.
        const int32_t count =
            set->sprites ? std::min(set->spriteCount, set->spriteCapacity) : 0;
        if (set->slot) applySlotState(set->slot);
        glNormal3f(0.0f, 0.0f, 0.0f);
        SpritePieces pieces;
        planSpritePieces(set->slot, &pieces);
        bool anyInRange = false;
        Vec3 lastColour{1, 1, 1};
        beginBatch(GL_QUADS, BATCH_TEXCOORD | BATCH_COLOUR);
        for (int32_t i = 0; i < count; ++i) {
            Sprite* sprite = &set->sprites[i];
            if (set->update) set->update(sprite, set->userValue);
            eyeTransform(camera, &sprite->worldPosition, &sprite->eyePosition);
            const float z = sprite->eyePosition.z;
            if (!set->slot || !(z < nearCullZ && z > farCullZ)) continue;
            anyInRange = true;
            lastColour = sprite->colour;
            if (spriteShowsNothing(*sprite, focal)) continue;
            drawSpritePieces(*sprite, pieces, focal);
        }
        endBatch();
        // The colour and texture coordinate the last sprite in range leaves current.
        if (anyInRange) {
            glColor4f(lastColour.x, lastColour.y, lastColour.z, 1.0f);
            glTexCoord2f(0.0f, 1.0f);
        }
    }
}

// ---- Modes ----

void drawTexturedObject(const SceneObject* object) {
    const TextureSlot* slot = slotOf(object);
    if (!slot) return;
    applySlotState(slot);
    beginBatch(GL_TRIANGLES, BATCH_TEXCOORD | BATCH_COLOUR);
    const int32_t faceCount = faceCountOf(object);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p) || !inRange(p)) continue;
        DrawVertex* out = reserveBatchVertices(3);
        for (int c = 0; c < 3; ++c) {
            const Corner& corner = face.corners[c];
            out[c] = cornerVertex(p[c], corner.u, corner.v, corner.red, corner.green, corner.blue);
        }
    }
    endBatch();
}

void drawTwoPassObject(const SceneObject* object) {
    const TextureSlot* slot = slotOf(object);
    if (!slot) return;
    applySlotState(slot);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    const int32_t faceCount = faceCountOf(object);

    beginBatch(GL_TRIANGLES, BATCH_TEXCOORD);
    for (int32_t f = 0; f < faceCount; ++f) {
        const Face& face = object->faces[f];
        const Vec3* p[3];
        if (!cornerPositions(object, face, p) || !inFront(p) || !inRange(p)) continue;
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
        if (!cornerPositions(object, face, p) || !inFront(p) || !inRange(p)) continue;
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

void drawTranslucentObject(const SceneObject* object) {
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
    glColor4f(w, w, w, 1.0f);
    // Positions only: every line takes the texel at the current texture coordinate.
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
