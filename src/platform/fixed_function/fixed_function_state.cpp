// The fixed-function state: capabilities, the per-fragment operations, fog and the texture
// environment, clearing, the attribute stack, and the queries. The layer holds all of it and
// hands the GLES backend only what a draw or a clear needs, when it happens; any change draws
// the vertices gathered under the old state first. Lighting is not part of the layer: it may
// be disabled (and is, by default), but enabling it is refused.
#include <cstdio>
#include <cstring>

#include "platform/fixed_function/fixed_function_internal.h"

namespace fixedgl {

LayerState state;

namespace {

constexpr int ATTRIBUTE_STACK_DEPTH = 16;

struct SavedAttributes {
    GLbitfield groups;
    LayerState values;
};

SavedAttributes attributeStack[ATTRIBUTE_STACK_DEPTH];
int attributeDepth = 0;
GLenum firstError = GL_NO_ERROR;

// Where a capability lives in the state; null for one the layer does not know.
bool* capabilityFlag(GLenum capability) {
    switch (capability) {
        case GL_TEXTURE_2D: return &state.texture2D;
        case GL_BLEND: return &state.blend;
        case GL_DEPTH_TEST: return &state.depthTest;
        case GL_CULL_FACE: return &state.cullFace;
        case GL_FOG: return &state.fog;
        case GL_LIGHTING: return &state.lighting;
        case GL_SCISSOR_TEST: return &state.scissorTest;
        default: return nullptr;
    }
}

bool validDepthFunction(GLenum function) { return function >= GL_NEVER && function <= GL_ALWAYS; }

bool validBlendFactor(GLenum factor) {
    return factor == GL_ZERO || factor == GL_ONE ||
           (factor >= GL_SRC_COLOR && factor <= GL_ONE_MINUS_DST_COLOR);
}

float clampUnit(float x) { return x < 0.0f ? 0.0f : (x > 1.0f ? 1.0f : x); }

// Copies the groups of `from` named in `groups` into the current state.
void restoreGroups(GLbitfield groups, const LayerState& from) {
    LayerState& to = state;
    if (groups & (GL_ENABLE_BIT | GL_TEXTURE_BIT)) to.texture2D = from.texture2D;
    if (groups & (GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT)) to.blend = from.blend;
    if (groups & (GL_ENABLE_BIT | GL_DEPTH_BUFFER_BIT)) to.depthTest = from.depthTest;
    if (groups & (GL_ENABLE_BIT | GL_FOG_BIT)) to.fog = from.fog;
    if (groups & (GL_ENABLE_BIT | GL_LIGHTING_BIT)) to.lighting = from.lighting;
    if (groups & GL_ENABLE_BIT) {
        to.cullFace = from.cullFace;
        to.scissorTest = from.scissorTest;
    }
    if (groups & GL_TEXTURE_BIT) {
        to.boundTexture = from.boundTexture;
        to.textureEnvMode = from.textureEnvMode;
    }
    if (groups & GL_DEPTH_BUFFER_BIT) {
        to.depthFunction = from.depthFunction;
        to.depthWrite = from.depthWrite;
        to.clearDepth = from.clearDepth;
    }
    if (groups & GL_LIGHTING_BIT) to.shadeModel = from.shadeModel;
    if (groups & GL_FOG_BIT) {
        to.fogMode = from.fogMode;
        to.fogDensity = from.fogDensity;
        to.fogStart = from.fogStart;
        to.fogEnd = from.fogEnd;
        std::memcpy(to.fogColour, from.fogColour, sizeof to.fogColour);
    }
    if (groups & GL_COLOR_BUFFER_BIT) {
        to.blendSource = from.blendSource;
        to.blendDestination = from.blendDestination;
        std::memcpy(to.clearColour, from.clearColour, sizeof to.clearColour);
    }
    if (groups & GL_LIST_BIT) to.listBase = from.listBase;
}

}  // namespace

void recordError(GLenum error) {
    if (firstError == GL_NO_ERROR) firstError = error;
}

// ---- Capabilities and per-fragment state ----

void glEnable(GLenum capability) {
    bool* flag = capabilityFlag(capability);
    if (!flag || capability == GL_LIGHTING) return recordError(GL_INVALID_ENUM);
    changeState(*flag, true);
}

void glDisable(GLenum capability) {
    bool* flag = capabilityFlag(capability);
    if (!flag) return recordError(GL_INVALID_ENUM);
    changeState(*flag, false);
}

GLboolean glIsEnabled(GLenum capability) {
    bool* flag = capabilityFlag(capability);
    if (!flag) {
        recordError(GL_INVALID_ENUM);
        return GL_FALSE;
    }
    return *flag ? GL_TRUE : GL_FALSE;
}

void glBlendFunc(GLenum source, GLenum destination) {
    if (!validBlendFactor(source) || !validBlendFactor(destination))
        return recordError(GL_INVALID_ENUM);
    changeState(state.blendSource, source);
    changeState(state.blendDestination, destination);
}

void glDepthFunc(GLenum function) {
    if (!validDepthFunction(function)) return recordError(GL_INVALID_ENUM);
    changeState(state.depthFunction, function);
}

void glDepthMask(GLboolean write) { changeState(state.depthWrite, write != GL_FALSE); }

void glShadeModel(GLenum mode) {
    // Smooth shading only: the shader interpolates every colour.
    if (mode != GL_SMOOTH) return recordError(GL_INVALID_ENUM);
    state.shadeModel = mode;
}

void glLineWidth(GLfloat width) {
    if (!(width > 0.0f)) return recordError(GL_INVALID_VALUE);
    changeState(state.lineWidth, width);
}

void glScissor(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (width < 0 || height < 0) return recordError(GL_INVALID_VALUE);
    flushVertices();
    const GLint box[4] = {x, y, width, height};
    std::memcpy(state.scissor, box, sizeof box);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    if (width < 0 || height < 0) return recordError(GL_INVALID_VALUE);
    flushVertices();
    const GLint box[4] = {x, y, width, height};
    std::memcpy(state.viewport, box, sizeof box);
}

// ---- Fog and the texture environment ----

void glFogf(GLenum name, GLfloat value) {
    switch (name) {
        case GL_FOG_DENSITY:
            if (value < 0.0f) return recordError(GL_INVALID_VALUE);
            return changeState(state.fogDensity, value);
        case GL_FOG_START: return changeState(state.fogStart, value);
        case GL_FOG_END: return changeState(state.fogEnd, value);
        case GL_FOG_MODE: return glFogi(name, static_cast<GLint>(value));
        default: return recordError(GL_INVALID_ENUM);
    }
}

void glFogi(GLenum name, GLint value) {
    if (name != GL_FOG_MODE) return glFogf(name, static_cast<GLfloat>(value));
    if (value != GL_EXP && value != GL_EXP2 && value != GL_LINEAR)
        return recordError(GL_INVALID_ENUM);
    changeState(state.fogMode, static_cast<GLenum>(value));
}

void glFogfv(GLenum name, const GLfloat* values) {
    if (name != GL_FOG_COLOR) return glFogf(name, values[0]);
    flushVertices();
    for (int i = 0; i < 4; ++i) state.fogColour[i] = clampUnit(values[i]);
}

void glTexEnvi(GLenum target, GLenum name, GLint value) {
    if (target != GL_TEXTURE_ENV || name != GL_TEXTURE_ENV_MODE || value != GL_MODULATE)
        return recordError(GL_INVALID_ENUM);
    state.textureEnvMode = GL_MODULATE;
}

// ---- Clearing, finishing and reading the frame ----

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha) {
    const float colour[4] = {clampUnit(red), clampUnit(green), clampUnit(blue), clampUnit(alpha)};
    std::memcpy(state.clearColour, colour, sizeof colour);
}

