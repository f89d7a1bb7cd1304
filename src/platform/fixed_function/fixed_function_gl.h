// The OpenGL 1.1 the demo draws with, as a layer of our own over OpenGL ES 2 (WebGL in a
// browser, Mesa natively). It keeps the fixed-function state (matrix stacks, current colour,
// texture coordinate and normal, fog, texture environment, enables, the attribute stack) on
// the CPU, gathers glBegin/glEnd vertices into one fixed buffer, and draws that buffer with one
// shader program when the state changes or the frame ends. Each vertex takes the current
// attributes at the moment it is sent, as in GL, however they change inside one glBegin.
// Bitmaps in display lists (the font) become small textures drawn as quads at the raster
// position. Only the subset the demo uses is here; a value outside it is refused with
// GL_INVALID_ENUM and changes nothing. The functions keep GL's names in namespace fixedgl, so
// that the drawing code compiles unchanged against either GL (see platform/opengl.h).
#pragma once

#include <cstddef>

typedef unsigned int GLenum;
typedef unsigned char GLboolean;
typedef unsigned int GLbitfield;
typedef void GLvoid;
typedef int GLint;
typedef int GLsizei;
typedef unsigned int GLuint;
typedef unsigned char GLubyte;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;

// The values are GL's own, spelt as the GLES 2 header spells them, so that a file may include
// both.
#define GL_FALSE 0
#define GL_TRUE 1
// Errors
#define GL_NO_ERROR 0
#define GL_INVALID_ENUM 0x0500
#define GL_INVALID_VALUE 0x0501
#define GL_INVALID_OPERATION 0x0502
#define GL_OUT_OF_MEMORY 0x0505
#define GL_STACK_OVERFLOW 0x0503
#define GL_STACK_UNDERFLOW 0x0504
// Primitives
#define GL_LINES 0x0001
#define GL_TRIANGLES 0x0004
#define GL_QUADS 0x0007
// Capabilities
#define GL_CULL_FACE 0x0B44
#define GL_DEPTH_TEST 0x0B71
#define GL_BLEND 0x0BE2
#define GL_SCISSOR_TEST 0x0C11
#define GL_TEXTURE_2D 0x0DE1
#define GL_LIGHTING 0x0B50
#define GL_FOG 0x0B60
// Depth functions
#define GL_NEVER 0x0200
#define GL_LESS 0x0201
#define GL_EQUAL 0x0202
#define GL_LEQUAL 0x0203
#define GL_GREATER 0x0204
#define GL_NOTEQUAL 0x0205
#define GL_GEQUAL 0x0206
#define GL_ALWAYS 0x0207
// Blend factors
#define GL_ZERO 0
#define GL_ONE 1
#define GL_SRC_COLOR 0x0300
#define GL_ONE_MINUS_SRC_COLOR 0x0301
#define GL_SRC_ALPHA 0x0302
#define GL_ONE_MINUS_SRC_ALPHA 0x0303
#define GL_DST_ALPHA 0x0304
#define GL_ONE_MINUS_DST_ALPHA 0x0305
#define GL_DST_COLOR 0x0306
#define GL_ONE_MINUS_DST_COLOR 0x0307
// Buffers to clear, and attribute groups to push
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_COLOR_BUFFER_BIT 0x00004000
#define GL_LIGHTING_BIT 0x00000040
#define GL_FOG_BIT 0x00000080
#define GL_ENABLE_BIT 0x00002000
#define GL_LIST_BIT 0x00020000
#define GL_TEXTURE_BIT 0x00040000
// Matrices
#define GL_MATRIX_MODE 0x0BA0
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7
// Shading, fog and the texture environment
#define GL_FLAT 0x1D00
#define GL_SMOOTH 0x1D01
#define GL_FOG_DENSITY 0x0B62
#define GL_FOG_START 0x0B63
#define GL_FOG_END 0x0B64
#define GL_FOG_MODE 0x0B65
#define GL_FOG_COLOR 0x0B66
#define GL_EXP 0x0800
#define GL_EXP2 0x0801
#define GL_TEXTURE_ENV 0x2300
#define GL_TEXTURE_ENV_MODE 0x2200
#define GL_MODULATE 0x2100
#define GL_REPLACE 0x1E01
#define GL_CURRENT_COLOR 0x0B00
// Textures and pixels
#define GL_NEAREST 0x2600
#define GL_LINEAR 0x2601
#define GL_NEAREST_MIPMAP_NEAREST 0x2700
#define GL_LINEAR_MIPMAP_NEAREST 0x2701
#define GL_NEAREST_MIPMAP_LINEAR 0x2702
#define GL_LINEAR_MIPMAP_LINEAR 0x2703
#define GL_TEXTURE_MAG_FILTER 0x2800
#define GL_TEXTURE_MIN_FILTER 0x2801
#define GL_TEXTURE_WRAP_S 0x2802
#define GL_TEXTURE_WRAP_T 0x2803
#define GL_REPEAT 0x2901
#define GL_CLAMP_TO_EDGE 0x812F
#define GL_UNPACK_ALIGNMENT 0x0CF5
#define GL_PACK_ALIGNMENT 0x0D05
#define GL_UNSIGNED_BYTE 0x1401
#define GL_ALPHA 0x1906
#define GL_RGB 0x1907
#define GL_RGBA 0x1908
#define GL_LUMINANCE 0x1909
#define GL_CLAMP 0x2900
#define GL_TEXTURE_BINDING_2D 0x8069
// Display lists
#define GL_COMPILE 0x1300
#define GL_LIST_BASE 0x0B32
// Queries
#define GL_VIEWPORT 0x0BA2
#define GL_MAX_TEXTURE_SIZE 0x0D33
#define GL_VENDOR 0x1F00
#define GL_RENDERER 0x1F01
#define GL_VERSION 0x1F02
#define GL_EXTENSIONS 0x1F03
#define GL_DEPTH_FUNC 0x0B74
#define GL_DEPTH_WRITEMASK 0x0B72
#define GL_BLEND_SRC 0x0BE1
#define GL_BLEND_DST 0x0BE0
#define GL_SCISSOR_BOX 0x0C10
#define GL_COLOR_CLEAR_VALUE 0x0C22
#define GL_LINE_WIDTH 0x0B21
#define GL_FLOAT 0x1406
#define GL_VERTEX_ARRAY 0x8074
#define GL_COLOR_ARRAY 0x8076
#define GL_TEXTURE_COORD_ARRAY 0x8078
#define GL_TEXTURE_WIDTH 0x1000
#define GL_TEXTURE_HEIGHT 0x1001

