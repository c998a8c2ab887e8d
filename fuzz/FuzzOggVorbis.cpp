// Feeds hostile bytes to OggVorbis::Load and, when the stream opens, lets the streaming thread
// decode and queue its first two chunks into a recording OpenAL before stopping it: the
// thread fills its queue before it first looks at the stop flag.
//
// Every Ogg page carries a checksum, and a page whose checksum is wrong is skipped whole, so
// almost every mutation would only ever reach the page reader. The target therefore puts the
// right checksum into each complete page it finds before the game sees the bytes, which lets
// the mutations reach the headers and the audio packets behind them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include <ogg/ogg.h>

#include "audio/OggVorbis.h"
#include "fuzz/FuzzInput.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingAL.h"

namespace {

constexpr size_t PageHeaderBytes = 27;  // up to and including the segment count

void RepairPageChecksums(std::vector<uint8_t>& bytes) {
    size_t at = 0;
    while (at + PageHeaderBytes <= bytes.size()) {
        uint8_t* start = bytes.data() + at;
        if (start[0] != 'O' || start[1] != 'g' || start[2] != 'g' || start[3] != 'S') {
            ++at;
            continue;
        }
        ogg_page page;
        page.header = start;
        page.header_len = static_cast<long>(PageHeaderBytes + start[26]);
        if (at + page.header_len > bytes.size()) {
            return;
        }
        page.body = start + page.header_len;
        page.body_len = 0;
        for (int segment = 0; segment < start[26]; ++segment) {
            page.body_len += start[PageHeaderBytes + segment];
        }
        if (at + page.header_len + page.body_len > bytes.size()) {
            return;
        }
        ogg_page_checksum_set(&page);
        at += page.header_len + page.body_len;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> stream(data, data + size);
    RepairPageChecksums(stream);
    RecordingAL::Install();
    SoundEnabled = true;
    ServeAsEveryAssetFile(stream.data(), stream.size());
    {
        OggVorbis music;
        if (music.Load("sound/music/fuzz.ogg")) {
            music.Info();
            music.Play(true);
            music.Stop();
        }
    }
    RecordingAL::Install();  // drops the recorded calls and samples
    return 0;
}
