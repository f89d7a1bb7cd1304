// A GL context without a window: EGL on Mesa's surfaceless platform (or, failing that, its
// software device), rendering into an offscreen framebuffer object of the requested size with
// colour and depth. The context is a compatibility one, so the demo's immediate-mode drawing
// runs unchanged; a buffer swap only flushes, and the pixels stay for glReadPixels.
#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <cstring>

#include "platform/platform.h"
#include "platform/platform_internal.h"

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLContext context = EGL_NO_CONTEXT;
GLuint framebuffer = 0;
GLuint colourBuffer = 0;
GLuint depthBuffer = 0;
bool headless = false;

PFNGLGENFRAMEBUFFERSPROC genFramebuffers;
PFNGLBINDFRAMEBUFFERPROC bindFramebuffer;
PFNGLGENRENDERBUFFERSPROC genRenderbuffers;
PFNGLBINDRENDERBUFFERPROC bindRenderbuffer;
PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage;
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

}  // namespace

int platformCreateHeadlessContext(int width, int height) {
    if (headless) return 1;
    display = openDisplay();
    if (display == EGL_NO_DISPLAY) return 0;
    if (!eglBindAPI(EGL_OPENGL_API)) return 0;
    const EGLint configAttributes[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    eglChooseConfig(display, configAttributes, &config, 1, &configCount);
    // A compatibility-profile context: immediate mode and the fixed-function pipeline.
    const EGLint contextAttributes[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
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
    genFramebuffers(1, &framebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    genRenderbuffers(1, &colourBuffer);
    bindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
    genRenderbuffers(1, &depthBuffer);
    bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return 0;
    glViewport(0, 0, width, height);
    headless = true;
    return 1;
}

void platformDestroyHeadlessContext() {
    if (!headless) return;
    deleteFramebuffers(1, &framebuffer);
    deleteRenderbuffers(1, &colourBuffer);
    deleteRenderbuffers(1, &depthBuffer);
    eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
    eglDestroyContext(display, context);
    eglTerminate(display);
    context = EGL_NO_CONTEXT;
    display = EGL_NO_DISPLAY;
    headless = false;
}

int platformIsHeadless() { return headless ? 1 : 0; }

// The offscreen framebuffer is both front and back buffer: a swap makes sure the frame is done.
void swapHeadlessBuffers() { glFlush(); }
