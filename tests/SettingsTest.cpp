#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/System.h"
#include "settings/Repository.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsValues.h"
#include "tests/support/RepositoryBytes.h"
#include "tests/support/SettingsFixture.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TestSystem.h"

using namespace RepositoryBytes;

TEST(Repository, WritesTheExampleFileByteForByte) {
    Repository repository;
    repository.AddSection("BrindlesCataclysm", 1);
    const uint8_t width[] = {0x80, 0x02, 0x00, 0x00};
    repository.AddEntry(1, "ScreenWidth", width, 3);
    Bytes expected = Join({{0x4E, 0x3E, 0x4E, 0x3E, 0xE0, 84, 0, 0, 0},
                           Text(DefaultRepositoryHeader),
                           {0xDA, 22, 0, 0, 0, 26, 0, 0, 0},
                           Text("BrindlesCataclysm"),
                           {0x00, 0x01, 0x00, 0x00, 0x00, 0x5C, 0x2F},
                           {0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00},
                           Text("ScreenWidth"),
                           {0x00, 0x3D, 0x80, 0x02, 0x00, 0x00, 0x3B}});
    EXPECT_EQ(repository.Encode(), expected);
    Repository empty, loaded;
    EXPECT_TRUE(DecodeInto(loaded, empty.Encode())) << "even an empty repository saves a file";
}

TEST(Repository, LoadAndSaveReverseTheRecordsAndKeepEveryValue) {
    std::vector<Bytes> entries = {
        IntEntry(1, "HighScore", 123456),
        EntryRecord(2, 5, "LastLevel", CString("levels/seven")),
        EntryRecord(1, 6, "Gamma", {0x00, 0x00, 0x80, 0x3F}),
        EntryRecord(1, 1, "Flag", {0x85}),
        EntryRecord(2, 13, "Matrix", Bytes(32, 0xA5)),
        EntryRecord(2, 99, "CodeHigh", {5, 6, 7, 8}),
        IntEntry(42, "Orphan", -7),  // no section has id 42
    };
    Bytes entriesBlock, reversedEntries;
    for (const Bytes& entry : entries) {
        entriesBlock = Join({entriesBlock, entry});
        reversedEntries = Join({entry, reversedEntries});
    }
    Bytes editor = SectionRecord("Editor", 2);

    Repository repository;
    ASSERT_TRUE(DecodeInto(repository, File("own\r\n", Join({editor, GameSection}), entriesBlock)));
    EXPECT_EQ(repository.Encode(), File("own\r\n", Join({GameSection, editor}), reversedEntries));
}

// Each malformed file is a well-formed one with one thing wrong.
TEST(Repository, RejectsEveryMalformedFileWithoutReadingOutsideIt) {
    Bytes entry = IntEntry(1, "HighScore", 5);
    Bytes good = File("h", GameSection, entry);
    auto with = [&](size_t offset, const Bytes& field) {
        Bytes bytes = good;
        std::copy(field.begin(), field.end(), bytes.begin() + offset);
        return bytes;
    };
    auto cut = [&](size_t size) { return Bytes(good.begin(), good.begin() + size); };
    // Offsets in good: L at 5, 0xDA at 10, S at 11, E at 15, sections at 19, entries at 43.
    const size_t markerAt = 19 + GameSection.size();
    const size_t entriesAt = markerAt + 2;
    auto withEntries = [&](const Bytes& entries) { return File("h", GameSection, entries); };
    Bytes key = Join({Le32(1), Le32(5), CString("Key"), {0x3D}});

    std::vector<std::pair<const char*, Bytes>> cases = {
        {"empty file", {}},
        {"wrong magic", with(1, {0x3F})},
        {"magic cut short", cut(3)},
        {"missing 0xE0", with(4, {0xE1})},
        {"header length cut short", cut(7)},
        {"header length 0", with(5, Le32(0))},
        {"header past the end", with(5, Le32(0xFFFFFFFF))},
        {"header swallowing the rest", with(5, Le32(static_cast<uint32_t>(good.size() - 9)))},
        {"missing 0xDA", with(10, {0xDB})},
        {"block sizes cut short", cut(17)},
        {"sections block past the end", with(11, Le32(0xFFFFFFF0))},
        {"sections block cut short", cut(29)},
        {"section name without its NUL", File("h", Text("BrindlesCataclysm"), entry)},
        {"section id past the block", File("h", Join({CString("Name"), {1, 0}}), entry)},
        {"missing backslash-slash", with(markerAt + 1, {0x5C})},
        {"entries block past the end", with(15, Le32(0xFFFFFFFF))},
        {"entries block cut short", cut(good.size() - 1)},
        {"entry header past the block", withEntries(Join({entry, Le32(1), {3, 0}}))},
        {"key without its NUL", withEntries(Join({entry, Le32(1), Le32(3), Text("Key")}))},
        {"missing '='", with(entriesAt + 18, {0x3E})},
        {"integer value past the block",
         withEntries(Join({Le32(1), Le32(3), CString("Key"), {0x3D, 1, 2}}))},
        {"missing ';'", with(good.size() - 1, {0x3A})},
        {"string without its NUL", withEntries(Join({key, Text("abc")}))},
        {"string without ';'", withEntries(Join({key, CString("abc")}))},
        {"32-byte value past the block", withEntries(EntryRecord(1, 13, "Key", Bytes(30, 9)))},
    };
    for (const auto& [what, bytes] : cases) {
        Repository repository;
        EXPECT_FALSE(DecodeInto(repository, bytes)) << what;
        EXPECT_FALSE(repository.Failure().empty()) << what;
    }
    Repository repository;
    EXPECT_TRUE(DecodeInto(repository, good)) << "the unbroken file loads";
}

