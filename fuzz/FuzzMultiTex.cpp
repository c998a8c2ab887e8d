// Feeds hostile bytes to MultiTex::Load (a texture bundle: scrambled header block, entries,
// free rectangles and pixel runs) and looks up a picture in whatever it kept.
//
// Making a MultiTex fills an empty 1024 x 1024 atlas, which under the sanitizers costs far more
// than loading a small bundle, so one bundle object serves every input: Load forgets whatever
// the object held before, and a load after a load is a case worth trying too.
//
// One run of a few bytes may fill an atlas of up to 8192 x 8192 pixels, which takes seconds to
// decode and upload under the sanitizers. The target passes over bundles whose header declares
// more than LargestFuzzedArea pixels, so that the time goes to new inputs; sides up to the
// largest the game accepts are still tried in narrow atlases.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzInput.h"
#include "render/BundleFile.h"
#include "render/MultiTex.h"
#include "tests/support/RecordingGL.h"

namespace {

constexpr uint64_t LargestFuzzedArea = 1u << 18;

uint32_t Little32(const uint8_t* bytes) {
    return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

// Width times height as the descrambled header block states them; 0 when the block is short.
uint64_t DeclaredArea(const uint8_t* data, size_t size) {
    constexpr size_t WidthAt = 4 + 1, HeightAt = 4 + 1 + 4;
    if (size < 4) {
        return 0;
    }
    size_t blockSize = Little32(data);
    if (blockSize < HeightAt + 4 || blockSize > size - 4) {
        return 0;
    }
    std::vector<uint8_t> block(data + 4, data + 4 + blockSize);
    TransformBundleHeader(block.data(), block.size(), ScrambleDirection::Descramble);
    return static_cast<uint64_t>(Little32(&block[WidthAt])) * Little32(&block[HeightAt]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (DeclaredArea(data, size) > LargestFuzzedArea) {
        return -1;  // not worth keeping in the corpus
    }
    RecordingGL::Install();
    static MultiTex* bundle = new MultiTex;
    ServeAsEveryAssetFile(data, size);
    if (bundle->Load("tbundles/menu/fuzz.qtb", false) && !bundle->entries.empty()) {
        float place[4];
        bundle->Find(bundle->entries.front().name.c_str(), place);
    }
    RecordingGL::ClearCalls();
    return 0;
}