void glClearDepth(GLclampd depth) { state.clearDepth = clampUnit(static_cast<float>(depth)); }

void glClear(GLbitfield buffers) {
    if (buffers & ~static_cast<GLbitfield>(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT))
        return recordError(GL_INVALID_VALUE);
    flushVertices();
    applyFragmentState();
    ::glClearColor(state.clearColour[0], state.clearColour[1], state.clearColour[2],
                   state.clearColour[3]);
    ::glClearDepthf(state.clearDepth);
    ::glClear(buffers);
}

void glFlush() {
    flushVertices();
    ::glFlush();
}

void glFinish() {
    flushVertices();
    ::glFinish();
}

void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels) {
    if ((format != GL_RGB && format != GL_RGBA) || type != GL_UNSIGNED_BYTE)
        return recordError(GL_INVALID_ENUM);
    if (width < 0 || height < 0) return recordError(GL_INVALID_VALUE);
    flushVertices();
    // GLES reads RGBA bytes for certain; a row at a time, packed into the asked layout.
    constexpr GLsizei CHUNK = 4096;
    static GLubyte rgba[CHUNK * 4];
    const int channels = format == GL_RGB ? 3 : 4;
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    const size_t stride = (rowBytes + state.packAlignment - 1) / state.packAlignment *
                          state.packAlignment;
    ::glPixelStorei(GL_PACK_ALIGNMENT, 4);
    for (GLsizei row = 0; row < height; ++row) {
        GLubyte* out = static_cast<GLubyte*>(pixels) + stride * row;
        for (GLsizei first = 0; first < width; first += CHUNK) {
            const GLsizei count = width - first < CHUNK ? width - first : CHUNK;
            ::glReadPixels(x + first, y + row, count, 1, GL_RGBA, GL_UNSIGNED_BYTE, rgba);
            for (GLsizei i = 0; i < count; ++i)
                std::memcpy(out + static_cast<size_t>(first + i) * channels, rgba + i * 4,
                            channels);
        }
    }
}

