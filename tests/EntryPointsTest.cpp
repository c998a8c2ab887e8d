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

// A symbol source that knows some names, and records which names each side was asked for.
std::set<std::string> ContextNames, LibraryNames;  // what the context and the library resolve
std::set<std::string> AskedContext, AskedLibrary;
void* const ContextAddress = reinterpret_cast<void*>(0x1000);
void* const LibraryAddress = reinterpret_cast<void*>(0x2000);
void* const FakeLibraryHandle = reinterpret_cast<void*>(0x42);

void* FromContext(const char* name) {
    AskedContext.insert(name);
    return ContextNames.count(name) ? ContextAddress : nullptr;
}

void* FromLibrary(void* library, const char* name) {
    EXPECT_EQ(library, FakeLibraryHandle);
    AskedLibrary.insert(name);
    return LibraryNames.count(name) ? LibraryAddress : nullptr;
}

#define NAME_OF(name) #name,
const char* const CoreNames[] = {GL_CORE_ENTRY_POINTS(NAME_OF)};
const char* const LegacyNames[] = {GL_LEGACY_ENTRY_POINTS(NAME_OF)};
const char* const ExtensionNames[] = {GL_EXTENSION_ENTRY_POINTS(NAME_OF)};
const char* const AlNames[] = {AL_ENTRY_POINTS(NAME_OF) ALC_ENTRY_POINTS(NAME_OF)};
#undef NAME_OF

// Forgets every name and question, then lets `names` resolve through `known`.
template <size_t Count>
void KnowOnly(std::set<std::string>& known, const char* const (&names)[Count]) {
    ContextNames.clear();
    LibraryNames.clear();
    AskedContext.clear();
    AskedLibrary.clear();
    known.insert(std::begin(names), std::end(names));
}

template <typename Table>
bool AllNull(const Table& table) {
    Table empty{};
    return std::memcmp(&table, &empty, sizeof table) == 0;
}

// Every GL name resolves through the context unless a test takes it away.
class GLLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        TearDown();
        KnowOnly(ContextNames, CoreNames);
        ContextNames.insert(std::begin(LegacyNames), std::end(LegacyNames));
        ContextNames.insert(std::begin(ExtensionNames), std::end(ExtensionNames));
    }
    void TearDown() override {
        ClearStagedGLEntryPoints();
        ClearPublishedGLEntryPoints();
    }
    int Load() { return LoadGLEntryPointsFrom({FromContext, FromLibrary, FakeLibraryHandle}); }
};

}  // namespace

// The names the game calls sit in the table it calls them through, or it would not build; the
// counts keep every other name in its set.
TEST(GLEntryPointLists, SetsHaveTheirMembersOnceEach) {
    EXPECT_EQ(GLCoreEntryPointCount(), 340);
    EXPECT_EQ(GLLegacyEntryPointCount(), 275);
    EXPECT_EQ(GLExtensionEntryPointCount(), 41);
    std::set<std::string> all(std::begin(CoreNames), std::end(CoreNames));
    all.insert(std::begin(LegacyNames), std::end(LegacyNames));
    all.insert(std::begin(ExtensionNames), std::end(ExtensionNames));
    EXPECT_EQ(all.size(), 340u + 275u + 41u) << "no name in two sets";
}

TEST_F(GLLoaderTest, ContextFirstThenLibraryAndOnlyCoreNamesMustResolve) {
    ContextNames.erase("glClear");
    LibraryNames.insert("glClear");
    ContextNames.erase("glAccum");
    ContextNames.erase("glBufferStorage");
    ASSERT_EQ(Load(), GLEntryPointsLoadedOk);
    EXPECT_EQ(MissingGLEntryPoint(), nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(StagedGLCore.glClear), LibraryAddress);
    EXPECT_EQ(reinterpret_cast<void*>(StagedGLCore.glViewport), ContextAddress);
    EXPECT_FALSE(AskedLibrary.count("glViewport")) << "the library is only a fallback";
    EXPECT_EQ(StagedGLLegacy.glAccum, nullptr) << "missing legacy and extension names stay null";
    EXPECT_EQ(StagedGLExtensions.glBufferStorage, nullptr);
    EXPECT_TRUE(AllNull(PublishedGLCore)) << "loading stages; publishing is separate";

    PublishGLEntryPoints();
    EXPECT_EQ(reinterpret_cast<void*>(PublishedGLCore.glClear), LibraryAddress);
    EXPECT_EQ(reinterpret_cast<void*>(PublishedGLLegacy.glBegin), ContextAddress);
    ClearPublishedGLEntryPoints();
    EXPECT_TRUE(AllNull(PublishedGLCore) && AllNull(PublishedGLLegacy));
    EXPECT_FALSE(AllNull(StagedGLCore)) << "clearing the published tables leaves the staged ones";
}

TEST_F(GLLoaderTest, AMissingCoreNameFailsBeforeTheOtherSets) {
    ContextNames.erase("glWaitSync");
    EXPECT_EQ(Load(), GLEntryPointMissing);
    EXPECT_STREQ(MissingGLEntryPoint(), "glWaitSync");
    EXPECT_TRUE(AskedLibrary.count("glWaitSync")) << "the fallback was tried";
    EXPECT_FALSE(AskedContext.count("glBegin")) << "legacy names are not looked up";
    EXPECT_FALSE(AskedContext.count("glBufferStorage"));

    // What start-up does after a failed load: every table ends up empty.
    ClearPublishedGLEntryPoints();
    ClearStagedGLEntryPoints();
    EXPECT_TRUE(AllNull(StagedGLCore) && AllNull(StagedGLLegacy) && AllNull(StagedGLExtensions));
}

