// The modelview and projection matrix stacks, in double precision and column-major like GL's,
// with GL's depths (32 and 4 entries; a push past the top or a pop of the last entry is
// refused with a stack error). gluPerspective is GLU's: it leaves the matrix alone for a zero
// depth range, field of view or aspect. Any change draws the vertices gathered so far first,
// since the shader takes the matrices with the draw.
#include <cmath>
#include <cstring>

#include "platform/fixed_function/fixed_function_internal.h"

namespace fixedgl {

namespace {

constexpr int MODELVIEW_DEPTH = 32;
constexpr int PROJECTION_DEPTH = 4;

struct Matrix {
    double m[16];
};

constexpr Matrix IDENTITY = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

struct MatrixStack {
    Matrix entries[MODELVIEW_DEPTH];
    int depth;  // entries in use; the top is entries[depth - 1]
    int capacity;
};

MatrixStack modelviewStack{{IDENTITY}, 1, MODELVIEW_DEPTH};
MatrixStack projectionStack{{IDENTITY}, 1, PROJECTION_DEPTH};
GLenum matrixMode = GL_MODELVIEW;

MatrixStack& currentStack() {
    return matrixMode == GL_PROJECTION ? projectionStack : modelviewStack;
}

Matrix& topOfStack() {
    MatrixStack& stack = currentStack();
    return stack.entries[stack.depth - 1];
}

void toFloats(const Matrix& matrix, float* out) {
    for (int i = 0; i < 16; ++i) out[i] = static_cast<float>(matrix.m[i]);
}

}  // namespace

void currentMatrices(float* modelview, float* projection) {
    toFloats(modelviewStack.entries[modelviewStack.depth - 1], modelview);
    toFloats(projectionStack.entries[projectionStack.depth - 1], projection);
}

void glMatrixMode(GLenum mode) {
    if (mode != GL_MODELVIEW && mode != GL_PROJECTION) return recordError(GL_INVALID_ENUM);
    matrixMode = mode;
}

void glLoadIdentity() {
    flushVertices();
    topOfStack() = IDENTITY;
}

void glPushMatrix() {
    MatrixStack& stack = currentStack();
    if (stack.depth == stack.capacity) return recordError(GL_STACK_OVERFLOW);
    stack.entries[stack.depth] = stack.entries[stack.depth - 1];
    ++stack.depth;
}

void glPopMatrix() {
    MatrixStack& stack = currentStack();
    if (stack.depth == 1) return recordError(GL_STACK_UNDERFLOW);
    flushVertices();
    --stack.depth;
}

void glMultMatrixd(const GLdouble* matrix) {
    flushVertices();
    const Matrix a = topOfStack();
    Matrix& out = topOfStack();
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            double sum = 0.0;
            for (int k = 0; k < 4; ++k) sum += a.m[k * 4 + row] * matrix[column * 4 + k];
            out.m[column * 4 + row] = sum;
        }
}

void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top,
             GLdouble zNear, GLdouble zFar) {
    if (left == right || bottom == top || zNear == zFar) return recordError(GL_INVALID_VALUE);
    const double m[16] = {2.0 / (right - left), 0, 0, 0,
                          0, 2.0 / (top - bottom), 0, 0,
                          0, 0, -2.0 / (zFar - zNear), 0,
                          -(right + left) / (right - left), -(top + bottom) / (top - bottom),
                          -(zFar + zNear) / (zFar - zNear), 1};
    glMultMatrixd(m);
}

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    const double radians = fovy / 2.0 * 3.14159265358979323846 / 180.0;
    const double deltaZ = zFar - zNear;
    const double sine = std::sin(radians);
    if (deltaZ == 0.0 || sine == 0.0 || aspect == 0.0) return;
    const double cotangent = std::cos(radians) / sine;
    const double m[16] = {cotangent / aspect, 0, 0, 0,
                          0, cotangent, 0, 0,
                          0, 0, -(zFar + zNear) / deltaZ, -1,
                          0, 0, -2.0 * zNear * zFar / deltaZ, 0};
    glMultMatrixd(m);
}

void topMatrix(GLenum name, GLfloat* values) {
    const MatrixStack& stack = name == GL_PROJECTION_MATRIX ? projectionStack : modelviewStack;
    toFloats(stack.entries[stack.depth - 1], values);
}

GLenum currentMatrixMode() { return matrixMode; }

}  // namespace fixedgl
