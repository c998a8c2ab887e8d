// Feeds hostile bytes to Targa::Load: both the uncompressed and the run-length form, with and
// without the mipmap chain the game builds on the processor, uploaded into a recording GL.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzInput.h"
#include "render/Targa.h"
#include "tests/support/RecordingGL.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RecordingGL::Install();
    ServeAsEveryAssetFile(data, size);
    {
        Targa image;
        image.Load("textures/fuzz.tga", size % 2 == 1);
    }
    RecordingGL::ClearCalls();
    return 0;
}
