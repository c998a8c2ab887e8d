#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "audio/ALEntryPoints.h"
#include "audio/AudioDevice.h"
#include "render/GLEntryPoints.h"
#include "tests/support/RecordingAL.h"

namespace {

// A symbol source that knows some names, and counts who was asked for what.
struct FakeSymbols {
    static std::set<std::string> contextNames;  // what the GL context resolves
    static std::set<std::string> libraryNames;  // what the library exports
    static std::set<std::string> askedContext;
    static std::set<std::string> askedLibrary;

    static void Reset() {
        contextNames.clear();
        libraryNames.clear();
        askedContext.clear();
        askedLibrary.clear();
    }
    // A distinct, recognisable non-null address per source.
    static void* ContextAddress() { return reinterpret_cast<void*>(0x1000); }
    static void* LibraryAddress() { return reinterpret_cast<void*>(0x2000); }

    static void* FromContext(const char* name) {
        askedContext.insert(name);
        return contextNames.count(name) ? ContextAddress() : nullptr;
    }
    static void* FromLibrary(void*, const char* name) {
        askedLibrary.insert(name);
        return libraryNames.count(name) ? LibraryAddress() : nullptr;
    }
};
std::set<std::string> FakeSymbols::contextNames;
std::set<std::string> FakeSymbols::libraryNames;
std::set<std::string> FakeSymbols::askedContext;
std::set<std::string> FakeSymbols::askedLibrary;

void* const FakeLibraryHandle = reinterpret_cast<void*>(0x42);

#define NAME_OF(name) #name,
const char* const CoreNames[] = {GL_CORE_ENTRY_POINTS(NAME_OF)};
const char* const LegacyNames[] = {GL_LEGACY_ENTRY_POINTS(NAME_OF)};
const char* const ExtensionNames[] = {GL_EXTENSION_ENTRY_POINTS(NAME_OF)};
const char* const AlNames[] = {AL_ENTRY_POINTS(NAME_OF) ALC_ENTRY_POINTS(NAME_OF)};
#undef NAME_OF

template <typename Table>
bool AllNull(const Table& table) {
    Table empty{};
    return std::memcmp(&table, &empty, sizeof table) == 0;
}

class GLLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeSymbols::Reset();
        ClearStagedGLEntryPoints();
        ClearPublishedGLEntryPoints();
        for (const char* name : CoreNames)
            FakeSymbols::contextNames.insert(name);
        for (const char* name : LegacyNames)
            FakeSymbols::contextNames.insert(name);
        for (const char* name : ExtensionNames)
            FakeSymbols::contextNames.insert(name);
    }
    void TearDown() override {
        ClearStagedGLEntryPoints();
        ClearPublishedGLEntryPoints();
    }
    int Load() {
        return LoadGLEntryPointsFrom(
            {FakeSymbols::FromContext, FakeSymbols::FromLibrary, FakeLibraryHandle});
    }
};

}  // namespace

TEST(GLEntryPointLists, SetsHaveTheirMembersOnceEach) {
    EXPECT_EQ(GLCoreEntryPointCount(), 340);
    EXPECT_EQ(GLLegacyEntryPointCount(), 275);
    EXPECT_EQ(GLExtensionEntryPointCount(), 41);
    EXPECT_STREQ(CoreNames[0], "glActiveTexture");
    EXPECT_STREQ(CoreNames[GLCoreEntryPointCount() - 1], "glWaitSync");
    EXPECT_STREQ(LegacyNames[0], "glAccum");
    EXPECT_STREQ(LegacyNames[GLLegacyEntryPointCount() - 1], "glVertexPointer");

    std::set<std::string> core(std::begin(CoreNames), std::end(CoreNames));
    std::set<std::string> legacy(std::begin(LegacyNames), std::end(LegacyNames));
    std::set<std::string> all(core);
    all.insert(legacy.begin(), legacy.end());
    all.insert(std::begin(ExtensionNames), std::end(ExtensionNames));
    EXPECT_EQ(all.size(), 340u + 275u + 41u) << "no name in two sets";

    for (const char* name : {"glActiveTexture", "glAttachShader", "glBindTexture", "glBlendFunc",
                             "glClear", "glCompileShader", "glDrawElements", "glGetUniformLocation",
                             "glPolygonMode", "glTexImage2D", "glUniform3f", "glUseProgram"}) {
        EXPECT_TRUE(core.count(name)) << name << " is called by the game from the core set";
    }
    for (const char* name : {"glBegin", "glColor4fv", "glTranslated", "glMultMatrixd", "glOrtho",
                             "glNewList", "glCallLists", "glListBase", "glEnableClientState",
                             "glTexCoordPointer", "glShadeModel", "glGetPointerv"}) {
        EXPECT_TRUE(legacy.count(name)) << name << " is called by the game from the legacy set";
    }
    for (const char* name : {"glVertexAttribP1uiv", "glVertexAttribP4uiv", "glMultiTexCoord2f",
                             "glFogCoordf", "glSecondaryColor3f", "glWindowPos2i"}) {
        EXPECT_FALSE(all.count(name)) << name << " belongs to no set";
    }
}

