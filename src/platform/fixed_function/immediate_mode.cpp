// Immediate mode over a vertex buffer. Every glVertex takes the current colour and texture
// coordinate as they stand at that moment (a colour sent once per quad, or changed between two
// vertices, lands exactly where GL puts it), completes a primitive when it has enough corners,
// and the primitive joins one fixed batch. A quad becomes the triangles (0, 1, 3) and (1, 2, 3),
// the split Mesa makes. The batch is drawn when the state changes, when it switches between
// lines and triangles, when it is full, and before anything reads or clears the frame; until
// then many glBegin/glEnd blocks drawn the same way share one draw call. The normal is kept as
// state only: lighting is never on.
#include "platform/fixed_function/fixed_function_internal.h"

namespace fixedgl {

namespace {

// Room for 8192 quads; always a multiple of both primitive sizes of the batch (6 and 2).
constexpr int BATCH_VERTICES = 49152;

Vertex batch[BATCH_VERTICES];
int batchCount = 0;
GLenum batchPrimitive = GL_TRIANGLES;

// The primitive being assembled inside glBegin/glEnd.
bool insideBegin = false;
GLenum beginMode = GL_TRIANGLES;
Vertex corners[4];
int cornerCount = 0;

int cornersPerPrimitive(GLenum mode) {
    switch (mode) {
        case GL_LINES: return 2;
        case GL_TRIANGLES: return 3;
        case GL_QUADS: return 4;
        default: return 0;
    }
}

void append(const Vertex& v) { batch[batchCount++] = v; }

// Moves the finished primitive into the batch, drawing the batch first when it has no room.
void emitPrimitive() {
    const int needed = beginMode == GL_QUADS ? 6 : cornerCount;
    if (batchCount + needed > BATCH_VERTICES) flushVertices();
    if (beginMode == GL_QUADS) {
        append(corners[0]);
        append(corners[1]);
        append(corners[3]);
        append(corners[1]);
        append(corners[2]);
        append(corners[3]);
    } else {
        for (int i = 0; i < cornerCount; ++i) append(corners[i]);
    }
    cornerCount = 0;
}

}  // namespace

void flushVertices() {
    if (batchCount == 0) return;
    float modelview[16], projection[16];
    currentMatrices(modelview, projection);
    const GLuint texture = state.texture2D ? sampledTexture(state.boundTexture) : 0;
    DrawCall call{batch,      batchCount, batchPrimitive,
                  modelview,  projection, texture ? FRAGMENT_MODULATED : FRAGMENT_VERTEX_COLOUR,
                  texture,    state.fog};
    drawVertices(call);
    batchCount = 0;
}

void glBegin(GLenum mode) {
    if (insideBegin) return recordError(GL_INVALID_OPERATION);
    if (cornersPerPrimitive(mode) == 0) return recordError(GL_INVALID_ENUM);
    const GLenum primitive = mode == GL_LINES ? GL_LINES : GL_TRIANGLES;
    if (primitive != batchPrimitive) flushVertices();
    batchPrimitive = primitive;
    beginMode = mode;
    cornerCount = 0;
    insideBegin = true;
}

void glEnd() {
    if (!insideBegin) return recordError(GL_INVALID_OPERATION);
    // An unfinished primitive is dropped, as GL drops it.
    cornerCount = 0;
    insideBegin = false;
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (!insideBegin) return;  // a vertex outside glBegin/glEnd draws nothing
    Vertex& v = corners[cornerCount++];
    v = Vertex{{x, y, z},
               {state.colour[0], state.colour[1], state.colour[2], state.colour[3]},
               {state.texCoord[0], state.texCoord[1]}};
    if (cornerCount == cornersPerPrimitive(beginMode)) emitPrimitive();
}

void glVertex2f(GLfloat x, GLfloat y) { glVertex3f(x, y, 0.0f); }

void glTexCoord2f(GLfloat s, GLfloat t) {
    state.texCoord[0] = s;
    state.texCoord[1] = t;
}

void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    state.colour[0] = red;
    state.colour[1] = green;
    state.colour[2] = blue;
    state.colour[3] = alpha;
}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) { glColor4f(red, green, blue, 1.0f); }

void glNormal3f(GLfloat x, GLfloat y, GLfloat z) {
    state.normal[0] = x;
    state.normal[1] = y;
    state.normal[2] = z;
}

// ---- Client vertex arrays ----

namespace {

struct ClientArray {
    bool enabled;
    GLint size;
    GLsizei stride;  // in bytes, never 0 once set
    const unsigned char* pointer;
};

ClientArray vertexArray{false, 3, 3 * sizeof(float), nullptr};
ClientArray colourArray{false, 4, 4 * sizeof(float), nullptr};
ClientArray texCoordArray{false, 2, 2 * sizeof(float), nullptr};

ClientArray* clientArray(GLenum array) {
    switch (array) {
        case GL_VERTEX_ARRAY: return &vertexArray;
        case GL_COLOR_ARRAY: return &colourArray;
        case GL_TEXTURE_COORD_ARRAY: return &texCoordArray;
        default: return nullptr;
    }
}

void setPointer(ClientArray& array, GLint wantedSize, GLint size, GLenum type, GLsizei stride,
                const GLvoid* pointer) {
    if (type != GL_FLOAT) return recordError(GL_INVALID_ENUM);
    if (size != wantedSize || stride < 0) return recordError(GL_INVALID_VALUE);
    array.size = size;
    array.stride = stride != 0 ? stride : static_cast<GLsizei>(size * sizeof(float));
    array.pointer = static_cast<const unsigned char*>(pointer);
}

const float* element(const ClientArray& array, GLint index) {
    return reinterpret_cast<const float*>(array.pointer + static_cast<size_t>(index) * array.stride);
}

}  // namespace

void glEnableClientState(GLenum array) {
    ClientArray* a = clientArray(array);
    if (!a) return recordError(GL_INVALID_ENUM);
    a->enabled = true;
}

void glDisableClientState(GLenum array) {
    ClientArray* a = clientArray(array);
    if (!a) return recordError(GL_INVALID_ENUM);
    a->enabled = false;
}

void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    setPointer(vertexArray, 3, size, type, stride, pointer);
}

void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    setPointer(colourArray, 4, size, type, stride, pointer);
}

void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer) {
    setPointer(texCoordArray, 2, size, type, stride, pointer);
}

void glDrawArrays(GLenum mode, GLint first, GLsizei count) {
    if (first < 0 || count < 0) return recordError(GL_INVALID_VALUE);
    if (insideBegin) return recordError(GL_INVALID_OPERATION);
    if (!vertexArray.enabled || !vertexArray.pointer || count == 0) return;
    glBegin(mode);
    if (!insideBegin) return;  // a mode the layer does not draw, recorded by glBegin
    for (GLint i = first; i < first + count; ++i) {
        if (colourArray.enabled && colourArray.pointer) {
            const float* c = element(colourArray, i);
            glColor4f(c[0], c[1], c[2], c[3]);
        }
        if (texCoordArray.enabled && texCoordArray.pointer) {
            const float* t = element(texCoordArray, i);
            glTexCoord2f(t[0], t[1]);
        }
        const float* v = element(vertexArray, i);
        glVertex3f(v[0], v[1], v[2]);
    }
    glEnd();
}

}  // namespace fixedgl
