// Pictures drawn smaller than the page's canvas. A frame drawn smaller goes into a WebGL
// framebuffer of the picture's size (a colour texture and a depth buffer); at its end the
// texture is drawn over the canvas's picture rectangle with linear filtering, after the canvas
// is cleared to black (the bars), by a little shader program of its own. At the canvas's own
// size the frame is drawn into the canvas itself, with its multisampling, as ever. The
// fixed-function layer sets all the state it draws with before every draw, so only what it
// still holds has to be sent before the framebuffer changes.
#include <GLES2/gl2.h>

#include <algorithm>

#include "platform/fixed_function/fixed_function_gl.h"
#include "platform/platform.h"

namespace {

GLuint framebuffer = 0, colour = 0, depth = 0;
GLuint program = 0, corners = 0;
int pictureWidth = 0, pictureHeight = 0;
bool failed = false;

const char* const VERTEX_SHADER = R"(
attribute vec2 corner;
varying vec2 place;
void main() {
    place = corner * 0.5 + 0.5;
    gl_Position = vec4(corner, 0.0, 1.0);
}
)";

const char* const FRAGMENT_SHADER = R"(
precision mediump float;
uniform sampler2D picture;
varying vec2 place;
void main() { gl_FragColor = vec4(texture2D(picture, place).rgb, 1.0); }
)";

GLuint compiled(GLenum kind, const char* source) {
    const GLuint shader = ::glCreateShader(kind);
    ::glShaderSource(shader, 1, &source, nullptr);
    ::glCompileShader(shader);
    GLint ok = 0;
    ::glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    return ok ? shader : 0;
}

bool makeProgram() {
    const GLuint vertex = compiled(GL_VERTEX_SHADER, VERTEX_SHADER);
    const GLuint fragment = compiled(GL_FRAGMENT_SHADER, FRAGMENT_SHADER);
    if (!vertex || !fragment) return false;
    program = ::glCreateProgram();
    ::glAttachShader(program, vertex);
    ::glAttachShader(program, fragment);
    ::glBindAttribLocation(program, 0, "corner");
    ::glLinkProgram(program);
    GLint ok = 0;
    ::glGetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) return false;
    const GLfloat square[8] = {-1, -1, 1, -1, -1, 1, 1, 1};
    ::glGenBuffers(1, &corners);
    ::glBindBuffer(GL_ARRAY_BUFFER, corners);
    ::glBufferData(GL_ARRAY_BUFFER, sizeof square, square, GL_STATIC_DRAW);
    return true;
}

void releasePicture() {
    if (framebuffer) ::glDeleteFramebuffers(1, &framebuffer);
    if (colour) ::glDeleteTextures(1, &colour);
    if (depth) ::glDeleteRenderbuffers(1, &depth);
    framebuffer = colour = depth = 0;
    pictureWidth = pictureHeight = 0;
}

bool makePicture(int width, int height) {
    releasePicture();
    ::glGenTextures(1, &colour);
    ::glBindTexture(GL_TEXTURE_2D, colour);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    ::glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    ::glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                   nullptr);
    ::glGenRenderbuffers(1, &depth);
    ::glBindRenderbuffer(GL_RENDERBUFFER, depth);
    ::glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
    ::glGenFramebuffers(1, &framebuffer);
    ::glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    ::glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, colour, 0);
    ::glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depth);
    const bool complete = ::glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    ::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) {
        releasePicture();
        return false;
    }
    pictureWidth = width;
    pictureHeight = height;
    return true;
}

// The height of the largest 4:3 picture the canvas holds.
int canvasPictureHeight() {
    int width = 0, height = 0;
    platformClientSize(&width, &height);
    return std::min(height, (width * 3 + 2) / 4);
}

}  // namespace

int platformBeginScaledPicture(int width, int height) {
    if (failed || width < 1 || height < 1 || height >= canvasPictureHeight()) return 0;
    fixedgl::glFlush();  // what the layer still holds goes to the canvas first
    if ((width != pictureWidth || height != pictureHeight) && !makePicture(width, height)) {
        failed = true;
        return 0;
    }
    ::glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    return 1;
}

void platformEndScaledPicture(int x, int y, int width, int height) {
    if (!framebuffer) return;
    fixedgl::glFlush();
    ::glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!program && !makeProgram()) {
        failed = true;
        return;
    }
    int canvasWidth = 0, canvasHeight = 0;
    platformClientSize(&canvasWidth, &canvasHeight);
    ::glDisable(GL_SCISSOR_TEST);
    ::glDisable(GL_DEPTH_TEST);
    ::glDisable(GL_BLEND);
    ::glDisable(GL_CULL_FACE);
    ::glViewport(0, 0, canvasWidth, canvasHeight);
    ::glClearColor(0, 0, 0, 1);
    ::glClear(GL_COLOR_BUFFER_BIT);
    ::glViewport(x, y, width, height);
    ::glUseProgram(program);
    ::glActiveTexture(GL_TEXTURE0);
    ::glBindTexture(GL_TEXTURE_2D, colour);
    ::glUniform1i(::glGetUniformLocation(program, "picture"), 0);
    ::glBindBuffer(GL_ARRAY_BUFFER, corners);
    ::glEnableVertexAttribArray(0);
    ::glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
    ::glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}
