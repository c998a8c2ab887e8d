#pragma once
#include <cstdint>
#include <vector>

#include "render/BundleFile.h"
#include "render/GLEntryPoints.h"
#include "render/Image2D.h"

class MultiTex;

// One picture of a bundle as the menus draw it: the bundle to bind and the texture coordinates
// of the corners (left, top), (right, top), (left, bottom), (right, bottom).
struct TextureRegion {
    MultiTex* bundle = nullptr;
    float corners[8] = {};
};

// A texture bundle: an atlas texture holding many named pictures. Find gives a picture's place
// in the texture, pulled in by `inset` on every side so filtering stays inside the picture.
class MultiTex final : public Image2D {
public:
    // An empty 1024 x 1024 RGBA atlas of transparent magenta with one free rectangle.
    MultiTex();
    MultiTex(const MultiTex&) = delete;
    MultiTex& operator=(const MultiTex&) = delete;

    // Reads a bundle file and uploads it; the mipmap choice comes from the file and the flag is
    // ignored. On failure the bundle holds no entries and no pixels.
    bool Load(const char* path, bool ignored) override;
    // Replaces the GL texture with one made from the pixels, which stay held.
    void Upload() override;
    void Bind() const;
    // Writes (left, bottom, right, top) of the first entry named exactly `name`; false, with out
    // untouched, when there is none.
    bool Find(const char* name, float out[4]) const;

    uint32_t components = 4;
    std::vector<FreeRect> freeRects;
    std::vector<BundleEntry> entries;
    GLuint textureId = 0;
    bool mipmapped = false;
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> pixels;
    std::vector<float> uTable;  // texture coordinate of each column edge
    std::vector<float> vTable;  // texture coordinate of each row edge
    double inset = 1.0 / 1024.0;

private:
    void TakeContents(BundleContents&& contents);
};

// The coordinate table for a side of `size` pixels: i / size, except that the last entry is 1.0.
std::vector<float> BundleCoordinateTable(uint32_t size);
