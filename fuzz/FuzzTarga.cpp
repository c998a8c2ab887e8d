// Feeds hostile bytes to Targa::Load: both the uncompressed and the run-length form, with and
// without the mipmap chain the game builds on the processor, uploaded into a recording GL.
//
// A run-length file of a few bytes may declare an image of up to 8192 x 8192 pixels and is
// padded to its full size, which takes seconds to decode and mipmap under the sanitizers. The
// target passes over headers of more than LargestFuzzedArea pixels, so that the time goes to
// new inputs; sides up to the largest the game accepts are still tried in narrow images.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzInput.h"
#include "render/Targa.h"
#include "tests/support/RecordingGL.h"

namespace {

constexpr uint64_t LargestFuzzedArea = 1u << 18;

uint32_t HeaderSide(const uint8_t* data, size_t size, size_t offset) {
    return offset + 1 < size ? data[offset] | data[offset + 1] << 8 : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    uint64_t area = static_cast<uint64_t>(HeaderSide(data, size, 12)) * HeaderSide(data, size, 14);
    if (area > LargestFuzzedArea) {
        return -1;  // not worth keeping in the corpus
    }
    RecordingGL::Install();
    ServeAsEveryAssetFile(data, size);
    {
        Targa image;
        image.Load("textures/fuzz.tga", size % 2 == 1);
    }
    RecordingGL::ClearCalls();
    return 0;
}
