// Writes the seed corpora of the fuzz targets into DIR/scene, DIR/flare, DIR/bmp and DIR/jpeg:
// scene files from the scene writer, flare texts, BMP pictures of every accepted kind and small
// JPEG pictures, all made here from code.
#include <sys/stat.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "scene_writer.h"
#include "test_pictures.h"

namespace {

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return;
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
}

void put16(std::vector<uint8_t>* out, uint32_t v) {
    out->push_back(v & 0xFF);
    out->push_back((v >> 8) & 0xFF);
}
void put32(std::vector<uint8_t>* out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::vector<uint8_t> bmp(bool fileHeader, uint32_t headerSize, int32_t width, int32_t height,
                         uint16_t bits, uint32_t compression, int entries,
                         const std::vector<uint8_t>& pixels) {
    std::vector<uint8_t> header;
    put32(&header, headerSize);
    if (headerSize == 12) {
        put16(&header, width);
        put16(&header, height);
        put16(&header, 1);
        put16(&header, bits);
    } else {
        put32(&header, width);
        put32(&header, height);
        put16(&header, 1);
        put16(&header, bits);
        put32(&header, compression);
        for (int i = 0; i < 5; ++i) put32(&header, 0);
    }
    for (int i = 0; i < entries; ++i) {
        header.push_back(i * 16);
        header.push_back(255 - i);
        header.push_back(i * 3);
        if (headerSize != 12) header.push_back(0);
    }
    std::vector<uint8_t> out;
    if (fileHeader) {
        out = {'B', 'M'};
        put32(&out, 14 + header.size() + pixels.size());
        put32(&out, 0);
        put32(&out, 14 + header.size());
    }
    out.insert(out.end(), header.begin(), header.end());
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

// A small gradient picture as a JPEG: colour or grey, baseline or progressive.
std::vector<uint8_t> jpeg(int width, int height, int components, bool progressive) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * components);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<uint8_t>(i * 5 + (i / (static_cast<size_t>(width) * components)) * 9);
    JpegKind kind = components == 1 ? JpegKind::Grey
                    : progressive   ? JpegKind::Progressive
                                    : JpegKind::Colour;
    return encodeJpeg(width, height, pixels, kind);
}

SceneDesc sceneSeed(int objects, int lights, int spots) {
    SceneDesc desc = minimalScene();
    desc.camera.position.push_back(vectorKey(40, {1, 2, 3}, {0, 1, 0}, {1, 0, 0}));
    desc.camera.hide = {toggleKey(5)};
    for (int i = 0; i < objects; ++i) {
        ObjectDesc object;
        object.kind = i > 0 ? 1 : 0;
        object.parent = 0;
        object.texture = static_cast<uint8_t>(i);
        object.vertices = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}};
        FaceDesc a, b;
        a.corners[0] = {0, 0, 0};
        a.corners[1] = {1, 1, 0};
        a.corners[2] = {2, 0, 1};
        b.corners[0] = {1, 1, 0};
        b.corners[1] = {3, 1, 1};
        b.corners[2] = {2, 0, 1};
        object.faces = {a, b};
        setRestTracks(&object);
        object.rotation.push_back(rotationKey(20, Quat{0, 0, 0, 1}));
        object.hide = {toggleKey(3), toggleKey(9)};
        desc.objects.push_back(object);
    }
    for (int i = 0; i < lights; ++i) {
        LightDesc light;
        light.position = {vectorKey(0, {1, 1, 1}), vectorKey(10, {2, 2, 2})};
        desc.lights.push_back(light);
    }
    for (int i = 0; i < spots; ++i) {
        SpotLightDesc spot;
        spot.position = {vectorKey(0, {0, 0, 0})};
        spot.firstScalar = {scalarKey(0, 1)};
        spot.secondScalar = {scalarKey(0, 2), scalarKey(5, 3)};
        spot.target = {vectorKey(0, {0, 0, -1})};
        desc.spotLights.push_back(spot);
    }
    return desc;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz-seeds DIR\n");
        return 2;
    }
    const std::string dir = argv[1];
    for (const char* sub : {"", "/scene", "/flare", "/bmp", "/jpeg"})
        mkdir((dir + sub).c_str(), 0755);

    int n = 0;
    for (const SceneDesc& desc : {sceneSeed(0, 0, 0), sceneSeed(1, 1, 0), sceneSeed(3, 2, 1)}) {
        std::vector<uint8_t> bytes;
        std::string error;
        if (writeSceneBytes(desc, &bytes, &error))
            writeBytes(dir + "/scene/seed" + std::to_string(n++), bytes);
    }

    const std::string flare =
        "[Flare]\r\nNumberOfFlares: 2\r\nFlareDistance: 64\r\nFlarePreLight: 1\r\nFlareAngle: "
        "128\r\n"
        "FlareBlend: 1\r\n[Lens 1]\r\nFilename: data\\lens1.jpg\r\nsize: 40\r\ncolour red: 255\r\n"
        "colour green: 128\r\ncolour blue: 0\r\nnotes\r\n[Lens 2]\r\nFilename: data\\lens2.jpg\r\n"
        "size: 80\r\ncolour red: 1\r\ncolour green: 2\r\ncolour blue: 3\r\n";
    writeBytes(dir + "/flare/seed0", std::vector<uint8_t>(flare.begin(), flare.end()));
    const std::string empty = "x [Flare] y\r\nNumberOfFlares: 0\r\nFlareDistance:1\r\n\r\n\r\n\r\n";
    writeBytes(dir + "/flare/seed1", std::vector<uint8_t>(empty.begin(), empty.end()));

    writeBytes(dir + "/bmp/rgb24", bmp(true, 40, 3, 2, 24, 0, 0, std::vector<uint8_t>(24, 7)));
    writeBytes(dir + "/bmp/rgb32", bmp(true, 40, 2, 2, 32, 0, 0, std::vector<uint8_t>(16, 9)));
    writeBytes(dir + "/bmp/rgb16", bmp(false, 40, 2, -2, 16, 0, 0, std::vector<uint8_t>(8, 0x5A)));
    writeBytes(dir + "/bmp/pal8", bmp(true, 40, 4, 2, 8, 0, 256, {0, 1, 2, 3, 250, 251, 252, 253}));
    writeBytes(dir + "/bmp/pal4core",
               bmp(false, 12, 3, 2, 4, 0, 16, {0x12, 0x30, 0, 0, 0xF0, 0xE0, 0, 0}));
    writeBytes(dir + "/bmp/mono", bmp(true, 40, 9, 1, 1, 0, 2, {0xA5, 0x80, 0, 0}));
    writeBytes(dir + "/bmp/rle8", bmp(true, 40, 6, 3, 8, 1, 256,
                                      {3, 1, 0, 3, 2, 3, 2, 0, 0, 0, 0, 2, 2, 1, 2, 3, 0, 1}));
    writeBytes(dir + "/bmp/rle4",
               bmp(true, 40, 5, 2, 4, 2, 16, {3, 0x12, 0, 3, 0x21, 0x20, 0, 0, 5, 0x34, 0, 1}));

    writeBytes(dir + "/jpeg/colour", jpeg(17, 9, 3, false));
    writeBytes(dir + "/jpeg/grey", jpeg(8, 8, 1, false));
    writeBytes(dir + "/jpeg/progressive", jpeg(16, 12, 3, true));
    return 0;
}