namespace fixedgl {

// ---- Capabilities and per-fragment state ----

void glEnable(GLenum capability);
void glDisable(GLenum capability);
GLboolean glIsEnabled(GLenum capability);
void glBlendFunc(GLenum source, GLenum destination);
void glDepthFunc(GLenum function);
void glDepthMask(GLboolean write);
void glShadeModel(GLenum mode);
// Widths the backend cannot draw become the nearest it can (WebGL often draws only 1).
void glLineWidth(GLfloat width);
void glScissor(GLint x, GLint y, GLsizei width, GLsizei height);
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);

// ---- Clearing, finishing and reading the frame ----

void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void glClearDepth(GLclampd depth);
void glClear(GLbitfield buffers);
void glFlush();
void glFinish();
// Reads GL_RGB or GL_RGBA bytes, rows padded to the pack alignment, first row at the bottom.
void glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                  GLvoid* pixels);

// ---- Immediate mode and the current attributes ----

// GL_TRIANGLES, GL_QUADS or GL_LINES.
void glBegin(GLenum mode);
void glEnd();
void glVertex2f(GLfloat x, GLfloat y);
void glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void glTexCoord2f(GLfloat s, GLfloat t);
void glColor3f(GLfloat red, GLfloat green, GLfloat blue);
void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void glNormal3f(GLfloat x, GLfloat y, GLfloat z);

