// cataclysm-kit: looks inside and makes the game's files with the game's own decoders.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/kit/KitCommand.h"

namespace {

struct Family {
    const char* name;
    const char* help;
    KitCommandFunction function;
};

std::vector<Family>& Families() {
    static std::vector<Family> families;
    return families;
}

void PrintHelp(FILE* out) {
    std::fprintf(out, "usage: cataclysm-kit FAMILY SUBCOMMAND ARGS...\n\n");
    for (const Family& family : Families()) {
        std::fprintf(out, "%s\n", family.help);
    }
}

}  // namespace

KitCommandRegistration::KitCommandRegistration(const char* family, const char* help,
                                               KitCommandFunction function) {
    Families().push_back({family, help, function});
}

int KitFail(const std::string& message) {
    std::fprintf(stderr, "cataclysm-kit: %s\n", message.c_str());
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        PrintHelp(argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    for (const Family& family : Families()) {
        if (std::strcmp(argv[1], family.name) == 0) {
            return family.function(std::vector<std::string>(argv + 2, argv + argc));
        }
    }
    return KitFail(std::string("unknown command '") + argv[1] + "'; try --help");
}
