#include "render/MultiTex.h"

#include "app/AssetFiles.h"
#include "render/Targa.h"

namespace {

constexpr uint32_t EmptyAtlasSide = 1024;

}  // namespace

std::vector<float> BundleCoordinateTable(uint32_t size) {
    std::vector<float> table(size);
    for (uint32_t i = 0; i < size; ++i) {
        table[i] = static_cast<float>(i) / static_cast<float>(size);
    }
    if (size > 0) {
        table[0] = 0.0f;
        table[size - 1] = 1.0f;
    }
    return table;
}

MultiTex::MultiTex() {
    BundleContents empty;
    empty.width = EmptyAtlasSide;
    empty.height = EmptyAtlasSide;
    empty.pixels.resize(static_cast<size_t>(EmptyAtlasSide) * EmptyAtlasSide * 4);
    for (size_t i = 0; i < empty.pixels.size(); i += 4) {
        empty.pixels[i] = 255;
        empty.pixels[i + 2] = 255;
    }
    empty.freeRects.push_back(FreeRect{EmptyAtlasSide, EmptyAtlasSide, 0, 0, 1});
    TakeContents(std::move(empty));
}

void MultiTex::TakeContents(BundleContents&& contents) {
    components = contents.components;
    mipmapped = contents.mipmapped;
    width = contents.width;
    height = contents.height;
    entries = std::move(contents.entries);
    freeRects = std::move(contents.freeRects);
    pixels = std::move(contents.pixels);
    uTable = BundleCoordinateTable(width);
    vTable = BundleCoordinateTable(height);
}

bool MultiTex::Load(const char* path, bool) {
    if (path == nullptr) {
        return false;
    }
    freeRects.clear();
    entries.clear();
    pixels.clear();
    std::vector<uint8_t> file;
    BundleContents contents;
    if (!ReadAssetFile(path, file) || !ParseBundle(file.data(), file.size(), contents)) {
        return false;
    }
    TakeContents(std::move(contents));
    Upload();
    return true;
}

void MultiTex::Upload() {
    glDeleteTextures(1, &textureId);
    glGenTextures(1, &textureId);
    glBindTexture(GL_TEXTURE_2D, textureId);
    GLenum format = components == 3 ? GL_RGB : GL_RGBA;
    int internalFormat = components == 3 ? 3 : 4;
    if (mipmapped) {
        if (BuildMipmaps(internalFormat, width, height, format, pixels.data()) == 0) {
            mipmapped = false;
        }
    } else {
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        glTexImage2D(GL_TEXTURE_2D, 0, internalFormat, width, height, 0, format, GL_UNSIGNED_BYTE,
                     pixels.data());
    }
}

void MultiTex::Bind() const {
    BindTextureWithFilters(textureId, mipmapped);
}

bool MultiTex::Find(const char* name, float out[4]) const {
    const BundleEntry* entry = name == nullptr ? nullptr : FindBundleEntry(entries, name);
    if (entry == nullptr) {
        return false;
    }
    // The parser only accepts indices inside the tables.
    out[0] = static_cast<float>(uTable[entry->x0] + inset);
    out[1] = static_cast<float>(vTable[entry->y0] + inset);
    out[2] = static_cast<float>(uTable[entry->x1] - inset);
    out[3] = static_cast<float>(vTable[entry->y1] - inset);
    return true;
}
