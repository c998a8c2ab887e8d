#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "audio/ALEntryPoints.h"
#include "audio/AudioDevice.h"
#include "render/GLEntryPoints.h"
#include "tests/support/RecordingAL.h"

namespace {

// A symbol source that knows some names: what the context and the library resolve.
std::set<std::string> ContextNames, LibraryNames;
void* const ContextAddress = reinterpret_cast<void*>(0x1000);
void* const LibraryAddress = reinterpret_cast<void*>(0x2000);
void* const FakeLibraryHandle = reinterpret_cast<void*>(0x42);

void* FromContext(const char* name) {
    return ContextNames.count(name) ? ContextAddress : nullptr;
}

void* FromLibrary(void* library, const char* name) {
    EXPECT_EQ(library, FakeLibraryHandle);
    return LibraryNames.count(name) ? LibraryAddress : nullptr;
}

#define NAME_OF(name) #name,
const char* const GlNames[] = {GL_CORE_ENTRY_POINTS(NAME_OF) GL_LEGACY_ENTRY_POINTS(NAME_OF)
                                   GL_EXTENSION_ENTRY_POINTS(NAME_OF)};
const char* const AlNames[] = {AL_ENTRY_POINTS(NAME_OF) ALC_ENTRY_POINTS(NAME_OF)};
#undef NAME_OF

// Forgets every name, then lets `names` resolve through `known`.
template <size_t Count>
void KnowOnly(std::set<std::string>& known, const char* const (&names)[Count]) {
    ContextNames.clear();
    LibraryNames.clear();
    known.insert(std::begin(names), std::end(names));
}

template <typename Table>
bool AllNull(const Table& table) {
    Table empty{};
    return std::memcmp(&table, &empty, sizeof table) == 0;
}

}  // namespace

// A name the context lacks comes from the library; only the core names must resolve, and the
// first one missing is named. Loading stages the tables; publishing hands them to the game.
TEST(GLLoader, ContextFirstThenLibraryAndOnlyCoreNamesMustResolve) {
    KnowOnly(ContextNames, GlNames);
    const GLSymbolSources sources = {FromContext, FromLibrary, FakeLibraryHandle};
    ContextNames.erase("glClear");
    LibraryNames.insert("glClear");
    ContextNames.erase("glAccum");
    ContextNames.erase("glBufferStorage");
    ASSERT_EQ(LoadGLEntryPointsFrom(sources), GLEntryPointsLoadedOk);
    EXPECT_EQ(GLCoreEntryPointCount(), 340) << "the names the game cannot start without";
    EXPECT_EQ(StagedGLLegacy.glAccum, nullptr) << "missing legacy and extension names stay null";
    EXPECT_EQ(StagedGLExtensions.glBufferStorage, nullptr);
    PublishGLEntryPoints();
    EXPECT_EQ(reinterpret_cast<void*>(PublishedGLCore.glClear), LibraryAddress);
    EXPECT_EQ(reinterpret_cast<void*>(PublishedGLCore.glViewport), ContextAddress);
    EXPECT_EQ(reinterpret_cast<void*>(PublishedGLLegacy.glBegin), ContextAddress);

    ContextNames.erase("glWaitSync");
    EXPECT_EQ(LoadGLEntryPointsFrom(sources), GLEntryPointMissing);
    EXPECT_STREQ(MissingGLEntryPoint(), "glWaitSync");
    // What start-up does after a failed load: every table ends up empty.
    ClearPublishedGLEntryPoints();
    ClearStagedGLEntryPoints();
    EXPECT_TRUE(AllNull(StagedGLCore) && AllNull(StagedGLLegacy) && AllNull(StagedGLExtensions) &&
                AllNull(PublishedGLCore) && AllNull(PublishedGLLegacy));
}

// The game loads the AL and ALC names once, at start-up, from the library: each must resolve, and
// a failed load leaves every table empty.
TEST(ALLoader, AnyMissingNameFails) {
    EXPECT_EQ(ALEntryPointCount() + ALCEntryPointCount(), 93);
    for (const char* missing : {"alDopplerVelocity", "alcCaptureSamples"}) {
        KnowOnly(LibraryNames, AlNames);
        LibraryNames.erase(missing);
        EXPECT_EQ(LoadALEntryPointsFrom({FromLibrary, FakeLibraryHandle}), ALEntryPointMissing);
        EXPECT_STREQ(MissingALEntryPoint(), missing);
    }
    ClearPublishedALEntryPoints();
    ClearStagedALEntryPoints();
    EXPECT_TRUE(AllNull(StagedAL) && AllNull(PublishedAL));
}

// The default device gets a 44100 Hz context (the named ones are no device OpenAL Soft knows);
// without a device or a context the sound fails, and the device that opened is closed.
TEST(AudioDevice, MixesAt44100HzAndFailsWithoutDeviceOrContext) {
    RecordingAL::Install();
    ASSERT_TRUE(OpenAudioDevice());
    EXPECT_EQ(RecordingAL::CallsTo("alcCreateContext"),
              (std::vector<RecordedCall>{{"alcCreateContext", {1, ALC_FREQUENCY, 44100}}}));
    CloseAudioDevice();

    RecordingAL::Install();
    RecordingAL::AllowDevices({});
    EXPECT_FALSE(OpenAudioDevice());

    RecordingAL::Install();
    RecordingAL::RefuseContexts(true);
    EXPECT_FALSE(OpenAudioDevice());
    CloseAudioDevice();
    EXPECT_EQ(RecordingAL::CallsTo("alcCloseDevice").size(), 1u) << "the open device is closed";
    RecordingAL::Uninstall();
}