TEST_F(GLLoaderTest, ContextFirstThenLibrary) {
    FakeSymbols::contextNames.erase("glClear");
    FakeSymbols::libraryNames.insert("glClear");
    ASSERT_EQ(Load(), GLEntryPointsLoadedOk);
    EXPECT_EQ(reinterpret_cast<void*>(StagedGLCore.glClear), FakeSymbols::LibraryAddress());
    EXPECT_EQ(reinterpret_cast<void*>(StagedGLCore.glViewport), FakeSymbols::ContextAddress());
    EXPECT_FALSE(FakeSymbols::askedLibrary.count("glViewport")) << "the library is only a fallback";
    EXPECT_TRUE(AllNull(PublishedGLCore)) << "loading stages; publishing is separate";

    PublishGLEntryPoints();
    EXPECT_EQ(reinterpret_cast<void*>(PublishedGLCore.glClear), FakeSymbols::LibraryAddress());
    EXPECT_EQ(reinterpret_cast<void*>(PublishedGLLegacy.glBegin), FakeSymbols::ContextAddress());
    ClearPublishedGLEntryPoints();
    EXPECT_TRUE(AllNull(PublishedGLCore));
    EXPECT_TRUE(AllNull(PublishedGLLegacy));
    EXPECT_FALSE(AllNull(StagedGLCore)) << "clearing the published tables leaves the staged ones";
}

TEST_F(GLLoaderTest, AMissingLegacyOrExtensionNameIsNoFailure) {
    FakeSymbols::contextNames.erase("glAccum");
    FakeSymbols::contextNames.erase("glBufferStorage");
    ASSERT_EQ(Load(), GLEntryPointsLoadedOk);
    EXPECT_EQ(StagedGLLegacy.glAccum, nullptr);
    EXPECT_EQ(StagedGLExtensions.glBufferStorage, nullptr);
    EXPECT_NE(StagedGLLegacy.glBegin, nullptr);
    EXPECT_EQ(MissingGLEntryPoint(), nullptr);
}

TEST_F(GLLoaderTest, AMissingCoreNameFailsBeforeTheOtherSets) {
    FakeSymbols::contextNames.erase("glWaitSync");
    EXPECT_EQ(Load(), GLEntryPointMissing);
    EXPECT_STREQ(MissingGLEntryPoint(), "glWaitSync");
    EXPECT_TRUE(FakeSymbols::askedLibrary.count("glWaitSync")) << "the fallback was tried";
    EXPECT_FALSE(FakeSymbols::askedContext.count("glBegin")) << "legacy names are not looked up";
    EXPECT_FALSE(FakeSymbols::askedContext.count("glBufferStorage"));

    // What start-up does after a failed load: both tables end up empty.
    ClearPublishedGLEntryPoints();
    ClearStagedGLEntryPoints();
    EXPECT_TRUE(AllNull(StagedGLCore));
    EXPECT_TRUE(AllNull(StagedGLLegacy));
    EXPECT_TRUE(AllNull(StagedGLExtensions));
    EXPECT_TRUE(AllNull(PublishedGLCore));
}

namespace {

class ALLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        FakeSymbols::Reset();
        ClearStagedALEntryPoints();
        ClearPublishedALEntryPoints();
        for (const char* name : AlNames)
            FakeSymbols::libraryNames.insert(name);
    }
    void TearDown() override {
        ClearStagedALEntryPoints();
        ClearPublishedALEntryPoints();
    }
    int Load() { return LoadALEntryPointsFrom({FakeSymbols::FromLibrary, FakeLibraryHandle}); }

    // Published lookups that answer every name with their own address.
    static void* AL_APIENTRY PublishedAlLookup(const ALchar*) { return &alLookups; }
    static void* ALC_APIENTRY PublishedAlcLookup(ALCdevice* device, const ALCchar*) {
        EXPECT_EQ(device, nullptr);
        return &alcLookups;
    }
    static int alLookups;
    static int alcLookups;
};
int ALLoaderTest::alLookups = 0;
int ALLoaderTest::alcLookups = 0;

}  // namespace

