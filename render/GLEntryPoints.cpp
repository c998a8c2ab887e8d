#include "render/GLEntryPoints.h"

#include <SDL.h>

GLCoreTable StagedGLCore;
GLLegacyTable StagedGLLegacy;
GLExtensionTable StagedGLExtensions;
GLCoreTable PublishedGLCore;
GLLegacyTable PublishedGLLegacy;

void* GLLibrary = nullptr;
bool GLEntryPointsLoaded = false;

namespace {

const char* FirstMissingName = nullptr;

#define GL_COUNT_NAME(name) +1
constexpr int CoreCount = 0 GL_CORE_ENTRY_POINTS(GL_COUNT_NAME);
constexpr int LegacyCount = 0 GL_LEGACY_ENTRY_POINTS(GL_COUNT_NAME);
constexpr int ExtensionCount = 0 GL_EXTENSION_ENTRY_POINTS(GL_COUNT_NAME);
#undef GL_COUNT_NAME

// Function and data pointers have the same size on every platform the game runs on.
template <typename Slot>
void Resolve(const GLSymbolSources& sources, const char* name, Slot& slot) {
    void* address = sources.fromContext(name);
    if (address == nullptr && sources.library != nullptr) {
        address = sources.fromLibrary(sources.library, name);
    }
    slot = reinterpret_cast<Slot>(address);
}

void* FromSdlContext(const char* name) {
    return SDL_GL_GetProcAddress(name);
}

}  // namespace

int LoadGLEntryPointsFrom(const GLSymbolSources& sources) {
    FirstMissingName = nullptr;
#define GL_RESOLVE_CORE(name) Resolve(sources, #name, StagedGLCore.name);
    GL_CORE_ENTRY_POINTS(GL_RESOLVE_CORE)
#undef GL_RESOLVE_CORE

#define GL_CHECK_CORE(name)             \
    if (StagedGLCore.name == nullptr) { \
        FirstMissingName = #name;       \
        return GLEntryPointMissing;     \
    }
    GL_CORE_ENTRY_POINTS(GL_CHECK_CORE)
#undef GL_CHECK_CORE

#define GL_RESOLVE_EXTENSION(name) Resolve(sources, #name, StagedGLExtensions.name);
    GL_EXTENSION_ENTRY_POINTS(GL_RESOLVE_EXTENSION)
#undef GL_RESOLVE_EXTENSION
#define GL_RESOLVE_LEGACY(name) Resolve(sources, #name, StagedGLLegacy.name);
    GL_LEGACY_ENTRY_POINTS(GL_RESOLVE_LEGACY)
#undef GL_RESOLVE_LEGACY
    return GLEntryPointsLoadedOk;
}

int LoadGLEntryPoints() {
    return LoadGLEntryPointsFrom({FromSdlContext, SDL_LoadFunction, GLLibrary});
}

const char* MissingGLEntryPoint() {
    return FirstMissingName;
}

void PublishGLEntryPoints() {
    PublishedGLCore = StagedGLCore;
    PublishedGLLegacy = StagedGLLegacy;
}

void ClearPublishedGLEntryPoints() {
    PublishedGLCore = GLCoreTable{};
    PublishedGLLegacy = GLLegacyTable{};
}

void ClearStagedGLEntryPoints() {
    StagedGLCore = GLCoreTable{};
    StagedGLLegacy = GLLegacyTable{};
    StagedGLExtensions = GLExtensionTable{};
}

int GLCoreEntryPointCount() {
    return CoreCount;
}
int GLLegacyEntryPointCount() {
    return LegacyCount;
}
int GLExtensionEntryPointCount() {
    return ExtensionCount;
}
