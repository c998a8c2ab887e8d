// Writes the small seed files the fuzz targets start from, with the game's own encoders and
// the forge's sound writers: Targa images in every form the game reads, bundle pictures for
// the kit to pack, WAV effects and short Ogg Vorbis streams. The larger forged assets and the
// kit's outputs join them in the build (see fuzz/CMakeLists.txt).
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "render/TargaFile.h"
#include "tools/forge/SoundEncoding.h"

namespace {

bool WriteSeed(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        std::fprintf(stderr, "cataclysm-fuzz-seeds: cannot write %s\n", path.c_str());
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// A picture with flat runs and a gradient, so both run and literal packets appear.
TargaPixels Picture(uint32_t width, uint32_t height, uint32_t bitsPerPixel) {
    TargaPixels image;
    image.width = width;
    image.height = height;
    image.bitsPerPixel = bitsPerPixel;
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            bool flat = y < height / 2;
            image.pixels.push_back(flat ? 200 : static_cast<uint8_t>(x * 37));
            image.pixels.push_back(flat ? 40 : static_cast<uint8_t>(y * 53));
            image.pixels.push_back(flat ? 90 : static_cast<uint8_t>(x ^ y));
            if (bitsPerPixel == 32) {
                image.pixels.push_back(static_cast<uint8_t>(255 - x * 8));
            }
        }
    }
    return image;
}

std::vector<float> Tone(int channels, int rate, double seconds) {
    std::vector<float> samples;
    int frames = static_cast<int>(rate * seconds);
    for (int i = 0; i < frames; ++i) {
        for (int channel = 0; channel < channels; ++channel) {
            samples.push_back(static_cast<float>(0.4 * std::sin(i * (0.05 + 0.03 * channel))));
        }
    }
    return samples;
}

}  // namespace

// cataclysm-fuzz-seeds DIR: writes DIR/targa, DIR/bundle-pictures, DIR/wave and DIR/oggvorbis,
// whose folders must exist.
int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: cataclysm-fuzz-seeds DIR\n");
        return 2;
    }
    std::string root = argv[1];
    bool ok = true;
    struct Shape {
        uint32_t width, height, bits;
    };
    for (Shape shape : {Shape{8, 8, 24}, Shape{4, 2, 32}, Shape{5, 3, 24}, Shape{16, 4, 32}}) {
        TargaPixels image = Picture(shape.width, shape.height, shape.bits);
        std::string stem = root + "/targa/" + std::to_string(shape.width) + "x" +
                           std::to_string(shape.height) + "x" + std::to_string(shape.bits);
        ok &= WriteSeed(stem + "-raw.tga", EncodeTarga(image, TargaForm::Uncompressed, false));
        ok &= WriteSeed(stem + "-rle.tga", EncodeTarga(image, TargaForm::RunLength, true));
    }
    ok &= WriteSeed(root + "/bundle-pictures/left.tga",
                    EncodeTarga(Picture(6, 4, 32), TargaForm::RunLength, false));
    ok &= WriteSeed(root + "/bundle-pictures/right.tga",
                    EncodeTarga(Picture(3, 5, 24), TargaForm::Uncompressed, false));

    for (int channels : {1, 2}) {
        std::vector<int16_t> pcm = ToPcm16(Tone(channels, 8000, 0.02));
        ok &= WriteSeed(root + "/wave/tone" + std::to_string(channels) + ".wav",
                        EncodeWave(pcm, channels, 8000));
        std::vector<uint8_t> ogg;
        if (!EncodeOggVorbis(Tone(channels, 22050, 0.15), channels, 22050, 0.0f, "seed", ogg)) {
            std::fprintf(stderr, "cataclysm-fuzz-seeds: the Ogg Vorbis encoder refused\n");
            return 1;
        }
        ok &= WriteSeed(root + "/oggvorbis/tone" + std::to_string(channels) + ".ogg", ogg);
    }
    return ok ? 0 : 1;
}