TEST(Repository, AFaultPartWayKeepsWhatCameBeforeIt) {
    Bytes entries = Join({IntEntry(1, "ScreenWidth", 800), IntEntry(1, "Broken", 1)});
    entries.back() = 0x00;  // the second entry lacks its ';'
    Repository repository;
    EXPECT_FALSE(DecodeInto(repository, File("h", GameSection, entries)));
    int32_t width = 0;
    EXPECT_TRUE(repository.GetInt("ScreenWidth", &width));
    EXPECT_EQ(width, 800);
}

TEST(Repository, TheFirstOfTwoEntriesAndTheLaterOfTwoSectionsWin) {
    Bytes later = SectionRecord("BrindlesCataclysm", 2);
    Bytes entries = Join({IntEntry(1, "Score", 10), IntEntry(2, "Score", 20),
                          IntEntry(2, "Score", 30), IntEntry(2, "Other", 1)});
    Repository repository;
    ASSERT_TRUE(DecodeInto(repository, File("h", Join({GameSection, later}), entries)));
    int32_t score = 0;
    EXPECT_TRUE(repository.GetInt("Score", &score));
    EXPECT_EQ(score, 20) << "read from the later section, id 2";
    EXPECT_EQ(
        repository.Encode(),
        File("h", Join({later, GameSection}),
             Join({IntEntry(2, "Other", 1), IntEntry(2, "Score", 20), IntEntry(1, "Score", 10)})))
        << "the duplicate is not written back";
}

TEST(Repository, GetIntAndSetIntWorkOnlyOnEntriesOfTheGameSection) {
    Bytes file = File("h", GameSection,
                      Join({EntryRecord(1, 6, "Gamma", {0x00, 0x00, 0x80, 0x3F}),
                            EntryRecord(1, 1, "Flag", {0x85}), IntEntry(7, "Elsewhere", 9)}));
    Repository repository;
    ASSERT_TRUE(DecodeInto(repository, file));
    int32_t value = -12;
    EXPECT_TRUE(repository.GetInt("HighScore", &value)) << "a missing key is not a failure";
    EXPECT_TRUE(repository.GetInt("Elsewhere", &value));
    EXPECT_EQ(value, -12) << "and leaves the output alone";
    EXPECT_TRUE(repository.GetInt("Flag", &value));
    EXPECT_EQ(value, 0x85) << "a short value is padded with zeros";
    EXPECT_TRUE(repository.GetInt("Gamma", &value));
    EXPECT_EQ(value, 0x3F800000) << "any type reads as its first four bytes";

    EXPECT_FALSE(repository.SetInt("HighScore", &value));
    EXPECT_FALSE(repository.HasEntry(1, "HighScore")) << "SetInt never adds a key";
    value = 1234;
    EXPECT_TRUE(repository.SetInt("Gamma", &value));
    EXPECT_EQ(repository.Encode(),
              File("h", GameSection,
                   Join({IntEntry(7, "Elsewhere", 9), EntryRecord(1, 1, "Flag", {0x85}),
                         IntEntry(1, "Gamma", 1234)})))
        << "Gamma became a 4-byte integer";

    Repository noGame;
    ASSERT_TRUE(DecodeInto(noGame, File("h", SectionRecord("Editor", 1), IntEntry(1, "X", 3))));
    EXPECT_FALSE(noGame.GetInt("X", &value));
    EXPECT_FALSE(noGame.SetInt("X", &value));
}

