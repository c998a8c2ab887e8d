// Copies the GLSL sources, kept as text in assets/shaders/, into base/shaders/ unchanged.
#include <cstdio>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "tools/forge/ForgeStep.h"

namespace {

const char* const ShaderFiles[] = {"default.qvs", "default.qfs", "shipinv.qfs", "heat.qvs",
                                   "heat.qfs"};

bool CopyShaders(const ForgeContext& context) {
    for (const char* name : ShaderFiles) {
        std::string source = context.inputRoot + "/shaders/" + name;
        FILE* file = std::fopen(source.c_str(), "rb");
        std::vector<uint8_t> bytes;
        bool read = file != nullptr && ReadWholeStream(file, bytes);
        if (file != nullptr) {
            std::fclose(file);
        }
        if (!read) {
            std::fprintf(stderr, "cataclysm-forge: cannot read %s\n", source.c_str());
            return false;
        }
        if (!WriteForgedFile(context, std::string("shaders/") + name, bytes.data(), bytes.size())) {
            return false;
        }
    }
    return true;
}

}  // namespace

FORGE_STEP("shaders", CopyShaders);
