// The one shader program of the fixed-function layer, and the draw call. The vertex stage
// does what GL 1.1 does with lighting off: eye position by the modelview matrix, clip position
// by the projection, the colour clamped to [0, 1], and the fog distance as the eye-space depth
// |z|. The fragment stage modulates by the texel (GL_MODULATE), or keeps the bitmap's set
// texels, then blends towards the fog colour by the fog factor of the fog mode, computed per
// fragment from the interpolated distance as Mesa does. Blending, the depth test, culling and
// the scissor are the GLES ones, set from the layer's state before every draw.
#include <algorithm>
#include <cstdio>

#include "platform/fixed_function/fixed_function_internal.h"

namespace fixedgl {

namespace {

constexpr GLuint POSITION_ATTRIBUTE = 0;
constexpr GLuint COLOUR_ATTRIBUTE = 1;
constexpr GLuint TEXCOORD_ATTRIBUTE = 2;

const char* const VERTEX_SHADER = R"(
attribute vec3 position;
attribute vec4 colour;
attribute vec2 texCoord;
uniform mat4 modelview;
uniform mat4 projection;
varying vec4 frontColour;
varying vec2 textureCoordinate;
varying float fogDistance;
void main() {
    vec4 eye = modelview * vec4(position, 1.0);
    gl_Position = projection * eye;
    frontColour = clamp(colour, 0.0, 1.0);
    textureCoordinate = texCoord;
    fogDistance = abs(eye.z);
}
)";

const char* const FRAGMENT_SHADER = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D picture;
uniform int fragmentColour;  // 0 vertex colour, 1 modulated, 2 bitmap
uniform int fogMode;         // 0 off, 1 exp, 2 exp2, 3 linear
uniform float fogDensity;
uniform float fogStart;
uniform float fogEnd;
uniform vec4 fogColour;
varying vec4 frontColour;
varying vec2 textureCoordinate;
varying float fogDistance;
void main() {
    vec4 colour = frontColour;
    if (fragmentColour == 1) {
        colour *= texture2D(picture, textureCoordinate);
    } else if (fragmentColour == 2) {
        if (texture2D(picture, textureCoordinate).r < 0.5) discard;
    }
    if (fogMode != 0) {
        float f;
        if (fogMode == 1) f = exp(-fogDensity * fogDistance);
        else if (fogMode == 2) f = exp(-(fogDensity * fogDistance) * (fogDensity * fogDistance));
        else f = (fogEnd - fogDistance) / (fogEnd - fogStart);
        colour.rgb = mix(fogColour.rgb, colour.rgb, clamp(f, 0.0, 1.0));
    }
    gl_FragColor = colour;
}
)";

struct Program {
    GLuint name;
    GLint modelview, projection, picture, fragmentColour, fogMode, fogDensity, fogStart, fogEnd,
        fogColour;
    GLuint vertexBuffer;
    bool tried;
};

Program program{};

GLuint compileShader(GLenum kind, const char* source) {
    GLuint shader = ::glCreateShader(kind);
    ::glShaderSource(shader, 1, &source, nullptr);
    ::glCompileShader(shader);
    GLint compiled = 0;
    ::glGetShaderiv(shader, GL_COMPILE_STATUS, &compiled);
    if (!compiled) {
        char log[1024] = "";
        ::glGetShaderInfoLog(shader, sizeof log, nullptr, log);
        std::fprintf(stderr, "fixed-function layer: shader not compiled: %s\n", log);
        ::glDeleteShader(shader);
        return 0;
    }
    return shader;
}

// Builds the program on first use, with the context that is current then. False when the
// backend refuses it; nothing is drawn then.
bool ensureProgram() {
    if (program.tried) return program.name != 0;
    program.tried = true;
    const GLuint vertex = compileShader(GL_VERTEX_SHADER, VERTEX_SHADER);
    const GLuint fragment = compileShader(GL_FRAGMENT_SHADER, FRAGMENT_SHADER);
    if (!vertex || !fragment) return false;
    const GLuint name = ::glCreateProgram();
    ::glAttachShader(name, vertex);
    ::glAttachShader(name, fragment);
    ::glBindAttribLocation(name, POSITION_ATTRIBUTE, "position");
    ::glBindAttribLocation(name, COLOUR_ATTRIBUTE, "colour");
    ::glBindAttribLocation(name, TEXCOORD_ATTRIBUTE, "texCoord");
    ::glLinkProgram(name);
    ::glDeleteShader(vertex);
    ::glDeleteShader(fragment);
    GLint linked = 0;
    ::glGetProgramiv(name, GL_LINK_STATUS, &linked);
    if (!linked) {
        std::fprintf(stderr, "fixed-function layer: shader program not linked\n");
        ::glDeleteProgram(name);
        return false;
    }
    program.name = name;
    program.modelview = ::glGetUniformLocation(name, "modelview");
    program.projection = ::glGetUniformLocation(name, "projection");
    program.picture = ::glGetUniformLocation(name, "picture");
    program.fragmentColour = ::glGetUniformLocation(name, "fragmentColour");
    program.fogMode = ::glGetUniformLocation(name, "fogMode");
    program.fogDensity = ::glGetUniformLocation(name, "fogDensity");
    program.fogStart = ::glGetUniformLocation(name, "fogStart");
    program.fogEnd = ::glGetUniformLocation(name, "fogEnd");
    program.fogColour = ::glGetUniformLocation(name, "fogColour");
    ::glGenBuffers(1, &program.vertexBuffer);
    return true;
}

