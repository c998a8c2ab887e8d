#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "render/GLEntryPoints.h"
#include "render/Image2D.h"

// The texture name a Targa holds before it has uploaded anything.
constexpr GLuint NoTexture = 0xFFFFFFFF;
constexpr size_t TargaNameCapacity = 64;  // the path, NUL included

// A TGA picture turned into one GL texture. Load decodes the file, uploads it (with a mipmap
// chain built on the processor when asked and the sides allow it) and drops the pixels; Bind
// makes it the current texture with the filters its mipmaps call for.
class Targa final : public Image2D {
public:
    Targa();
    ~Targa();
    Targa(const Targa&) = delete;
    Targa& operator=(const Targa&) = delete;

    // False (and no texture) for a path longer than the name field, a missing file or a file
    // that is not one of the TGA forms the game reads.
    bool Load(const char* path, bool mipmapped) override;
    void Upload() override;
    // BindTextureWithFilters with this image's texture and mipmap flag.
    void Bind() const;

    char name[TargaNameCapacity];
    uint32_t bitsPerPixel = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t byteSize = 0;
    std::vector<uint8_t> pixels;  // decoded pixels until Upload; empty afterwards
    GLuint textureId = NoTexture;
    bool mipmapped = false;
};

// The bind every textured draw starts with: texturing on, the texture bound, linear
// magnification, and linear minification from the nearest mipmap level when there is a chain.
// Wrap modes stay GL's default (repeat).
void BindTextureWithFilters(GLuint texture, bool mipmapped);

// Whether an image of these sides can carry a mipmap chain: both are powers of two of at least 2.
// A mipmapped image of other sides gets level 0 only.
bool MipmapChainPossible(uint32_t width, uint32_t height);

// Uploads level 0 and, when both sides are powers of two of at least 2, every smaller level
// down to 1 x 1, each texel the truncated mean of its 2 x 2 block above. Returns 1 when the
// chain was uploaded, 0 when only level 0 was.
int BuildMipmaps(int components, int width, int height, GLenum format, const uint8_t* pixels);

// One step of the chain: from a level of width x height to the next, each side halved unless it
// is already 1. `to` may be `from` (the level is built in place at the buffer's start).
void HalveMipLevel(const uint8_t* from, int width, int height, int components, uint8_t* to);