// ---- Client vertex arrays ----

// GL_VERTEX_ARRAY, GL_COLOR_ARRAY or GL_TEXTURE_COORD_ARRAY.
void glEnableClientState(GLenum array);
void glDisableClientState(GLenum array);
// GL_FLOAT arrays: 3 coordinates a vertex, 4 colour components, 2 texture coordinates.
void glVertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void glColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void glTexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
// Sends vertices first to first + count - 1 as glBegin(mode), glColor4fv and glTexCoord2fv
// from the enabled arrays, glVertex3fv and glEnd would; the current colour and texture
// coordinate are those of the last vertex afterwards.
void glDrawArrays(GLenum mode, GLint first, GLsizei count);

// ---- Matrices ----

// GL_MODELVIEW or GL_PROJECTION.
void glMatrixMode(GLenum mode);
void glLoadIdentity();
void glPushMatrix();
void glPopMatrix();
void glMultMatrixd(const GLdouble* matrix);
void glOrtho(GLdouble left, GLdouble right, GLdouble bottom, GLdouble top, GLdouble zNear,
             GLdouble zFar);
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);

// ---- Fog and the texture environment ----

void glFogf(GLenum name, GLfloat value);
void glFogi(GLenum name, GLint value);
void glFogfv(GLenum name, const GLfloat* values);
// GL_TEXTURE_ENV_MODE GL_MODULATE: the texel times the colour, the one environment here.
void glTexEnvi(GLenum target, GLenum name, GLint value);

// ---- Textures ----

void glGenTextures(GLsizei count, GLuint* names);
void glDeleteTextures(GLsizei count, const GLuint* names);
void glBindTexture(GLenum target, GLuint name);
void glTexParameteri(GLenum target, GLenum name, GLint value);
// Internal formats 3, 4, GL_RGB, GL_RGBA and GL_LUMINANCE; the data as unsigned bytes in the
// same format (GL_RGB, GL_RGBA or GL_LUMINANCE).
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                  GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels);
// Level 0 of a texture that has an image, in the format it was made with.
void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                     GLenum format, GLenum type, const GLvoid* pixels);
// GL_TEXTURE_WIDTH or GL_TEXTURE_HEIGHT of the bound texture; 0 for a level with no image.
void glGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value);
void glPixelStorei(GLenum name, GLint value);

// ---- The attribute stack ----

// Saves the groups GL_TEXTURE_BIT, GL_DEPTH_BUFFER_BIT, GL_LIGHTING_BIT, GL_FOG_BIT,
// GL_ENABLE_BIT, GL_COLOR_BUFFER_BIT and GL_LIST_BIT; glPopAttrib restores what was saved.
void glPushAttrib(GLbitfield groups);
void glPopAttrib();

// ---- Display lists, the raster position and bitmaps ----

// A list holds the bitmaps compiled into it (the only command lists keep here).
GLuint glGenLists(GLsizei range);
void glDeleteLists(GLuint first, GLsizei range);
void glNewList(GLuint list, GLenum mode);
void glEndList();
void glListBase(GLuint base);
// Names of type GL_UNSIGNED_BYTE, each added to the list base.
void glCallLists(GLsizei count, GLenum type, const GLvoid* names);
void glRasterPos2f(GLfloat x, GLfloat y);
// Rows of width bits, most significant bit first, padded to the unpack alignment. The set
// bits are drawn in the raster colour; texturing and fog do not touch them.
void glBitmap(GLsizei width, GLsizei height, GLfloat xOrigin, GLfloat yOrigin, GLfloat xMove,
              GLfloat yMove, const GLubyte* bits);

// ---- Queries ----

const GLubyte* glGetString(GLenum name);
void glGetIntegerv(GLenum name, GLint* values);
void glGetFloatv(GLenum name, GLfloat* values);
GLenum glGetError();

}  // namespace fixedgl