int fogModeNumber() {
    switch (state.fogMode) {
        case GL_EXP2: return 2;
        case GL_LINEAR: return 3;
        default: return 1;
    }
}

void setCapability(GLenum capability, bool on) {
    if (on)
        ::glEnable(capability);
    else
        ::glDisable(capability);
}

}  // namespace

void applyFragmentState() {
    setCapability(GL_BLEND, state.blend);
    ::glBlendFunc(state.blendSource, state.blendDestination);
    setCapability(GL_DEPTH_TEST, state.depthTest);
    ::glDepthFunc(state.depthFunction);
    ::glDepthMask(state.depthWrite ? GL_TRUE : GL_FALSE);
    setCapability(GL_CULL_FACE, state.cullFace);
    setCapability(GL_SCISSOR_TEST, state.scissorTest);
    ::glScissor(state.scissor[0], state.scissor[1], state.scissor[2], state.scissor[3]);
    ::glViewport(state.viewport[0], state.viewport[1], state.viewport[2], state.viewport[3]);
    // The range is asked for once: in a browser every question to GL waits for its answer.
    static GLfloat widths[2] = {0.0f, 0.0f};
    if (widths[1] == 0.0f) {
        ::glGetFloatv(GL_ALIASED_LINE_WIDTH_RANGE, widths);
        if (widths[1] <= 0.0f) widths[0] = widths[1] = 1.0f;
    }
    ::glLineWidth(std::clamp(state.lineWidth, widths[0], widths[1]));
}

void drawVertices(const DrawCall& call) {
    if (call.count <= 0 || !ensureProgram()) return;
    applyFragmentState();
    ::glUseProgram(program.name);
    ::glUniformMatrix4fv(program.modelview, 1, GL_FALSE, call.modelview);
    ::glUniformMatrix4fv(program.projection, 1, GL_FALSE, call.projection);
    ::glUniform1i(program.fragmentColour, static_cast<GLint>(call.colour));
    ::glUniform1i(program.fogMode, call.fog ? fogModeNumber() : 0);
    ::glUniform1f(program.fogDensity, state.fogDensity);
    ::glUniform1f(program.fogStart, state.fogStart);
    ::glUniform1f(program.fogEnd, state.fogEnd);
    ::glUniform4fv(program.fogColour, 1, state.fogColour);
    ::glActiveTexture(GL_TEXTURE0);
    ::glBindTexture(GL_TEXTURE_2D, call.colour == FRAGMENT_VERTEX_COLOUR ? 0 : call.backendTexture);
    ::glUniform1i(program.picture, 0);

    ::glBindBuffer(GL_ARRAY_BUFFER, program.vertexBuffer);
    ::glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(sizeof(Vertex)) * call.count,
                 call.vertices, GL_STREAM_DRAW);
    const GLsizei stride = sizeof(Vertex);
    ::glEnableVertexAttribArray(POSITION_ATTRIBUTE);
    ::glVertexAttribPointer(POSITION_ATTRIBUTE, 3, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Vertex, position)));
    ::glEnableVertexAttribArray(COLOUR_ATTRIBUTE);
    ::glVertexAttribPointer(COLOUR_ATTRIBUTE, 4, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Vertex, colour)));
    ::glEnableVertexAttribArray(TEXCOORD_ATTRIBUTE);
    ::glVertexAttribPointer(TEXCOORD_ATTRIBUTE, 2, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<const void*>(offsetof(Vertex, texCoord)));
    ::glDrawArrays(call.primitive, 0, call.count);
}

}  // namespace fixedgl