// Beside the game while its config folder exists and takes files; the player's own file, in the
// player's configuration folder, for a missing one. (A folder that takes no files, or that lies in
// the system's own tree of programs, is a system-wide install, which each system sees its own way.)
// Without a configuration folder there is no file, and a save says so.
TEST(SettingsLocation, TheFileBesideTheGameUnlessItsFolderIsMissing) {
    TempFolder game, player;
    PlayerConfigFolderAt configHome(player.Path() + "/config");
    const std::string own = player.Path() + "/config/" + PerUserSettingsFolder + "/bc.rep";
    const std::string beside = game.Path() + "/base/config/bc.rep";
    const std::string executable = game.Path() + "/brindles-cataclysm";

    EXPECT_EQ(ChooseFor(executable), (Chosen{own, beside, true})) << "no config folder";
    game.Write("base/config/bc.rep", {1});
    EXPECT_EQ(ChooseFor(executable), (Chosen{beside, "", false}));
    EXPECT_EQ(SettingsSaveProblem(SettingsLocation{"", "", true}),
              "no folder to keep the settings in");
}

// What a file lacks gets its default (640 x 480 at 16 bits, high score 0, shaders and sound
// off), except the brightness, which keeps its value; only exactly 1 switches a path on. A save
// then writes every value memory holds, adding the keys the file lacked; a file that could not be
// decoded is kept beside first.
TEST_F(Settings, EachValueLoadsOrTakesItsDefaultAndASaveWritesThemAllBack) {
    struct Case {
        const char* name;
        std::optional<Bytes> file;
        Numbers values;  // width, height, depth, brightness, high score
        bool on;         // GLSL enabled and chosen, sound enabled
    };
    const Case cases[] = {
        {"no file", std::nullopt, {640, 480, 16, 2, 0}, false},
        {"a fresh install's file", FreshSettingsFile(777), {1024, 768, 32, 0, 777}, true},
        {"GLSL and Sound 2", AllSeven(2, 2), {1280, 1024, 24, 1, 31337}, false},
        {"no high score", GameFile(IntEntry(1, "ScreenWidth", 800)), {800, 480, 16, 2, 0}, false},
        {"empty", Bytes{}, {640, 480, 16, 2, 0}, false},
        {"undecodable", CutShort(), {640, 480, 16, 2, 0}, false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        if (test.file) {
            folder.Write(SettingsPath, *test.file);
        }
        Brightness = 2;
        HighScore = 77;
        GlslEnabled = GlslChoice = SoundEnabled = false;
        Load();
        const Numbers& v = test.values;
        EXPECT_EQ((Numbers{ScreenWidth, ScreenHeight, ColorDepth, Brightness, HighScore}), v);
        EXPECT_EQ((std::vector<bool>{GlslEnabled, GlslChoice, SoundEnabled}),
                  std::vector<bool>(3, test.on));
        ScreenWidth = 1000;
        GlslChoice = true;
        EXPECT_EQ(Save(), "");
        EXPECT_EQ(Saved(), (Numbers{1000, v[1], v[2], v[3], 1, test.on, v[4]}));
        EXPECT_EQ(ConfigFiles().size(), test.file == CutShort() ? 3u : 2u) << "bc.rep.bad or not";
    }
    EXPECT_EQ(folder.Read(SettingsPath + ".bad"), CutShort());
}

TEST_F(Settings, SavingWritesTheValuesBackAndKeepsEverythingElseInTheFile) {
    Bytes original = File("our own header\r\n",
                          Join({SectionRecord("Editor", 2), SectionRecord("BrindlesCataclysm", 1)}),
                          Join({SevenEntries(1, 0), IntEntry(2, "HighScore", 555),
                                EntryRecord(2, 5, "Path", CString("maps/one")),
                                EntryRecord(1, 6, "Gamma", {0, 0, 0x80, 0x3F})}));
    folder.Write(SettingsPath, original);
    Load();
    GlslChoice = false;
    HighScore = 20;
    EXPECT_EQ(Save(), "");
    EXPECT_TRUE(GlslEnabled) << "the choice takes effect at the next start";

    // The same records, in reverse, with the new choice and high score.
    Repository expected;
    ASSERT_TRUE(expected.Decode(original.data(), original.size()));
    const int32_t glsl = 0;
    ASSERT_TRUE(expected.SetInt("GLSL", &glsl));
    ASSERT_TRUE(expected.SetInt("HighScore", &HighScore));
    EXPECT_EQ(folder.Read(SettingsPath), expected.Encode());
}
