#include <fcntl.h>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <ctime>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/AssetFiles.h"
#include "platform/System.h"
#include "platform/posix/FileReplace.h"
#include "settings/Repository.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "settings/SettingsValues.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/RepositoryBytes.h"
#include "tests/support/ScopedVariable.h"
#include "tests/support/TempFolder.h"

using namespace RepositoryBytes;

namespace {

const std::string SettingsPath = std::string("base/") + SettingsFileName;
using Names = std::vector<std::string>;
using Numbers = std::vector<int32_t>;

bool DecodeInto(Repository& repository, const Bytes& bytes) {
    return repository.Decode(bytes.data(), bytes.size());
}

const Bytes GameSection = SectionRecord("BrindlesCataclysm", 1);

Bytes GameFile(const Bytes& entries) {
    return File(DefaultRepositoryHeader, GameSection, entries);
}

Bytes SevenEntries(int32_t glsl, int32_t sound) {
    return Join({IntEntry(1, "ScreenWidth", 1280), IntEntry(1, "ScreenHeight", 1024),
                 IntEntry(1, "ColorDepth", 24), IntEntry(1, "Brightness", 1),
                 IntEntry(1, "GLSL", glsl), IntEntry(1, "Sound", sound),
                 IntEntry(1, "HighScore", 31337)});
}

Bytes AllSeven(int32_t glsl, int32_t sound) {
    return GameFile(SevenEntries(glsl, sound));
}

// AllSeven with its entries block cut short: the file cannot be decoded.
Bytes CutShort() {
    Bytes cut = AllSeven(1, 1);
    cut.resize(cut.size() - 3);
    return cut;
}

// A game folder of its own for each test, with the settings values as the program starts.
class Settings : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetUpAssetRootFrom((folder.Path() + "/cataclysm").c_str()));
        folder.Write("base/config/other", {});
        ScreenWidth = ScreenHeight = ColorDepth = Brightness = HighScore = 0;
        GlslEnabled = GlslChoice = SoundEnabled = false;
    }

    void TearDown() override {
        UseRealFileReplace();
        FileOpenHook = nullptr;
    }

    // Loads as start-up does, then puts the file opener back as start-up does later on.
    void Load() {
        LoadSettingsFromAssetRoot();
        EXPECT_EQ(FileOpenHook, nullptr) << "loading leaves the file opener cleared";
        FileOpenHook = OpenAssetFile;
    }

    // Saves and returns what went to stderr.
    std::string Save() {
        testing::internal::CaptureStderr();
        SaveSettings();
        return testing::internal::GetCapturedStderr();
    }

    // The seven values in the saved file, in the order of the fresh file; -999 for a missing key.
    Numbers Saved(const std::string& path = SettingsPath) {
        Repository saved;
        EXPECT_TRUE(DecodeInto(saved, folder.Read(path))) << saved.Failure();
        Numbers values;
        for (const char* key : {"ScreenWidth", "ScreenHeight", "ColorDepth", "Brightness", "GLSL",
                                "Sound", "HighScore"}) {
            values.push_back(-999);
            saved.GetInt(key, &values.back());
        }
        return values;
    }

    Names ConfigFiles() { return folder.List("base/config"); }

    KeptSettings kept;
    TempFolder folder;
    // A player's own file never lands in the real home folder; its folders do not exist yet.
    ScopedVariable configHome{"XDG_CONFIG_HOME", (folder.Path() + "/home/.config").c_str()};
};

// The player's own file below the private XDG_CONFIG_HOME of the fixture.
const std::string PlayersFolder = "home/.config/brindles-cataclysm";
const std::string PlayersFile = PlayersFolder + "/bc.rep";

int RefuseEveryFolder(const char*, int) {
    errno = EACCES;
    return -1;
}

using Chosen = std::tuple<std::string, std::string, bool>;  // file, defaults, per user

Chosen ChooseFor(const std::string& executable) {
    EXPECT_TRUE(SetUpAssetRootFrom(executable.c_str()));
    SettingsLocation location = ChooseSettingsLocation();
    FileOpenHook = nullptr;
    return {location.file, location.defaults, location.perUser};
}

}  // namespace

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

