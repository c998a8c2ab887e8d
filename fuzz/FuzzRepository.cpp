// Feeds hostile bytes to the repository decoder as the settings file, then does what the game
// does with a loaded file: reads its integers, changes one and encodes the whole again.
#include <cstddef>
#include <cstdint>

#include "settings/Repository.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Repository repository;
    if (repository.Decode(data, size)) {
        int32_t width = 0;
        repository.GetInt("ScreenWidth", &width);
        repository.SetOrAddInt("HighScore", width + 1);
        std::vector<uint8_t> again = repository.Encode();
        Repository reread;
        reread.Decode(again.data(), again.size());
    }
    return 0;
}
