// Flare files: the section search by containment from the start, key lines matched anywhere in
// their line and read like %d, the scales of each value, the element pictures loaded once the
// whole description is read, and the refusal (with nothing added) of descriptions that a line
// reader could not finish: missing sections, over-long lines, a last line without its CR.
#include "assets/flare_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "asset_fixtures.h"
#include "gl_test_context.h"
#include "shell/gl_window.h"

using namespace assetFixtures;

namespace {

std::vector<std::string>& loadedPictures() {
    static std::vector<std::string> names;
    return names;
}
void recordPicture(const char* path, uint32_t* outGlName) {
    loadedPictures().push_back(path);
    *outGlName = 100 + static_cast<uint32_t>(loadedPictures().size());
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> flareHeader(int count, int distance = 64, int preLight = 1,
                                     int angle = 128) {
    return {"[Flare]",
            "NumberOfFlares: " + std::to_string(count),
            "FlareDistance: " + std::to_string(distance),
            "FlarePreLight: " + std::to_string(preLight),
            "FlareAngle: " + std::to_string(angle),
            "FlareBlend: 3"};
}

std::vector<std::string> lensSection(int k, const std::string& file, int size, int r, int g,
                                     int b) {
    return {"[Lens " + std::to_string(k) + "]",   "Filename: " + file,
            "size: " + std::to_string(size),      "colour red: " + std::to_string(r),
            "colour green: " + std::to_string(g), "colour blue: " + std::to_string(b)};
}

std::vector<std::string> join(std::vector<std::vector<std::string>> parts) {
    std::vector<std::string> all;
    for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

// Reads the text; the set is released by the caller through the returned holder.
struct ReadResult {
    int ok = 0;
    FlareSet set{};
    ~ReadResult() { releaseFlareSet(&set); }
};

std::unique_ptr<ReadResult> readText(const std::string& text, Vec3* anchor = nullptr) {
    loadedPictures().clear();
    auto result = std::make_unique<ReadResult>();
    result->ok = readFlareBytes(reinterpret_cast<const uint8_t*>(text.data()), text.size(), anchor,
                                recordPicture, &result->set);
    return result;
}

}  // namespace

TEST(FlareFile, ValuesAreScaledAndPicturesLoadedInElementOrder) {
    Vec3 anchor{1, 2, 3};
    const std::string text =
        crlf(join({flareHeader(2, 64, 1, 128), lensSection(1, "data\\a.jpg", 255, 255, 0, 128),
                   lensSection(2, "data\\b.jpg", 128, 1, 2, 3)}));
    auto result = readText(text, &anchor);
    ASSERT_EQ(result->ok, 1);
    const FlareSet& set = result->set;
    EXPECT_EQ(set.elementCount, 2);
    EXPECT_EQ(set.elementsBeforeLight, 1);
    EXPECT_EQ(set.anchor, &anchor);
    EXPECT_EQ(set.spacing, 0.25f);
    EXPECT_EQ(set.falloff, 0.5f);
    EXPECT_FLOAT_EQ(set.fadeSpeed, 0.05f);
    EXPECT_EQ(set.intensity, 0.0f);
    EXPECT_EQ(set.fadeDirection, 1);
    EXPECT_EQ(set.elements[0].halfSize, 1.0f);
    EXPECT_EQ(set.elements[0].red, 1.0f);
    EXPECT_EQ(set.elements[0].green, 0.0f);
    EXPECT_FLOAT_EQ(set.elements[0].blue, 128.0f / 255.0f);
    EXPECT_NEAR(set.elements[1].halfSize, 0.50196, 1e-5);
    EXPECT_EQ(loadedPictures(), (std::vector<std::string>{"data\\a.jpg", "data\\b.jpg"}));
    EXPECT_EQ(set.elements[0].glName, 101u);
    EXPECT_EQ(set.elements[1].glName, 102u);
}

TEST(FlareFile, KeysAreFoundAnywhereInTheirLineButNeedTheirBlank) {
    const std::string text =
        crlf({"comment line", "x [Flare] extra words", "words before NumberOfFlares: 1 and after",
              "FlareDistance:64", "FlarePreLight: nothing", "not the key at all",
              "FlareBlend: ignored", "[Lens 1]", "Filename:    data\\lens.jpg  trailing words",
              "size: -12abc", "colour red:  +7", "Colour green: 9", "colour blue: 99999999999"});
    auto result = readText(text);
    ASSERT_EQ(result->ok, 1);
    EXPECT_EQ(result->set.elementCount, 1);
    EXPECT_EQ(result->set.spacing, 0.0f);  // no blank after the colon: not the key
    EXPECT_EQ(result->set.elementsBeforeLight, 0);
    EXPECT_EQ(result->set.falloff, 0.0f);
    EXPECT_EQ(loadedPictures(), std::vector<std::string>{"data\\lens.jpg"});
    const FlareElement& e = result->set.elements[0];
    EXPECT_FLOAT_EQ(e.halfSize, -12.0f / 255.0f);
    EXPECT_FLOAT_EQ(e.red, 7.0f / 255.0f);
    EXPECT_EQ(e.green, 0.0f);  // keys are case-sensitive
    EXPECT_FLOAT_EQ(e.blue, 2147483647.0f / 255.0f);
}

TEST(FlareFile, SectionsAreSearchedFromTheStartInAnyOrder) {
    // Lens 10 comes first in the file; the search for "[Lens 1]" must not stop at it.
    std::vector<std::vector<std::string>> parts{lensSection(10, "ten.jpg", 10, 0, 0, 0)};
    for (int k = 9; k >= 2; --k)
        parts.push_back(lensSection(k, "n" + std::to_string(k) + ".jpg", k, 0, 0, 0));
    parts.push_back({"notes between the sections are not read"});
    parts.push_back(flareHeader(10));
    parts.push_back(lensSection(1, "one.jpg", 1, 0, 0, 0));
    std::vector<std::string> lines = join(parts);
    // A header line holding more words still names its section.
    for (std::string& line : lines)
        if (line == "[Lens 2]") line = "here [Lens 2] is, with words after it";
    auto result = readText(crlf(lines));
    ASSERT_EQ(result->ok, 1);
    ASSERT_EQ(result->set.elementCount, 10);
    EXPECT_FLOAT_EQ(result->set.elements[0].halfSize, 1.0f / 255.0f);
    EXPECT_FLOAT_EQ(result->set.elements[1].halfSize, 2.0f / 255.0f);
    EXPECT_FLOAT_EQ(result->set.elements[9].halfSize, 10.0f / 255.0f);
    EXPECT_EQ(loadedPictures().front(), "one.jpg");
    EXPECT_EQ(loadedPictures().back(), "ten.jpg");
}

TEST(FlareFile, ChainsHoldAtMostSixtyFourElementsAndOneLineMayHoldSeveralHeaders) {
    // "[Lens 02]" is no header of element 2; the line after the [Flare] section holds the
    // headers of elements 2 and 1, whose key lines are the same five.
    std::vector<std::vector<std::string>> parts{lensSection(2, "no.jpg", 99, 0, 0, 0),
                                                flareHeader(MAX_FLARE_ELEMENTS),
                                                lensSection(1, "first.jpg", 5, 0, 0, 0)};
    parts.front()[0] = "[Lens 02]";
    parts.back()[0] = "[Lens 2] [Lens 1]";
    for (int k = MAX_FLARE_ELEMENTS; k >= 3; --k)
        parts.push_back(lensSection(k, "n.jpg", k, 0, 0, 0));
    std::vector<std::string> lines = join(parts);
    auto result = readText(crlf(lines));
    ASSERT_EQ(result->ok, 1);
    ASSERT_EQ(result->set.elementCount, MAX_FLARE_ELEMENTS);
    EXPECT_FLOAT_EQ(result->set.elements[0].halfSize, 5.0f / 255.0f);
    EXPECT_FLOAT_EQ(result->set.elements[1].halfSize, 5.0f / 255.0f);
    EXPECT_FLOAT_EQ(result->set.elements[63].halfSize, 64.0f / 255.0f);

    const int flareLine = 6;
    lines[flareLine + 1] = "NumberOfFlares: " + std::to_string(MAX_FLARE_ELEMENTS + 1);
    const std::vector<std::string> extra = lensSection(MAX_FLARE_ELEMENTS + 1, "n.jpg", 1, 0, 0, 0);
    lines.insert(lines.end(), extra.begin(), extra.end());
    EXPECT_EQ(readText(crlf(lines))->ok, 0);
    EXPECT_TRUE(loadedPictures().empty());
}

TEST(FlareFile, ZeroElementsReadsNoLensSection) {
    auto result = readText(crlf(flareHeader(0)));
    ASSERT_EQ(result->ok, 1);
    EXPECT_EQ(result->set.elementCount, 0);
    EXPECT_EQ(result->set.elements, nullptr);
    EXPECT_TRUE(loadedPictures().empty());
}

TEST(FlareFile, UnfinishableDescriptionsAreRefusedBeforeAnyPictureLoads) {
    const std::vector<std::string> good = join(
        {flareHeader(2), lensSection(1, "a.jpg", 1, 2, 3, 4), lensSection(2, "b.jpg", 1, 2, 3, 4)});
    ASSERT_EQ(readText(crlf(good))->ok, 1);

    std::vector<std::string> noFlare = good;
    noFlare[0] = "[flare]";
    EXPECT_EQ(readText(crlf(noFlare))->ok, 0);

    std::vector<std::string> noLens2 = good;
    noLens2[12] = "[Lens 3]";
    EXPECT_EQ(readText(crlf(noLens2))->ok, 0);
    EXPECT_TRUE(loadedPictures().empty());  // element 1 was complete, but nothing is loaded

    std::string lastLineWithoutCr = crlf(good);
    lastLineWithoutCr.resize(lastLineWithoutCr.size() - 2);
    EXPECT_EQ(readText(lastLineWithoutCr)->ok, 0);
    std::string onlyCr = crlf(good);
    onlyCr.pop_back();  // the byte after the last CR is missing: still a whole line
    EXPECT_EQ(readText(onlyCr)->ok, 1);

    // 254 characters and the CR fit; one more does not.
    std::vector<std::string> longest = good;
    longest[7] = "Filename: " + std::string(244, 'x');
    EXPECT_EQ(readText(crlf(longest))->ok, 1);
    std::vector<std::string> tooLong = good;
    tooLong[7] = "Filename: " + std::string(245, 'x');
    EXPECT_EQ(readText(crlf(tooLong))->ok, 0);
    // An over-long line met while searching for a section ends the search as well.
    std::vector<std::string> longComment = good;
    longComment.insert(longComment.begin(), std::string(400, '-'));
    EXPECT_EQ(readText(crlf(longComment))->ok, 0);

    std::vector<std::string> negative = good;
    negative[1] = "NumberOfFlares: -1";
    EXPECT_EQ(readText(crlf(negative))->ok, 0);
    std::vector<std::string> huge = good;
    huge[1] = "NumberOfFlares: 2000000000";
    EXPECT_EQ(readText(crlf(huge))->ok, 0);
    EXPECT_EQ(readText("")->ok, 0);
    EXPECT_TRUE(loadedPictures().empty());
}

TEST(FlareFile, LoadingAppendsOneSetPerCallWithTexturesOfItsOwn) {
    GlTestContext::ensure();
    const uint8_t colour[3] = {200, 200, 200};
    const std::string picture = scratchPath("lens.jpg");
    writeFile(picture, encodeJpeg(8, 8, twoBands(8, 8, colour, colour), JpegKind::Colour));
    const std::string path = scratchPath("flare.cfg");
    writeText(path, crlf(join({flareHeader(1), lensSection(1, picture, 255, 255, 255, 255)})));

    auto scene = std::make_unique<Scene>();
    Vec3 anchors[3] = {};
    MessageLog log;
    for (Vec3& anchor : anchors) loadFlareSet(scene.get(), path.c_str(), &anchor);
    EXPECT_TRUE(log.all().empty());
    ASSERT_EQ(scene->flareSetCount, 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(scene->flareSets[i].anchor, &anchors[i]);
        EXPECT_NE(scene->flareSets[i].elements[0].glName, 0u);
    }
    EXPECT_NE(scene->flareSets[0].elements[0].glName, scene->flareSets[1].elements[0].glName);
    EXPECT_NE(scene->flareSets[1].elements[0].glName, scene->flareSets[2].elements[0].glName);
    for (int i = 0; i < 3; ++i) releaseFlareSet(&scene->flareSets[i]);
}

TEST(FlareFile, MissingBrokenOrOverflowingLoadsAddNothing) {
    auto scene = std::make_unique<Scene>();
    {
        MessageLog log;
        loadFlareSet(scene.get(), "data\\no-such-flare.cfg", nullptr);
        EXPECT_EQ(log.all(), std::vector<std::string>{"Error|cannot load flaredata"});
        EXPECT_EQ(scene->flareSetCount, 0);
    }
    {
        const std::string path = scratchPath("broken.cfg");
        writeText(path, crlf(flareHeader(1)));  // the lens section is missing
        MessageLog log;
        loadFlareSet(scene.get(), path.c_str(), nullptr);
        EXPECT_EQ(log.all(), std::vector<std::string>{"Error|cannot load flaredata"});
        EXPECT_EQ(scene->flareSetCount, 0);
    }
    {
        const std::string path = scratchPath("empty-chain.cfg");
        writeText(path, crlf(flareHeader(0)));
        scene->flareSetCount = MAX_FLARE_SETS;
        MessageLog log;
        loadFlareSet(scene.get(), path.c_str(), nullptr);
        EXPECT_EQ(scene->flareSetCount, MAX_FLARE_SETS);
        EXPECT_EQ(log.all(), std::vector<std::string>{"Error|cannot load flaredata"});
        scene->flareSetCount = MAX_FLARE_SETS - 1;
        loadFlareSet(scene.get(), path.c_str(), nullptr);
        EXPECT_EQ(scene->flareSetCount, MAX_FLARE_SETS);
        EXPECT_EQ(log.all().size(), 1u);
    }
}