// Beside the game while its config folder exists and takes files; the player's own file for a
// missing folder, and for any folder below /usr, even one that takes files, as it does for root.
// (A folder that refuses files is the Settings tests' system-wide install.)
TEST(SettingsLocation, TheFileBesideTheGameUnlessItsFolderIsMissingOrBelowUsr) {
    TempFolder game;
    ScopedVariable configHome("XDG_CONFIG_HOME", "/players/ann/.config");
    const std::string own = "/players/ann/.config/brindles-cataclysm/bc.rep";
    const std::string beside = game.Path() + "/base/config/bc.rep";
    const std::string executable = game.Path() + "/brindles-cataclysm";

    EXPECT_EQ(ChooseFor(executable), (Chosen{own, beside, true})) << "no config folder";
    game.Write("base/config/bc.rep", {1});
    EXPECT_EQ(ChooseFor(executable), (Chosen{beside, "", false}));

    // Where the config folder really is decides: a game folder elsewhere whose config folder
    // leads below /usr, or to /usr itself, is below /usr; one whose asset folder is a link to a
    // folder elsewhere keeps its file beside the game.
    FileReplace.access = [](const char*, int) { return 0; };
    for (const char* system : {"/usr/lib", "/usr"}) {
        SCOPED_TRACE(system);
        TempFolder linked;
        linked.Write("base/notes", {});
        ASSERT_EQ(symlink(system, (linked.Path() + "/base/config").c_str()), 0);
        EXPECT_EQ(ChooseFor(linked.Path() + "/brindles-cataclysm"),
                  (Chosen{own, linked.Path() + "/base/config/bc.rep", true}));
    }
    TempFolder elsewhere;
    ASSERT_EQ(symlink((game.Path() + "/base").c_str(), (elsewhere.Path() + "/base").c_str()), 0);
    EXPECT_EQ(ChooseFor(elsewhere.Path() + "/brindles-cataclysm"),
              (Chosen{elsewhere.Path() + "/base/config/bc.rep", "", false}));
    UseRealFileReplace();
}

// $XDG_CONFIG_HOME when it is an absolute path, else ~/.config, the home folder from $HOME or,
// when that is unset or relative, from the password database.
TEST(SettingsLocation, ThePlayersOwnFileFollowsXdgConfigHomeThenTheHomeFolder) {
    ScopedVariable configHome("XDG_CONFIG_HOME", "/x/config");
    ScopedVariable home("HOME", "/players/bo");
    EXPECT_EQ(PerUserSettingsFile(), "/x/config/brindles-cataclysm/bc.rep");
    for (const char* unusable : {"relative/config", "", static_cast<const char*>(nullptr)}) {
        configHome.Set(unusable);
        EXPECT_EQ(PerUserSettingsFile(), "/players/bo/.config/brindles-cataclysm/bc.rep");
    }
    const passwd* entry = getpwuid(getuid());
    ASSERT_NE(entry, nullptr);
    for (const char* unusable : {"relative/home", static_cast<const char*>(nullptr)}) {
        home.Set(unusable);
        EXPECT_EQ(PerUserSettingsFile(),
                  std::string(entry->pw_dir) + "/.config/brindles-cataclysm/bc.rep");
    }
}

// Paths that start with the home folder read "~" for it; a folder that merely starts with the
// same letters, or the home folder in the middle of a path, stays as it is.
TEST(SettingsLocation, PathsInTheHomeFolderAreWrittenWithATilde) {
    ScopedVariable home("HOME", "/players/bo/");
    EXPECT_EQ(WithHomeAsTilde("/players/bo/.config/x is not a folder"),
              "~/.config/x is not a folder");
    EXPECT_EQ(WithHomeAsTilde("cannot make folders in /players/bo: Permission denied"),
              "cannot make folders in ~: Permission denied");
    EXPECT_EQ(WithHomeAsTilde("/players/bob/x and /mnt/players/bo/y"),
              "/players/bob/x and /mnt/players/bo/y");
    home.Set("/");
    EXPECT_EQ(WithHomeAsTilde("/etc/x"), "/etc/x") << "a home folder of / is left alone";
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
    const std::string path = folder.Path() + "/" + SettingsPath;
    ASSERT_EQ(chmod(path.c_str(), 0600), 0);
    Load();
    GlslChoice = false;
    HighScore = 20;
    EXPECT_EQ(Save(), "");
    EXPECT_TRUE(GlslEnabled) << "the choice takes effect at the next start";
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "the new file keeps the old one's permissions";

    // The same records, in reverse, with the new choice and high score.
    Repository expected;
    ASSERT_TRUE(expected.Decode(original.data(), original.size()));
    const int32_t glsl = 0;
    ASSERT_TRUE(expected.SetInt("GLSL", &glsl));
    ASSERT_TRUE(expected.SetInt("HighScore", &HighScore));
    EXPECT_EQ(folder.Read(SettingsPath), expected.Encode());
}

