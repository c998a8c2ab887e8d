#include "audio/ALEntryPoints.h"

#include <SDL.h>

ALTable StagedAL;
ALTable PublishedAL;
void* ALLibrary = nullptr;
bool ALEntryPointsLoaded = false;

namespace {

const char* FirstMissingName = nullptr;

#define AL_COUNT_NAME(name) +1
constexpr int AlCount = 0 AL_ENTRY_POINTS(AL_COUNT_NAME);
constexpr int AlcCount = 0 ALC_ENTRY_POINTS(AL_COUNT_NAME);
#undef AL_COUNT_NAME

template <typename Slot>
void Store(void* address, Slot& slot) {
    slot = reinterpret_cast<Slot>(address);
}

void* ResolveAl(const ALSymbolSources& sources, const char* name) {
    void* address = nullptr;
    if (PublishedAL.alGetProcAddress != nullptr) {
        address = alGetProcAddress(name);  // through the published table
    }
    if (address == nullptr && sources.library != nullptr) {
        address = sources.fromLibrary(sources.library, name);
    }
    return address;
}

void* ResolveAlc(const ALSymbolSources& sources, const char* name) {
    void* address = nullptr;
    if (sources.library != nullptr) {
        address = sources.fromLibrary(sources.library, name);
    }
    if (address == nullptr && PublishedAL.alcGetProcAddress != nullptr) {
        address = alcGetProcAddress(nullptr, name);
    }
    return address;
}

}  // namespace

int LoadALEntryPointsFrom(const ALSymbolSources& sources) {
    FirstMissingName = nullptr;
#define AL_RESOLVE(name) Store(ResolveAl(sources, #name), StagedAL.name);
    AL_ENTRY_POINTS(AL_RESOLVE)
#undef AL_RESOLVE

#define AL_CHECK(name)              \
    if (StagedAL.name == nullptr) { \
        FirstMissingName = #name;   \
        return ALEntryPointMissing; \
    }
    AL_ENTRY_POINTS(AL_CHECK)

#define ALC_RESOLVE(name) Store(ResolveAlc(sources, #name), StagedAL.name);
    ALC_ENTRY_POINTS(ALC_RESOLVE)
#undef ALC_RESOLVE
    ALC_ENTRY_POINTS(AL_CHECK)
#undef AL_CHECK
    return ALEntryPointsLoadedOk;
}

int LoadALEntryPoints() {
    return LoadALEntryPointsFrom({SDL_LoadFunction, ALLibrary});
}

const char* MissingALEntryPoint() {
    return FirstMissingName;
}

void PublishALEntryPoints() {
    PublishedAL = StagedAL;
}

void ClearPublishedALEntryPoints() {
    PublishedAL = ALTable{};
}

void ClearStagedALEntryPoints() {
    StagedAL = ALTable{};
}

int ALEntryPointCount() {
    return AlCount;
}
int ALCEntryPointCount() {
    return AlcCount;
}
