// Feeds hostile bytes to Wave::Load (which walks the chunks with ParseWave) and plays the clip
// into a recording OpenAL, which copies the samples the clip hands over.
#include <cstddef>
#include <cstdint>

#include "audio/Wave.h"
#include "fuzz/FuzzInput.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingAL.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RecordingAL::Install();
    SoundEnabled = true;
    ServeAsEveryAssetFile(data, size);
    {
        Wave clip;
        if (clip.Load("sound/fuzz.wav")) {
            clip.Play(false);
            clip.Stop();
        }
    }
    RecordingAL::Install();  // drops the recorded calls and samples
    return 0;
}
