#pragma once
// OpenAL reaches the game only through the table below, filled at run time from OpenAL Soft;
// the game links no OpenAL library. Include this header instead of <AL/al.h>: after it, a call
// such as alSourcePlay(source) goes through the published table.
#include <AL/al.h>
#include <AL/alc.h>

#include "audio/ALEntryPointList.h"

// Every function of OpenAL 1.1, al and alc, in header order. The prototypes above only give
// each slot its type; nothing calls them directly.
struct ALTable {
#define AL_TABLE_SLOT(name) decltype(&::name) name = nullptr;
    AL_ENTRY_POINTS(AL_TABLE_SLOT)
    ALC_ENTRY_POINTS(AL_TABLE_SLOT)
#undef AL_TABLE_SLOT
};

extern ALTable StagedAL;
extern ALTable PublishedAL;

constexpr int ALEntryPointsLoadedOk = 0;
constexpr int ALEntryPointMissing = 9002;

// The library, named by the system (ALLibraryName), and whether the tables are filled.
extern void* ALLibrary;
extern bool ALEntryPointsLoaded;

// How the loader looks a name up in the library.
struct ALSymbolSources {
    void* (*fromLibrary)(void* library, const char* name);
    void* library;
};

// Resolves all 93 names into the staged table. al names ask the published alGetProcAddress
// first when it is set, then the library; alc names ask the library first, then the published
// alcGetProcAddress. 9002 when any name is missing.
int LoadALEntryPoints();
int LoadALEntryPointsFrom(const ALSymbolSources& sources);

// The first name that the last load could not resolve, or null.
const char* MissingALEntryPoint();

void PublishALEntryPoints();
void ClearPublishedALEntryPoints();
void ClearStagedALEntryPoints();

int ALEntryPointCount();
int ALCEntryPointCount();

#include "audio/ALCallMacros.h"
