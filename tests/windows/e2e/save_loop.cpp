// Saves a settings file over and over until it is killed, for the scenario that kills it with
// `taskkill /F` at random moments: cataclysm-save-loop FILE FIRST_HIGH_SCORE. Each save is a
// fresh settings file with the next high score, put in place as the game saves its own.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/System.h"
#include "settings/Settings.h"

int main(int argc, char** argv) {
    std::vector<std::string> args = CommandLineArguments(argc, argv);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: cataclysm-save-loop FILE FIRST_HIGH_SCORE\n");
        return 2;
    }
    int32_t highScore = std::atoi(args[1].c_str());
    for (;;) {
        std::vector<uint8_t> bytes = FreshSettingsFile(highScore++);
        std::string failure;
        if (!ReplaceFileSafely(args[0], bytes.data(), bytes.size(), failure)) {
            std::fprintf(stderr, "cataclysm-save-loop: %s\n", failure.c_str());
            return 1;
        }
    }
}
