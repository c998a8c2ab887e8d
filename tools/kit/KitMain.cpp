// cataclysm-kit: looks inside and makes the game's files with the game's own decoders.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/System.h"
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
    std::vector<std::string> args = CommandLineArguments(argc, argv);
    if (args.empty() || args[0] == "--help" || args[0] == "-h") {
        PrintHelp(args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    for (const Family& family : Families()) {
        if (args[0] == family.name) {
            return family.function(std::vector<std::string>(args.begin() + 1, args.end()));
        }
    }
    return KitFail("unknown command '" + args[0] + "'; try --help");
}
