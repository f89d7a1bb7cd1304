// The window's pure decisions (extension names, display modes) and its GL start state, key
// states and viewport, checked in the headless context.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "gl_test_context.h"
#include "platform/platform.h"
#include "shell/gl_window.h"

TEST(ExtensionList, MatchesWholeWordsOnly) {
    const char* list = "GL_ARB_multitexture_extra GL_EXT_texture_env_combine GL_ARB_multitexture";
    EXPECT_EQ(extensionListHas(list, "GL_ARB_multitexture"), 1);  // as the last word
    EXPECT_EQ(extensionListHas("GL_ARB_multitexture_extra GL_X", "GL_ARB_multitexture"), 0);
    EXPECT_EQ(extensionListHas("GL_X GL_ARB_multitexture GL_Y", "GL_ARB_multitexture"), 1);
    EXPECT_EQ(extensionListHas("XGL_ARB_multitexture", "GL_ARB_multitexture"), 0);
    // A name glued right after an earlier occurrence is not a word of its own.
    EXPECT_EQ(extensionListHas("GL_AGL_A", "GL_A"), 0);
}

TEST(ExtensionList, RefusesEmptyNamesAndNamesWithBlanks) {
    EXPECT_EQ(extensionListHas("GL_A GL_B", ""), 0);
    EXPECT_EQ(extensionListHas("GL_A GL_B", "GL_A GL_B"), 0);
    EXPECT_EQ(extensionListHas(nullptr, "GL_A"), 0);
}

TEST(DisplayModeChoice, PrefersMostBitsThenFirstEnumerated) {
    const DisplayMode modes[] = {
        {800, 600, 32, 60}, {640, 480, 16, 60}, {640, 480, 32, 60},
        {640, 480, 24, 60}, {640, 480, 32, 75}, {1024, 768, 32, 60},
    };
    EXPECT_EQ(chooseDisplayMode(modes, 6, 640, 480), 2);
    EXPECT_EQ(chooseDisplayMode(modes, 2, 640, 480), 1);
    EXPECT_EQ(chooseDisplayMode(modes, 6, 320, 200), -1);
    EXPECT_EQ(chooseDisplayMode(modes, 0, 640, 480), -1);
}

TEST(GlWindow, HeadlessContextPassesTheMultitextureCheck) {
    GlTestContext::ensure();
    maxTextureSize = 0;
    EXPECT_EQ(checkMultitexture(), 1);
    EXPECT_GE(maxTextureSize, 1024);
    EXPECT_EQ(hasGlExtension("GL_ARB_multitexture"), 1);
    EXPECT_EQ(hasGlExtension("GL_ARB_multitextur"), 0);
}

TEST(GlWindow, ZeroHeightViewportBecomesOneRowWithAspectOfTheWidth) {
    GlTestContext::ensure();
    resizeViewport(300, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 1);
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    // gluPerspective puts f / aspect at [0] and f at [5].
    EXPECT_NEAR(projection[5] / projection[0], 300.0, 1e-3);
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    resizeViewport(640, 480);
}

TEST(GlWindow, StartStateHasTexturingAndDepthTestOn) {
    GlTestContext::ensure();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_LIGHTING));
    GLint depthFunction = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    EXPECT_EQ(depthFunction, GL_LESS);
}

TEST(KeyStates, ChangeOnlyWhileMessagesArePumped) {
    keyDown[27] = 0;
    platformPostEvent({PLATFORM_KEY_DOWN, 27, 0, 0});
    EXPECT_EQ(keyDown[27], 0);
    pumpMessages();
    EXPECT_EQ(keyDown[27], 1);
    // Pressed and released between two pumps: up again by the time anyone looks.
    platformPostEvent({PLATFORM_KEY_UP, 27, 0, 0});
    platformPostEvent({PLATFORM_KEY_DOWN, 'A', 0, 0});
    platformPostEvent({PLATFORM_KEY_UP, 'A', 0, 0});
    pumpMessages();
    EXPECT_EQ(keyDown[27], 0);
    EXPECT_EQ(keyDown['A'], 0);
}

TEST(KeyStates, OutOfRangeKeyCodesChangeNothing) {
    int before[256];
    std::copy(std::begin(keyDown), std::end(keyDown), before);
    platformPostEvent({PLATFORM_KEY_DOWN, 256, 0, 0});
    platformPostEvent({PLATFORM_KEY_DOWN, -1, 0, 0});
    pumpMessages();
    EXPECT_TRUE(std::equal(std::begin(keyDown), std::end(keyDown), before));
}