// ---- The attribute stack ----

void glPushAttrib(GLbitfield groups) {
    if (attributeDepth == ATTRIBUTE_STACK_DEPTH) return recordError(GL_STACK_OVERFLOW);
    attributeStack[attributeDepth++] = SavedAttributes{groups, state};
}

void glPopAttrib() {
    if (attributeDepth == 0) return recordError(GL_STACK_UNDERFLOW);
    flushVertices();
    const SavedAttributes& saved = attributeStack[--attributeDepth];
    restoreGroups(saved.groups, saved.values);
}

// ---- Queries ----

const GLubyte* glGetString(GLenum name) {
    static char version[256];
    static char extensions[64];
    switch (name) {
        case GL_VENDOR:
        case GL_RENDERER: return ::glGetString(name);
        case GL_VERSION: {
            const GLubyte* backend = ::glGetString(GL_VERSION);
            std::snprintf(version, sizeof version, "1.1 (fixed-function layer over %s)",
                          backend ? reinterpret_cast<const char*>(backend) : "no context");
            return reinterpret_cast<const GLubyte*>(version);
        }
        case GL_EXTENSIONS: {
            // More than one texture unit is multitexturing, whatever the backend calls it.
            GLint units = 0;
            ::glGetIntegerv(GL_MAX_TEXTURE_IMAGE_UNITS, &units);
            std::snprintf(extensions, sizeof extensions, "%s",
                          units >= 2 ? "GL_ARB_multitexture" : "");
            return reinterpret_cast<const GLubyte*>(extensions);
        }
        default: recordError(GL_INVALID_ENUM); return nullptr;
    }
}

void glGetIntegerv(GLenum name, GLint* values) {
    switch (name) {
        case GL_MAX_TEXTURE_SIZE: ::glGetIntegerv(name, values); return;
        case GL_VIEWPORT: std::memcpy(values, state.viewport, sizeof state.viewport); return;
        case GL_SCISSOR_BOX: std::memcpy(values, state.scissor, sizeof state.scissor); return;
        case GL_MATRIX_MODE: *values = static_cast<GLint>(currentMatrixMode()); return;
        case GL_DEPTH_FUNC: *values = static_cast<GLint>(state.depthFunction); return;
        case GL_DEPTH_WRITEMASK: *values = state.depthWrite ? 1 : 0; return;
        case GL_BLEND_SRC: *values = static_cast<GLint>(state.blendSource); return;
        case GL_BLEND_DST: *values = static_cast<GLint>(state.blendDestination); return;
        case GL_TEXTURE_BINDING_2D: *values = static_cast<GLint>(state.boundTexture); return;
        case GL_LIST_BASE: *values = static_cast<GLint>(state.listBase); return;
        default: recordError(GL_INVALID_ENUM);
    }
}

void glGetFloatv(GLenum name, GLfloat* values) {
    switch (name) {
        case GL_CURRENT_COLOR: std::memcpy(values, state.colour, sizeof state.colour); return;
        case GL_FOG_DENSITY: *values = state.fogDensity; return;
        case GL_LINE_WIDTH: *values = state.lineWidth; return;
        case GL_COLOR_CLEAR_VALUE:
            std::memcpy(values, state.clearColour, sizeof state.clearColour);
            return;
        case GL_FOG_COLOR: std::memcpy(values, state.fogColour, sizeof state.fogColour); return;
        case GL_MODELVIEW_MATRIX:
        case GL_PROJECTION_MATRIX: topMatrix(name, values); return;
        default: recordError(GL_INVALID_ENUM);
    }
}

GLenum glGetError() {
    const GLenum error = firstError != GL_NO_ERROR ? firstError : ::glGetError();
    firstError = GL_NO_ERROR;
    return error;
}

}  // namespace fixedgl
