// Texture objects. The layer hands out names of its own from a fixed table, each backed by a
// GLES texture made when the name is first used, and remembers what GL 1.1 needs to know to
// sample it: whether level 0 holds an image and whether the minifying filter asks for mipmaps,
// which this layer never has. A texture that cannot be sampled leaves texturing off for the
// draw, as GL 1.1 does with an incomplete texture (GLES would sample black). Sides must be
// powers of two, as in GL 1.1; that also keeps every wrap mode working under WebGL 1.
#include "platform/fixed_function/fixed_function_internal.h"

namespace fixedgl {

namespace {

// Names 0 (the default texture) to TEXTURE_NAMES - 1.
constexpr GLuint TEXTURE_NAMES = 4096;

// A record starts as GL starts a texture: no image, and a minifying filter that reads mipmaps.
struct TextureRecord {
    bool named;          // handed out by glGenTextures, or bound, and not deleted since
    GLuint backend;      // the GLES texture, 0 until first bound
    bool hasImage;       // level 0 has an image
    bool plainFilter;    // the minifying filter reads level 0 only
    GLsizei width, height;  // of level 0; 0 without an image
    GLenum format;          // of level 0
};

TextureRecord textures[TEXTURE_NAMES];
GLuint nextName = 1;

bool isPowerOfTwo(GLsizei n) { return n > 0 && (n & (n - 1)) == 0; }

// The record of the bound texture, with its GLES texture bound too.
TextureRecord& boundRecord() {
    TextureRecord& record = textures[state.boundTexture];
    if (record.backend == 0) ::glGenTextures(1, &record.backend);
    ::glBindTexture(GL_TEXTURE_2D, record.backend);
    return record;
}

bool mipmapFilter(GLint filter) {
    return filter == GL_NEAREST_MIPMAP_NEAREST || filter == GL_LINEAR_MIPMAP_NEAREST ||
           filter == GL_NEAREST_MIPMAP_LINEAR || filter == GL_LINEAR_MIPMAP_LINEAR;
}

// The GLES format for a GL 1.1 internal format (a component count or a format name).
GLenum formatFor(GLint internalFormat) {
    switch (internalFormat) {
        case 3: case GL_RGB: return GL_RGB;
        case 4: case GL_RGBA: return GL_RGBA;
        case GL_LUMINANCE: return GL_LUMINANCE;
        default: return 0;
    }
}

}  // namespace

GLuint sampledTexture(GLuint name) {
    if (name >= TEXTURE_NAMES) return 0;
    const TextureRecord& record = textures[name];
    return record.backend != 0 && record.hasImage && record.plainFilter ? record.backend : 0;
}

void glGenTextures(GLsizei count, GLuint* names) {
    if (count < 0) return recordError(GL_INVALID_VALUE);
    for (GLsizei i = 0; i < count; ++i) {
        while (nextName < TEXTURE_NAMES && textures[nextName].named) ++nextName;
        if (nextName >= TEXTURE_NAMES) {
            // The table is full: the rest get the default texture.
            names[i] = 0;
            recordError(GL_OUT_OF_MEMORY);
            continue;
        }
        textures[nextName] = TextureRecord{true, 0, false, false, 0, 0, 0};
        names[i] = nextName++;
    }
}

void glDeleteTextures(GLsizei count, const GLuint* names) {
    flushVertices();
    for (GLsizei i = 0; i < count; ++i) {
        const GLuint name = names[i];
        if (name == 0 || name >= TEXTURE_NAMES || !textures[name].named) continue;
        if (textures[name].backend) ::glDeleteTextures(1, &textures[name].backend);
        textures[name] = TextureRecord{};
        if (state.boundTexture == name) state.boundTexture = 0;
        if (name < nextName) nextName = name;
    }
}

void glBindTexture(GLenum target, GLuint name) {
    if (target != GL_TEXTURE_2D) return recordError(GL_INVALID_ENUM);
    if (name >= TEXTURE_NAMES) return recordError(GL_INVALID_VALUE);
    // A name never handed out becomes a texture when first bound, as in GL.
    if (!textures[name].named) textures[name] = TextureRecord{true, 0, false, false, 0, 0, 0};
    changeState(state.boundTexture, name);
}

void glTexParameteri(GLenum target, GLenum name, GLint value) {
    if (target != GL_TEXTURE_2D) return recordError(GL_INVALID_ENUM);
    if (name == GL_TEXTURE_WRAP_S || name == GL_TEXTURE_WRAP_T) {
        // GL 1.1's clamp reaches half into the border colour; clamping to the edge is the
        // nearest GLES offers.
        if (value == GL_CLAMP) value = GL_CLAMP_TO_EDGE;
        if (value != GL_REPEAT && value != GL_CLAMP_TO_EDGE) return recordError(GL_INVALID_ENUM);
    } else if (name == GL_TEXTURE_MIN_FILTER) {
        if (value != GL_NEAREST && value != GL_LINEAR && !mipmapFilter(value))
            return recordError(GL_INVALID_ENUM);
    } else if (name == GL_TEXTURE_MAG_FILTER) {
        if (value != GL_NEAREST && value != GL_LINEAR) return recordError(GL_INVALID_ENUM);
    } else {
        return recordError(GL_INVALID_ENUM);
    }
    flushVertices();
    TextureRecord& record = boundRecord();
    if (name == GL_TEXTURE_MIN_FILTER) record.plainFilter = !mipmapFilter(value);
    ::glTexParameteri(GL_TEXTURE_2D, name, value);
}

void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                  GLsizei height, GLint border, GLenum format, GLenum type, const GLvoid* pixels) {
    if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE) return recordError(GL_INVALID_ENUM);
    const GLenum backendFormat = formatFor(internalFormat);
    if (backendFormat == 0 || (format != GL_RGB && format != GL_RGBA && format != GL_LUMINANCE))
        return recordError(GL_INVALID_ENUM);
    // Mipmap levels and borders are not kept here; sides are powers of two as in GL 1.1.
    if (level != 0 || border != 0 || !isPowerOfTwo(width) || !isPowerOfTwo(height))
        return recordError(GL_INVALID_VALUE);
    // GLES converts nothing: the data must already be in the texture's format.
    if (format != backendFormat) return recordError(GL_INVALID_OPERATION);
    flushVertices();
    TextureRecord& record = boundRecord();
    ::glPixelStorei(GL_UNPACK_ALIGNMENT, state.unpackAlignment);
    ::glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(backendFormat), width, height, 0, format,
                   type, pixels);
    record.hasImage = true;
    record.width = width;
    record.height = height;
    record.format = backendFormat;
}

void glTexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height,
                     GLenum format, GLenum type, const GLvoid* pixels) {
    if (target != GL_TEXTURE_2D || type != GL_UNSIGNED_BYTE) return recordError(GL_INVALID_ENUM);
    if (level != 0 || x < 0 || y < 0 || width < 0 || height < 0)
        return recordError(GL_INVALID_VALUE);
    flushVertices();
    TextureRecord& record = boundRecord();
    if (!record.hasImage || x + width > record.width || y + height > record.height)
        return recordError(GL_INVALID_VALUE);
    if (format != record.format) return recordError(GL_INVALID_OPERATION);
    ::glPixelStorei(GL_UNPACK_ALIGNMENT, state.unpackAlignment);
    ::glTexSubImage2D(GL_TEXTURE_2D, 0, x, y, width, height, format, type, pixels);
}

void glGetTexLevelParameteriv(GLenum target, GLint level, GLenum name, GLint* value) {
    if (target != GL_TEXTURE_2D || (name != GL_TEXTURE_WIDTH && name != GL_TEXTURE_HEIGHT))
        return recordError(GL_INVALID_ENUM);
    const TextureRecord& record = textures[state.boundTexture];
    // Only level 0 is ever kept: every other level is empty.
    const bool kept = level == 0 && record.hasImage;
    *value = !kept ? 0 : name == GL_TEXTURE_WIDTH ? record.width : record.height;
}

void glPixelStorei(GLenum name, GLint value) {
    if (value != 1 && value != 2 && value != 4 && value != 8) return recordError(GL_INVALID_VALUE);
    if (name == GL_UNPACK_ALIGNMENT)
        state.unpackAlignment = value;
    else if (name == GL_PACK_ALIGNMENT)
        state.packAlignment = value;
    else
        recordError(GL_INVALID_ENUM);
}

}  // namespace fixedgl
