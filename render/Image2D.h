#pragma once

// Anything that can be read from an asset file and turned into one GL texture: Targa images and
// texture bundles. Owners hold the concrete type and destroy it through that type, so the
// destructor is protected and not virtual.
class Image2D {
public:
    // Reads and decodes the file at the relative asset path, then uploads it; false when the
    // file is missing or not a valid image of this kind.
    virtual bool Load(const char* path, bool mipmapped) = 0;
    // Creates the GL texture from the decoded pixels.
    virtual void Upload() = 0;

protected:
    ~Image2D() = default;
};
