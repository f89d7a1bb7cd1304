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

TEST(PictureRect, IsTheLargestCentredFourToThreeRectangle) {
    auto expectRect = [](int width, int height, PictureRect expected) {
        PictureRect r = pictureRectFor(width, height);
        EXPECT_TRUE(r.x == expected.x && r.y == expected.y && r.width == expected.width &&
                    r.height == expected.height)
            << width << "x" << height << " gave " << r.x << "," << r.y << " " << r.width << "x"
            << r.height;
    };
    expectRect(640, 480, {0, 0, 640, 480});
    expectRect(1920, 1080, {240, 0, 1440, 1080});
    expectRect(1000, 500, {166, 0, 667, 500});  // 666.7 columns round to 667
    expectRect(640, 960, {0, 240, 640, 480});
    expectRect(1281, 961, {0, 0, 1281, 961});   // 960.75 rows round to 961
    expectRect(300, 0, {149, 0, 1, 1});         // a height of 0 counts as 1
}

TEST(GlWindow, ViewportAndScissorFollowThePictureAndBarsClearToBlack) {
    GlTestContext::ensure();
    resizeViewport(640, 400);  // the picture: 533 x 400 from column 53
    GLint viewport[4], scissor[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_SCISSOR_BOX, scissor);
    EXPECT_EQ(viewport[0], 53);
    EXPECT_EQ(viewport[2], 533);
    EXPECT_EQ(viewport[3], 400);
    EXPECT_TRUE(std::equal(viewport, viewport + 4, scissor));
    GLfloat projection[16];
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 533.0 / 400.0, 1e-4);

    glClearColor(0.1f, 0.1f, 0.2f, 0.2f);
    clearFrame();
    EXPECT_EQ(GlTestContext::readPixel(52, 200).b, 0);
    EXPECT_EQ(GlTestContext::readPixel(586, 200).b, 0);
    EXPECT_EQ(GlTestContext::readPixel(53, 200).b, 51);
    EXPECT_EQ(GlTestContext::readPixel(585, 399).b, 51);
    // Later clears and drawing stay inside the picture.
    glClearColor(1, 1, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    EXPECT_EQ(GlTestContext::readPixel(52, 200).r, 0);
    EXPECT_EQ(GlTestContext::readPixel(53, 200).r, 255);
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
    // Released after that pump: up at once. Pressed and released within one pump: down for that
    // frame, up after the next pump.
    platformPostEvent({PLATFORM_KEY_UP, 27, 0, 0});
    platformPostEvent({PLATFORM_KEY_DOWN, 'A', 0, 0});
    platformPostEvent({PLATFORM_KEY_UP, 'A', 0, 0});
    pumpMessages();
    EXPECT_EQ(keyDown[27], 0);
    EXPECT_EQ(keyDown['A'], 1);
    pumpMessages();
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
