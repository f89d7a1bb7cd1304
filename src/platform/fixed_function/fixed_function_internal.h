// What the files of the fixed-function layer tell each other: the GL state the layer keeps,
// the vertex it sends to the shader, and the draw that turns a run of vertices into pixels.
#pragma once

#include <GLES2/gl2.h>

#include "platform/fixed_function/fixed_function_gl.h"

namespace fixedgl {

// ---- The state ----

struct LayerState {
    // Capabilities.
    bool texture2D = false;
    bool blend = false;
    bool depthTest = false;
    bool cullFace = false;
    bool fog = false;
    bool lighting = false;
    bool scissorTest = false;
    // Per-fragment operations.
    GLenum blendSource = GL_ONE;
    GLenum blendDestination = GL_ZERO;
    GLenum depthFunction = GL_LESS;
    bool depthWrite = true;
    GLenum shadeModel = GL_SMOOTH;
    float lineWidth = 1.0f;
    // Fog.
    GLenum fogMode = GL_EXP;
    float fogDensity = 1.0f;
    float fogStart = 0.0f;
    float fogEnd = 1.0f;
    float fogColour[4] = {0, 0, 0, 0};
    // Texturing.
    GLuint boundTexture = 0;
    GLenum textureEnvMode = GL_MODULATE;
    // Clearing, the frame's rectangles, lists.
    float clearColour[4] = {0, 0, 0, 0};
    float clearDepth = 1.0f;
    GLint viewport[4] = {0, 0, 0, 0};
    GLint scissor[4] = {0, 0, 0, 0};
    GLuint listBase = 0;
    // The current attributes each vertex takes.
    float colour[4] = {1, 1, 1, 1};
    float texCoord[2] = {0, 0};
    float normal[3] = {0, 0, 1};
    // Pixel storage.
    GLint unpackAlignment = 4;
    GLint packAlignment = 4;
};

extern LayerState state;

// Records the first error since the last glGetError.
void recordError(GLenum error);

// Draws the vertices gathered since the last draw, if any.
void flushVertices();

// Changes a piece of state, drawing the vertices gathered under the old value first.
template <typename T, typename U>
void changeState(T& field, U value) {
    if (field == static_cast<T>(value)) return;
    flushVertices();
    field = static_cast<T>(value);
}

// ---- Vertices and drawing ----

struct Vertex {
    float position[3];
    float colour[4];
    float texCoord[2];
};

// How the fragments of a draw get their colour.
enum FragmentColour {
    FRAGMENT_VERTEX_COLOUR,     // the interpolated vertex colour
    FRAGMENT_MODULATED,         // the vertex colour times the texel
    FRAGMENT_BITMAP,            // the vertex colour where the texel is set, nothing elsewhere
};

struct DrawCall {
    const Vertex* vertices;
    int count;
    GLenum primitive;         // GL_TRIANGLES or GL_LINES
    const float* modelview;   // column-major 4 x 4
    const float* projection;
    FragmentColour colour;
    GLuint backendTexture;    // the GLES texture for FRAGMENT_MODULATED and FRAGMENT_BITMAP
    bool fog;
};

// Sets the GLES per-fragment state from the layer's (also before a clear).
void applyFragmentState();
// One draw call with the shader program, under the current per-fragment state.
void drawVertices(const DrawCall& call);

// ---- Matrices and textures ----

// The current modelview and projection matrices, column-major, as floats.
void currentMatrices(float* modelview, float* projection);
// The top of the stack GL_MODELVIEW_MATRIX or GL_PROJECTION_MATRIX names; the matrix mode.
void topMatrix(GLenum name, GLfloat* values);
GLenum currentMatrixMode();
// The GLES texture behind one of the layer's names and whether it can be sampled the way GL
// 1.1 samples it (an image at level 0, no mipmaps asked for); 0 when it cannot.
GLuint sampledTexture(GLuint name);

}  // namespace fixedgl
