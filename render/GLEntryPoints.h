#pragma once
// OpenGL reaches the game only through the tables below, filled at run time from the system's
// OpenGL library; the game links no OpenGL library. Include this header instead of <GL/gl.h>:
// after it, a call such as glBegin(GL_QUADS) goes through the published table.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

#include "render/GLEntryPointList.h"

// The prototypes above only give each slot its type; nothing calls them directly.
#define GL_TABLE_SLOT(name) decltype(&::name) name = nullptr;

// The OpenGL 3.3 core-profile functions.
struct GLCoreTable {
    GL_CORE_ENTRY_POINTS(GL_TABLE_SLOT)
};

// The OpenGL 1.0 and 1.1 functions that the core profile removed: immediate mode, display
// lists, the matrix stack, client arrays.
struct GLLegacyTable {
    GL_LEGACY_ENTRY_POINTS(GL_TABLE_SLOT)
};

// Later or optional functions: loaded when present, never called.
struct GLExtensionTable {
    GL_EXTENSION_ENTRY_POINTS(GL_TABLE_SLOT)
};

#undef GL_TABLE_SLOT

// The loader writes the staged tables; everything else calls through the published ones.
extern GLCoreTable StagedGLCore;
extern GLLegacyTable StagedGLLegacy;
extern GLExtensionTable StagedGLExtensions;
extern GLCoreTable PublishedGLCore;
extern GLLegacyTable PublishedGLLegacy;

constexpr int GLEntryPointsLoadedOk = 0;
constexpr int GLEntryPointMissing = 9002;

// The library the entry points come from, named by the system (GLLibraryName), and whether the
// published tables are filled.
extern void* GLLibrary;
extern bool GLEntryPointsLoaded;

// Where the loader looks a name up: the current context first, then the library.
struct GLSymbolSources {
    void* (*fromContext)(const char* name);
    void* (*fromLibrary)(void* library, const char* name);
    void* library;
};

// Resolves every name into the staged tables from SDL's current context and GLLibrary.
// 0 on success; 9002 when a core function is missing (legacy and extension names are then not
// looked up). Missing legacy or extension functions stay null and are not an error.
int LoadGLEntryPoints();
int LoadGLEntryPointsFrom(const GLSymbolSources& sources);

// The first core name that the last load could not resolve, or null.
const char* MissingGLEntryPoint();

void PublishGLEntryPoints();
void ClearPublishedGLEntryPoints();
void ClearStagedGLEntryPoints();

// How many names each set has; the tables hold exactly these.
int GLCoreEntryPointCount();
int GLLegacyEntryPointCount();
int GLExtensionEntryPointCount();

#include "render/GLCallMacros.h"
