// Feeds hostile bytes to MultiTex::Load (a texture bundle: scrambled header block, entries,
// free rectangles and pixel runs) and looks up a picture in whatever it kept.
#include <cstddef>
#include <cstdint>

#include "fuzz/FuzzInput.h"
#include "render/MultiTex.h"
#include "tests/support/RecordingGL.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RecordingGL::Install();
    ServeAsEveryAssetFile(data, size);
    {
        MultiTex bundle;
        if (bundle.Load("tbundles/menu/fuzz.qtb", false) && !bundle.entries.empty()) {
            float place[4];
            bundle.Find(bundle.entries.front().name.c_str(), place);
        }
    }
    RecordingGL::ClearCalls();
    return 0;
}