TEST_F(Settings, ASaveCutOffBeforeTheRenameLeavesTheOldFile) {
    folder.Write(SettingsPath, AllSeven(1, 1));
    HighScore = 99999;
    // The program dies after the new contents are on disk and before they replace the file.
    EXPECT_EXIT(
        {
            FileReplace.rename = [](const char*, const char*) -> int { _exit(3); };
            SaveSettings();
        },
        testing::ExitedWithCode(3), "");
    EXPECT_EQ(folder.Read(SettingsPath), AllSeven(1, 1));
    Names left = ConfigFiles();
    ASSERT_EQ(left.size(), 3u) << "the killed save leaves its temporary file";
    const std::string& abandoned = left[1];
    ASSERT_EQ(abandoned.rfind("bc.rep.tmp-", 0), 0u) << abandoned;

    // Once it is old, the next save removes it; a young one (a save under way in another copy
    // of the game) and files that merely look alike stay.
    std::string config = folder.Path() + "/base/config/";
    const timespec twoMinutesAgo[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, (config + abandoned).c_str(), twoMinutesAgo, 0), 0);
    for (const char* name : {"bc.rep.tmp-young1", "bc.rep.tmp-notes.txt", "xbc.rep.tmp-abcdef"}) {
        folder.Write("base/config/" + std::string(name), {1});
    }
    ASSERT_EQ(utimensat(AT_FDCWD, (config + "bc.rep.tmp-notes.txt").c_str(), twoMinutesAgo, 0), 0);
    EXPECT_EQ(Save(), "") << "the next save goes through";
    EXPECT_EQ(Saved().back(), 99999);
    EXPECT_EQ(ConfigFiles(), (Names{"bc.rep", "bc.rep.tmp-notes.txt", "bc.rep.tmp-young1", "other",
                                    "xbc.rep.tmp-abcdef"}));
}

// A system-wide install: the game folder refuses the player, so the player's own file takes
// over, starting from the installed values. While it cannot be read (here a file stands where
// its folder should be) the game plays with those, never replaces it, and keeps the reason for
// the main menu, the home folder written as "~"; once the way is clear a save makes the file and
// the reason is gone. The own file then behaves as the one beside the game does, bad copy
// included; installed defaults that do not decode are no file at all. (That the folders it makes
// are the player's alone, tests/e2e/test_package.sh sees.)
TEST_F(Settings, AGameFolderThePlayerCannotWriteGivesThePlayerAnOwnFileFromTheInstalledOne) {
    ScopedVariable home("HOME", (folder.Path() + "/home").c_str());
    folder.Write(SettingsPath, AllSeven(1, 0));
    folder.Write(PlayersFolder, {7});
    FileReplace.access = RefuseEveryFolder;
    Load();
    UseRealFileReplace();  // the game folder takes files now, but this run chose the player's
    EXPECT_EQ((Numbers{ScreenWidth, ScreenHeight, ColorDepth, Brightness, HighScore}),
              (Numbers{1280, 1024, 24, 1, 31337}));
    EXPECT_TRUE(GlslEnabled && GlslChoice && !SoundEnabled);
    const std::string reason = "~/.config/brindles-cataclysm is not a folder";
    EXPECT_EQ(SettingsNotSavedReason(), reason) << "known before any save";
    EXPECT_EQ(Save(), "brindles-cataclysm: settings not saved: cannot read " + folder.Path() + "/" +
                          PlayersFile + ": Not a directory\n");
    EXPECT_EQ(SettingsNotSavedReason(), reason);
    EXPECT_EQ(folder.Read(PlayersFolder), Bytes{7}) << "what is in the way is left alone";

    folder.Remove(PlayersFolder);
    ScreenWidth = 1920;
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(SettingsNotSavedReason(), "");
    EXPECT_EQ(Saved(PlayersFile), (Numbers{1920, 1024, 24, 1, 1, 0, 31337}));
    EXPECT_EQ(folder.Read(SettingsPath), AllSeven(1, 0)) << "the installed file is never written";

    FileReplace.access = RefuseEveryFolder;
    Load();
    EXPECT_EQ(ScreenWidth, 1920) << "the next run reads the player's file";
    folder.Write(PlayersFile, CutShort());
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(folder.List(PlayersFolder), (Names{"bc.rep", "bc.rep.bad"}));
    EXPECT_EQ(folder.Read(PlayersFile + ".bad"), CutShort());

    folder.Remove(PlayersFolder);
    folder.Write(SettingsPath, CutShort());
    Load();
    EXPECT_EQ(ScreenWidth, 640);
    EXPECT_EQ(Save(), "");
    EXPECT_EQ(folder.List(PlayersFolder), (Names{"bc.rep"}));
}

