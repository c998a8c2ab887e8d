#pragma once
#include <string>
#include <vector>

// One family of kit subcommands ("tga", "bundle", "wav", "ogg", "rep", ...). Each family lives
// in its own source file and registers itself, so adding one means adding one file.
// The function gets the words after the family name and returns the exit status; on bad input
// it prints one clear line on stderr and returns non-zero.
using KitCommandFunction = int (*)(const std::vector<std::string>& args);

struct KitCommandRegistration {
    KitCommandRegistration(const char* family, const char* help, KitCommandFunction function);
};

#define KIT_COMMAND(family, help, function) \
    static const KitCommandRegistration kitCommandRegistration_##function(family, help, function)

// Prints "cataclysm-kit: MESSAGE" on stderr and returns 1, for `return KitFail(...)`.
int KitFail(const std::string& message);