namespace {

// Every AL name resolves through the library unless a test takes it away.
class ALLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        TearDown();
        KnowOnly(LibraryNames, AlNames);
    }
    void TearDown() override {
        ClearStagedALEntryPoints();
        ClearPublishedALEntryPoints();
    }
    int Load() { return LoadALEntryPointsFrom({FromLibrary, FakeLibraryHandle}); }
};

// Published lookups that answer every name with an address of their own.
void* const AlLookupAddress = reinterpret_cast<void*>(0x3000);
void* const AlcLookupAddress = reinterpret_cast<void*>(0x4000);
void* AL_APIENTRY PublishedAlLookup(const ALchar*) {
    return AlLookupAddress;
}
void* ALC_APIENTRY PublishedAlcLookup(ALCdevice* device, const ALCchar*) {
    EXPECT_EQ(device, nullptr);
    return AlcLookupAddress;
}

}  // namespace

TEST_F(ALLoaderTest, EveryNameFromTheLibrary) {
    EXPECT_EQ(ALEntryPointCount(), 73);
    EXPECT_EQ(ALCEntryPointCount(), 20);

    ASSERT_EQ(Load(), ALEntryPointsLoadedOk);
    EXPECT_EQ(AskedLibrary.size(), 93u);
    EXPECT_EQ(reinterpret_cast<void*>(StagedAL.alSourcePlay), LibraryAddress);
    PublishALEntryPoints();
    EXPECT_EQ(reinterpret_cast<void*>(PublishedAL.alcCaptureSamples), LibraryAddress);
}

TEST_F(ALLoaderTest, AlNamesAskThePublishedLookupFirstAndAlcNamesTheLibraryFirst) {
    PublishedAL.alGetProcAddress = PublishedAlLookup;
    PublishedAL.alcGetProcAddress = PublishedAlcLookup;
    LibraryNames.erase("alcGetError");  // only the published lookup knows it
    ASSERT_EQ(Load(), ALEntryPointsLoadedOk);
    EXPECT_EQ(reinterpret_cast<void*>(StagedAL.alSourcePlay), AlLookupAddress);
    EXPECT_FALSE(AskedLibrary.count("alSourcePlay"));
    EXPECT_EQ(reinterpret_cast<void*>(StagedAL.alcOpenDevice), LibraryAddress);
    EXPECT_EQ(reinterpret_cast<void*>(StagedAL.alcGetError), AlcLookupAddress);
}

TEST_F(ALLoaderTest, AnyMissingNameFails) {
    LibraryNames.erase("alDopplerVelocity");
    EXPECT_EQ(Load(), ALEntryPointMissing);
    EXPECT_STREQ(MissingALEntryPoint(), "alDopplerVelocity");
    EXPECT_TRUE(AskedLibrary.count("alGetError"));
    EXPECT_FALSE(AskedLibrary.count("alcOpenDevice")) << "alc is not reached";

    KnowOnly(LibraryNames, AlNames);
    LibraryNames.erase("alcCaptureSamples");  // a library without capture
    EXPECT_EQ(Load(), ALEntryPointMissing);
    EXPECT_STREQ(MissingALEntryPoint(), "alcCaptureSamples");
    ClearPublishedALEntryPoints();
    ClearStagedALEntryPoints();
    EXPECT_TRUE(AllNull(StagedAL) && AllNull(PublishedAL));
}

TEST(AudioDevice, TriesEachNameInTurnPlacesTheListenerAndFailsWithoutDeviceOrContext) {
    RecordingAL::Install();
    ASSERT_TRUE(OpenAudioDevice());
    EXPECT_EQ(RecordingAL::RequestedDevices(),
              (std::vector<std::string>{"Creative Audigy 2", "Creative Audigy", "NVIDIA nForce2",
                                        "DirectSound3D", "DirectSound", "MMSYSTEM", ""}));
    using Calls = std::vector<RecordedCall>;
    EXPECT_EQ(RecordingAL::CallsTo("alcCreateContext"),
              (Calls{{"alcCreateContext", {1, ALC_FREQUENCY, 44100}}}));
    EXPECT_EQ(RecordingAL::CallsTo("alListener3f"),
              (Calls{{"alListener3f", {AL_POSITION, 0, 0, 0}}}));
    EXPECT_EQ(RecordingAL::CallsTo("alListenerfv"),
              (Calls{{"alListenerfv", {AL_ORIENTATION, 0, 0, -1, 0, 1, 0}}}));
    CloseAudioDevice();

    RecordingAL::Install();
    RecordingAL::AllowDevices({"DirectSound"});
    ASSERT_TRUE(OpenAudioDevice());
    EXPECT_EQ(RecordingAL::RequestedDevices().back(), "DirectSound");
    CloseAudioDevice();

    RecordingAL::Install();
    RecordingAL::AllowDevices({});
    EXPECT_FALSE(OpenAudioDevice());
    EXPECT_TRUE(RecordingAL::CallsTo("alcCreateContext").empty());

    RecordingAL::Install();
    RecordingAL::RefuseContexts(true);
    EXPECT_FALSE(OpenAudioDevice());
    EXPECT_TRUE(RecordingAL::CallsTo("alListener3f").empty());
    CloseAudioDevice();
    EXPECT_EQ(RecordingAL::CallsTo("alcCloseDevice").size(), 1u) << "the open device is closed";
    RecordingAL::Uninstall();
}