TEST_F(ALLoaderTest, EveryNameFromTheLibraryAtStartUp) {
    EXPECT_EQ(ALEntryPointCount(), 73);
    EXPECT_EQ(ALCEntryPointCount(), 20);
    EXPECT_STREQ(AlNames[0], "alEnable");
    EXPECT_STREQ(AlNames[72], "alDistanceModel");
    EXPECT_STREQ(AlNames[73], "alcCreateContext");
    EXPECT_STREQ(AlNames[92], "alcCaptureSamples");

    ASSERT_EQ(Load(), ALEntryPointsLoadedOk);
    EXPECT_EQ(FakeSymbols::askedLibrary.size(), 93u);
    EXPECT_EQ(reinterpret_cast<void*>(StagedAL.alSourcePlay), FakeSymbols::LibraryAddress());
    PublishALEntryPoints();
    EXPECT_EQ(reinterpret_cast<void*>(PublishedAL.alcCaptureSamples),
              FakeSymbols::LibraryAddress());
}

TEST_F(ALLoaderTest, AlNamesAskThePublishedLookupFirstAndAlcNamesTheLibraryFirst) {
    PublishedAL.alGetProcAddress = PublishedAlLookup;
    PublishedAL.alcGetProcAddress = PublishedAlcLookup;
    FakeSymbols::libraryNames.erase("alcGetError");  // only the published lookup knows it
    ASSERT_EQ(Load(), ALEntryPointsLoadedOk);
    EXPECT_EQ(reinterpret_cast<void*>(StagedAL.alSourcePlay), &alLookups);
    EXPECT_FALSE(FakeSymbols::askedLibrary.count("alSourcePlay"));
    EXPECT_EQ(reinterpret_cast<void*>(StagedAL.alcOpenDevice), FakeSymbols::LibraryAddress());
    EXPECT_EQ(reinterpret_cast<void*>(StagedAL.alcGetError), &alcLookups);
}

TEST_F(ALLoaderTest, AnyMissingNameFails) {
    FakeSymbols::libraryNames.erase("alDopplerVelocity");
    EXPECT_EQ(Load(), ALEntryPointMissing);
    EXPECT_STREQ(MissingALEntryPoint(), "alDopplerVelocity");
    EXPECT_TRUE(FakeSymbols::askedLibrary.count("alGetError"));
    EXPECT_FALSE(FakeSymbols::askedLibrary.count("alcOpenDevice")) << "alc is not reached";

    FakeSymbols::Reset();
    for (const char* name : AlNames)
        FakeSymbols::libraryNames.insert(name);
    FakeSymbols::libraryNames.erase("alcCaptureSamples");  // a library without capture
    EXPECT_EQ(Load(), ALEntryPointMissing);
    EXPECT_STREQ(MissingALEntryPoint(), "alcCaptureSamples");
    ClearPublishedALEntryPoints();
    ClearStagedALEntryPoints();
    EXPECT_TRUE(AllNull(StagedAL));
    EXPECT_TRUE(AllNull(PublishedAL));
}

TEST(AudioDevice, TriesEveryPreferredNameThenTheDefaultAndPlacesTheListener) {
    RecordingAL::Install();
    ASSERT_TRUE(OpenAudioDevice());
    const std::vector<std::string> expected = {"Creative Audigy 2",
                                               "Creative Audigy",
                                               "NVIDIA nForce2",
                                               "DirectSound3D",
                                               "DirectSound",
                                               "MMSYSTEM",
                                               ""};
    EXPECT_EQ(RecordingAL::RequestedDevices(), expected);
    auto context = RecordingAL::CallsTo("alcCreateContext");
    ASSERT_EQ(context.size(), 1u);
    EXPECT_EQ(context[0].args, (std::vector<double>{1, ALC_FREQUENCY, 44100}));
    auto position = RecordingAL::CallsTo("alListener3f");
    ASSERT_EQ(position.size(), 1u);
    EXPECT_EQ(position[0].args, (std::vector<double>{AL_POSITION, 0, 0, 0}));
    auto orientation = RecordingAL::CallsTo("alListenerfv");
    ASSERT_EQ(orientation.size(), 1u);
    EXPECT_EQ(orientation[0].args, (std::vector<double>{AL_ORIENTATION, 0, 0, -1, 0, 1, 0}));
    CloseAudioDevice();
    RecordingAL::Uninstall();
}

TEST(AudioDevice, StopsAtTheFirstNameThatOpensAndFailsWithoutDeviceOrContext) {
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
