// A GL context without a window: EGL on Mesa's surfaceless platform (or, failing that, its
// software device), rendering into an offscreen framebuffer object of the requested size with
// colour and depth. The context is a compatibility one, so the demo's immediate-mode drawing
// runs unchanged. Without multisampling a buffer swap only flushes, and the pixels stay for
// glReadPixels. A multisampled framebuffer cannot be read directly: a swap resolves it into a
// plain one of the same size, which is then the framebuffer glReadPixels reads from. A build
// over the fixed-function layer makes an OpenGL ES 3 context instead, which the layer draws
// with (using no more of it than ES 2, as in a browser).
#include <EGL/egl.h>
#include <EGL/eglext.h>
#if QD_FIXED_FUNCTION_LAYER
#include <GLES3/gl3.h>

#include "platform/fixed_function/fixed_function_gl.h"
#else
#include <GL/gl.h>
#include <GL/glext.h>
#endif

#include <cstring>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLContext context = EGL_NO_CONTEXT;
GLuint framebuffer = 0;
GLuint colourBuffer = 0;
GLuint depthBuffer = 0;
GLuint resolveFramebuffer = 0;  // only with multisampling
GLuint resolveColourBuffer = 0;
int framebufferWidth = 0;
int framebufferHeight = 0;
int framebufferSamples = 1;
bool headless = false;

PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample;
PFNGLBLITFRAMEBUFFERPROC blitFramebuffer;
PFNGLFENCESYNCPROC fenceSync;
PFNGLCLIENTWAITSYNCPROC clientWaitSync;
PFNGLDELETESYNCPROC deleteSync;
GLsync previousFrame = nullptr;  // the frame before the last swapped one, while it renders
PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer;
PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus;
PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers;
PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers;

template <typename F>
bool load(F& function, const char* name) {
    function = reinterpret_cast<F>(eglGetProcAddress(name));
    return function != nullptr;
}

bool hasExtension(const char* list, const char* name) {
    if (!list) return false;
    size_t length = std::strlen(name);
    for (const char* p = std::strstr(list, name); p; p = std::strstr(p + 1, name)) {
        bool starts = p == list || p[-1] == ' ';
        bool ends = p[length] == ' ' || p[length] == '\0';
        if (starts && ends) return true;
    }
    return false;
}

EGLDisplay openDisplay() {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    auto getPlatformDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(
        eglGetProcAddress("eglGetPlatformDisplayEXT"));
    if (!getPlatformDisplay) return EGL_NO_DISPLAY;
    if (hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
        if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
    }
    // Fall back to Mesa's software device where the surfaceless platform has no renderer.
    auto queryDevices =
        reinterpret_cast<PFNEGLQUERYDEVICESEXTPROC>(eglGetProcAddress("eglQueryDevicesEXT"));
    if (queryDevices && hasExtension(clientExtensions, "EGL_EXT_platform_device")) {
        EGLDeviceEXT devices[8];
        EGLint count = 0;
        if (queryDevices(8, devices, &count)) {
            for (EGLint i = 0; i < count; ++i) {
                EGLDisplay d = getPlatformDisplay(EGL_PLATFORM_DEVICE_EXT, devices[i], nullptr);
                if (d != EGL_NO_DISPLAY && eglInitialize(d, nullptr, nullptr)) return d;
            }
        }
    }
    return EGL_NO_DISPLAY;
}

// A new renderbuffer of the framebuffer bound to GL_FRAMEBUFFER, attached at `attachment`.
GLuint attachRenderbuffer(GLenum format, GLenum attachment, int width, int height, int samples) {
    GLuint name = 0;
    genRenderbuffers(1, &name);
    bindRenderbuffer(GL_RENDERBUFFER, name);
    if (samples > 1)
        renderbufferStorageMultisample(GL_RENDERBUFFER, samples, format, width, height);
    else
        renderbufferStorage(GL_RENDERBUFFER, format, width, height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, name);
    return name;
}

}  // namespace

