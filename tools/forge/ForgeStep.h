#pragma once
#include <string>

// Where a forge step writes and what it may read.
struct ForgeContext {
    std::string assetRoot;  // bin/base/: every made file goes below it
    std::string inputRoot;  // assets/ in the source tree: hand-written text inputs
};

// One kind of asset the forge makes (pictures, sounds, the default settings, ...).
// Steps register themselves, so adding a kind of asset means adding one source file.
using ForgeStepFunction = bool (*)(const ForgeContext& context);

struct ForgeStepRegistration {
    ForgeStepRegistration(const char* name, ForgeStepFunction function);
};

#define FORGE_STEP(name, function) \
    static const ForgeStepRegistration forgeStepRegistration_##function(name, function)

// Writes bytes to assetRoot/relativePath, making its folders; false with a message on failure.
bool WriteForgedFile(const ForgeContext& context, const std::string& relativePath,
                     const void* bytes, size_t size);
