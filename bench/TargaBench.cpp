// Decoding speed of the game's Targa reader beside stb_image on the same files, and the time
// of the whole asset catalogue load (decode, mipmaps and uploads into a recording GL).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_TGA
#include <stb/stb_image.h>

#include "app/AssetFiles.h"
#include "bench/KeptValues.h"
#include "render/AssetCatalogue.h"
#include "render/TargaFile.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingGL.h"

namespace {

constexpr uint32_t Side = 1024;

// A sprite-like RGBA picture: transparent surroundings and flat bands (long runs) around a
// noisy disc (raw packets), seeded so every run measures the same file.
TargaPixels SamplePicture() {
    TargaPixels image;
    image.width = Side;
    image.height = Side;
    image.bitsPerPixel = 32;
    image.pixels.resize(static_cast<size_t>(Side) * Side * 4);
    uint32_t state = 2024;
    for (uint32_t y = 0; y < Side; ++y) {
        for (uint32_t x = 0; x < Side; ++x) {
            uint8_t* pixel = &image.pixels[(static_cast<size_t>(y) * Side + x) * 4];
            int dx = static_cast<int>(x) - 512, dy = static_cast<int>(y) - 512;
            if (dx * dx + dy * dy < 380 * 380) {
                state = state * 1664525u + 1013904223u;
                pixel[0] = static_cast<uint8_t>(120 + ((state >> 24) & 63));
                pixel[1] = static_cast<uint8_t>(100 + ((state >> 16) & 31));
                pixel[2] = static_cast<uint8_t>(90 + ((x + y) & 15));
                pixel[3] = 255;
            } else {
                pixel[0] = pixel[1] = pixel[2] = static_cast<uint8_t>((y / 64) * 16);
                pixel[3] = 0;
            }
        }
    }
    return image;
}

const std::vector<uint8_t>& File(TargaForm form) {
    static const TargaPixels picture = SamplePicture();
    static const std::vector<uint8_t> raw = EncodeTarga(picture, TargaForm::Uncompressed, false);
    static const std::vector<uint8_t> packed = EncodeTarga(picture, TargaForm::RunLength, false);
    return form == TargaForm::RunLength ? packed : raw;
}

void DecodeWithGame(benchmark::State& state, TargaForm form) {
    const std::vector<uint8_t>& file = File(form);
    for (auto _ : state) {
        TargaPixels image;
        bool decoded = DecodeTarga(file.data(), file.size(), image);
        benchmark::DoNotOptimize(decoded);
        benchmark::DoNotOptimize(image.pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * Side * Side * 4);
    state.counters["file_bytes"] = static_cast<double>(file.size());
}

void DecodeWithStb(benchmark::State& state, TargaForm form) {
    const std::vector<uint8_t>& file = File(form);
    for (auto _ : state) {
        int width = 0, height = 0, components = 0;
        stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &width,
                                                &height, &components, 0);
        benchmark::DoNotOptimize(pixels);
        stbi_image_free(pixels);
    }
    state.SetBytesProcessed(state.iterations() * Side * Side * 4);
}

void BM_TargaDecodeRle(benchmark::State& state) {
    DecodeWithGame(state, TargaForm::RunLength);
}
void BM_TargaDecodeRaw(benchmark::State& state) {
    DecodeWithGame(state, TargaForm::Uncompressed);
}
void BM_StbDecodeRle(benchmark::State& state) {
    DecodeWithStb(state, TargaForm::RunLength);
}
void BM_StbDecodeRaw(benchmark::State& state) {
    DecodeWithStb(state, TargaForm::Uncompressed);
}

// The loading screen's work: all 48 textures and both menu bundles from the forged files in
// bin/base/, decoded, mipmapped and handed to a recording GL.
void BM_CatalogueLoad(benchmark::State& state) {
    KeptAssetRoot root;
    KeepValue<bool> glsl{GlslEnabled};
    if (!SetUpAssetRoot()) {
        state.SkipWithError("no asset root beside the benchmark");
        return;
    }
    RecordingGL::Install();
    GlslEnabled = true;
    for (auto _ : state) {
        LoadAssetCatalogue();
        state.PauseTiming();
        bool complete = Catalogue.credits != nullptr && Catalogue.credits->textureId != NoTexture;
        ReleaseAssetCatalogue();
        RecordingGL::ClearCalls();
        state.ResumeTiming();
        if (!complete) {
            state.SkipWithError("the forged assets are missing; build the assets target first");
            break;
        }
    }
    RecordingGL::Uninstall();
}

}  // namespace

BENCHMARK(BM_TargaDecodeRle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_TargaDecodeRaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StbDecodeRle)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StbDecodeRaw)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CatalogueLoad)->Unit(benchmark::kMillisecond);