// A player who keeps the file in a synced folder links it there: the save goes through the
// link into the target, atomically beside it, and the link stays.
TEST_F(Settings, ASettingsFileThatIsALinkIsSavedIntoItsTargetAndStaysALink) {
    const std::string link = folder.Path() + "/" + SettingsPath;
    struct Case {
        const char* name;
        std::string target;      // as the link holds it
        std::string targetFile;  // below the test folder
    };
    const Case cases[] = {
        {"relative, to a file", "../../synced/bc.rep", "synced/bc.rep"},
        {"absolute, to no file yet", folder.Path() + "/fresh/bc.rep", "fresh/bc.rep"},
    };
    folder.Write("synced/bc.rep", AllSeven(1, 1));
    folder.Write("fresh/notes", {});
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        unlink(link.c_str());
        ASSERT_EQ(symlink(test.target.c_str(), link.c_str()), 0);
        Load();
        HighScore = 777;
        EXPECT_EQ(Save(), "");
        char held[4096] = {};
        ASSERT_GT(readlink(link.c_str(), held, sizeof held - 1), 0) << "still a link";
        EXPECT_EQ(held, test.target);
        EXPECT_EQ(Saved(test.targetFile).back(), 777);
        EXPECT_EQ(ConfigFiles(), (Names{"bc.rep", "other"}));
    }
    EXPECT_EQ(Saved("synced/bc.rep")[0], 1280) << "the other values stay";
}

// The kit's reset replaces the file without loading it first: it follows 40 links in a row, as
// the system does, and a 41st stops it with the system's reason. (Loading and saving through such
// chains are left to tests/faults.)
TEST_F(Settings, AReplacementFollowsFortyLinksInARowAndNoMore) {
    folder.Write("chain/bc.rep", AllSeven(1, 1));
    const std::string chain = folder.Path() + "/chain/";
    for (int i = 1; i <= 41; ++i) {  // link1 leads to bc.rep, each further link to the one before
        const std::string next = i == 1 ? "bc.rep" : "link" + std::to_string(i - 1);
        ASSERT_EQ(symlink(next.c_str(), (chain + "link" + std::to_string(i)).c_str()), 0);
    }
    const Bytes fresh = FreshSettingsFile(0);
    std::string failure;
    EXPECT_FALSE(ReplaceFileSafely(chain + "link41", fresh.data(), fresh.size(), failure));
    EXPECT_NE(failure.find("Too many levels of symbolic links"), std::string::npos) << failure;
    EXPECT_EQ(folder.Read("chain/bc.rep"), AllSeven(1, 1));
    EXPECT_TRUE(ReplaceFileSafely(chain + "link40", fresh.data(), fresh.size(), failure));
    EXPECT_EQ(folder.Read("chain/bc.rep"), fresh);
}

// Whatever stands between the game and a save, named before any save is tried; and a save
// that fails for a reason no look beforehand finds names the reason it met.
TEST_F(Settings, WhatStopsASaveIsNamedBeforehandAndAfterAFailedSave) {
    static std::string refused;  // the folder the fake access refuses, with the errno below
    static int refusal = 0;
    FileReplace.access = [](const char* path, int) {
        if (path == refused) {
            errno = refusal;
            return -1;
        }
        return 0;
    };
    const std::string root = folder.Path();
    folder.Write("shelf/notes", {});
    struct Case {
        const char* name;
        std::string file;
        std::string refusedFolder;
        int error;
        std::string problem;
    };
    const Case cases[] = {
        {"no home folder", "", "", 0, "no folder to keep the settings in"},
        {"a folder that takes no files", root + "/shelf/other.rep", root + "/shelf", EROFS,
         "cannot make files in " + root + "/shelf: Read-only file system"},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        refused = test.refusedFolder;
        refusal = test.error;
        EXPECT_EQ(SettingsSaveProblem(SettingsLocation{test.file, "", true}), test.problem);
    }

    // A disk that fills up during the save: nothing showed beforehand.
    folder.Write(SettingsPath, AllSeven(1, 1));
    refused.clear();
    Load();
    EXPECT_EQ(SettingsNotSavedReason(), "");
    FileReplace.write = [](int, const void*, size_t) -> ssize_t {
        errno = ENOSPC;
        return -1;
    };
    Save();
    std::string reason = SettingsNotSavedReason();
    EXPECT_EQ(reason.rfind("cannot write " + root + "/" + SettingsPath + ".tmp-", 0), 0u) << reason;
    EXPECT_NE(reason.find(": No space left on device"), std::string::npos) << reason;
}