int platformCreateHeadlessContext(int width, int height, int samples) {
    if (headless) return 1;
    display = openDisplay();
    if (display == EGL_NO_DISPLAY) return 0;
#if QD_FIXED_FUNCTION_LAYER
    if (!eglBindAPI(EGL_OPENGL_ES_API)) return 0;
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_ES3_BIT, EGL_NONE};
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION, 3, EGL_NONE};
#else
    if (!eglBindAPI(EGL_OPENGL_API)) return 0;
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    // A compatibility-profile context: immediate mode and the fixed-function pipeline.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
#endif
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    eglChooseConfig(display, configAttributes, &config, 1, &configCount);
    context = eglCreateContext(display, configCount > 0 ? config : nullptr, EGL_NO_CONTEXT,
                               contextAttributes);
    if (context == EGL_NO_CONTEXT) return 0;
    if (!eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context)) return 0;

    if (!load(genFramebuffers, "glGenFramebuffers") || !load(bindFramebuffer, "glBindFramebuffer") ||
        !load(genRenderbuffers, "glGenRenderbuffers") ||
        !load(bindRenderbuffer, "glBindRenderbuffer") ||
        !load(renderbufferStorage, "glRenderbufferStorage") ||
        !load(framebufferRenderbuffer, "glFramebufferRenderbuffer") ||
        !load(checkFramebufferStatus, "glCheckFramebufferStatus") ||
        !load(deleteFramebuffers, "glDeleteFramebuffers") ||
        !load(deleteRenderbuffers, "glDeleteRenderbuffers"))
        return 0;
    if (!load(fenceSync, "glFenceSync") || !load(clientWaitSync, "glClientWaitSync") ||
        !load(deleteSync, "glDeleteSync"))
        fenceSync = nullptr;
    GLint maxSamples = 1;
    if (samples > 1) glGetIntegerv(GL_MAX_SAMPLES, &maxSamples);
    if (samples > maxSamples) samples = maxSamples;
    if (samples > 1 && (!load(renderbufferStorageMultisample, "glRenderbufferStorageMultisample") ||
                        !load(blitFramebuffer, "glBlitFramebuffer")))
        samples = 1;
    if (samples < 1) samples = 1;

    genFramebuffers(1, &framebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    colourBuffer = attachRenderbuffer(GL_RGBA8, GL_COLOR_ATTACHMENT0, width, height, samples);
    depthBuffer = attachRenderbuffer(GL_DEPTH_COMPONENT24, GL_DEPTH_ATTACHMENT, width, height,
                                     samples);
    if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return 0;
    framebufferSamples = 1;
    if (samples > 1) {
        GLint obtained = 0;
        glGetIntegerv(GL_SAMPLES, &obtained);
        framebufferSamples = obtained > 1 ? obtained : 1;
        genFramebuffers(1, &resolveFramebuffer);
        bindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer);
        resolveColourBuffer = attachRenderbuffer(GL_RGBA8, GL_COLOR_ATTACHMENT0, width, height, 1);
        if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return 0;
        bindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    }
    framebufferWidth = width;
    framebufferHeight = height;
    glViewport(0, 0, width, height);
    headless = true;
    return 1;
}

void platformDestroyHeadlessContext() {
    if (!headless) return;
    if (previousFrame) {
        deleteSync(previousFrame);
        previousFrame = nullptr;
    }
    deleteFramebuffers(1, &framebuffer);
    deleteRenderbuffers(1, &colourBuffer);
    deleteRenderbuffers(1, &depthBuffer);
    if (resolveFramebuffer) {
        deleteFramebuffers(1, &resolveFramebuffer);
        deleteRenderbuffers(1, &resolveColourBuffer);
        resolveFramebuffer = 0;
        resolveColourBuffer = 0;
    }
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglTerminate(display);
    context = EGL_NO_CONTEXT;
    display = EGL_NO_DISPLAY;
    headless = false;
}

int platformIsHeadless() { return headless ? 1 : 0; }

// The offscreen framebuffer is both front and back buffer: a swap makes sure the frame is done,
// resolving the samples first where there are several. The copy covers the whole framebuffer,
// so the scissor rectangle the demo draws in is lifted for it. The driver renders on threads of
// its own and lets many frames queue up, each holding its vertices and pictures (hundreds of
// megabytes when nothing reads the frames back); a swap therefore waits until the frame before
// this one is drawn, so that one frame renders while the next is built.
void swapHeadlessBuffers() {
#if QD_FIXED_FUNCTION_LAYER
    fixedgl::glFlush();  // what the layer still holds
#endif
    if (resolveFramebuffer) {
        GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
        glDisable(GL_SCISSOR_TEST);
        bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        bindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer);
        blitFramebuffer(0, 0, framebufferWidth, framebufferHeight, 0, 0, framebufferWidth,
                        framebufferHeight, GL_COLOR_BUFFER_BIT, GL_NEAREST);
        bindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
        bindFramebuffer(GL_READ_FRAMEBUFFER, resolveFramebuffer);
        if (scissor) glEnable(GL_SCISSOR_TEST);
    }
    if (!fenceSync) {
        glFinish();
        return;
    }
    GLsync frame = fenceSync(GL_SYNC_GPU_COMMANDS_COMPLETE, 0);
    glFlush();
    if (previousFrame) {
        clientWaitSync(previousFrame, GL_SYNC_FLUSH_COMMANDS_BIT, GL_TIMEOUT_IGNORED);
        deleteSync(previousFrame);
    }
    previousFrame = frame;
}

void headlessFramebufferSize(int* width, int* height) {
    *width = headless ? framebufferWidth : 0;
    *height = headless ? framebufferHeight : 0;
}

int headlessFramebufferSamples() { return headless ? framebufferSamples : 1; }
