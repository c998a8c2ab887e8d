#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/Repository.h"
#include "tests/support/RepositoryBytes.h"

using namespace RepositoryBytes;

namespace {

const std::string Header = DefaultRepositoryHeader;

bool DecodeInto(Repository& repository, const Bytes& bytes) {
    return repository.Decode(bytes.data(), bytes.size());
}

const RepEntry* FindEntry(const Repository& repository, uint32_t sectionId, const char* key) {
    for (const RepEntry& entry : repository.Entries()) {
        if (entry.sectionId == sectionId && entry.key == key) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace

TEST(Repository, WritesTheExampleFileByteForByte) {
    Repository repository;
    ASSERT_TRUE(repository.AddSection("BrindlesCataclysm", 1));
    const uint8_t width[] = {0x80, 0x02, 0x00, 0x00};
    ASSERT_TRUE(repository.AddEntry(1, "ScreenWidth", width, 3));

    Bytes expected = Join({{0x4E, 0x3E, 0x4E, 0x3E, 0xE0},
                           Le32(84),
                           Text(Header),
                           {0xDA},
                           {22, 0, 0, 0},
                           {26, 0, 0, 0},
                           Text("BrindlesCataclysm"),
                           {0x00, 0x01, 0x00, 0x00, 0x00},
                           {0x5C, 0x2F},
                           {0x01, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00},
                           Text("ScreenWidth"),
                           {0x00, 0x3D, 0x80, 0x02, 0x00, 0x00, 0x3B}});
    ASSERT_EQ(Header.size(), 84u);
    EXPECT_EQ(repository.Encode(), expected);
    EXPECT_EQ(repository.SectionsBlockSize(), 22u);
    EXPECT_EQ(repository.EntriesBlockSize(), 26u);

    Repository loaded;
    ASSERT_TRUE(DecodeInto(loaded, expected));
    int32_t value = 0;
    EXPECT_TRUE(loaded.GetInt("ScreenWidth", &value));
    EXPECT_EQ(value, 640);
}

TEST(Repository, LoadAndSaveReverseTheRecordsAndKeepEveryValue) {
    Bytes matrix(32);
    for (size_t i = 0; i < matrix.size(); ++i) {
        matrix[i] = static_cast<uint8_t>(i * 7);
    }
    std::vector<Bytes> sections = {SectionRecord("Editor", 2),
                                   SectionRecord("BrindlesCataclysm", 1)};
    std::vector<Bytes> entries = {
        IntEntry(1, "HighScore", 123456),
        EntryRecord(2, 5, "LastLevel", CString("levels/seven")),
        EntryRecord(2, 5, "Empty", CString("")),
        EntryRecord(1, 6, "Gamma", {0x00, 0x00, 0x80, 0x3F}),
        EntryRecord(1, 1, "Flag", {0x85}),
        EntryRecord(1, 2, "Short", {0x34, 0x12}),
        EntryRecord(2, 13, "Matrix", matrix),
        EntryRecord(2, 0, "CodeZero", {1, 2, 3, 4}),
        EntryRecord(2, 99, "CodeHigh", {5, 6, 7, 8}),
        IntEntry(42, "Orphan", -7),  // no section has id 42
    };
    Bytes sectionsBlock = Join({sections[0], sections[1]});
    Bytes entriesBlock;
    Bytes reversedEntries;
    for (const Bytes& entry : entries) {
        entriesBlock.insert(entriesBlock.end(), entry.begin(), entry.end());
        reversedEntries.insert(reversedEntries.begin(), entry.begin(), entry.end());
    }
    const std::string header = "custom header\r\n";

    Repository repository;
    ASSERT_TRUE(DecodeInto(repository, File(header, sectionsBlock, entriesBlock)))
        << repository.Failure();
    EXPECT_EQ(repository.HeaderText(), header);
    EXPECT_EQ(repository.Encode(), File(header, Join({sections[1], sections[0]}), reversedEntries));
    EXPECT_EQ(repository.SectionsBlockSize(), sectionsBlock.size());
    EXPECT_EQ(repository.EntriesBlockSize(), entriesBlock.size());

    const RepEntry* text = FindEntry(repository, 2, "LastLevel");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(Repository::ValueSize(text->type, text->value.data()), 13u);
    EXPECT_EQ(text->value.size(), 14u) << "the value keeps one zero byte after it";
}

TEST(Repository, AnEmptyRepositorySavesAFileThatLoadsAgain) {
    Repository empty;
    Bytes bytes = empty.Encode();
    EXPECT_EQ(bytes, File(Header, {}, {}));
    Repository loaded;
    EXPECT_TRUE(DecodeInto(loaded, bytes));
    EXPECT_EQ(loaded.FindGameSection(), NoSection);
}

// Each malformed file is a well-formed one with one thing wrong.
TEST(Repository, RejectsEveryMalformedFileWithoutReadingOutsideIt) {
    Bytes game = SectionRecord("BrindlesCataclysm", 1);
    Bytes entry = IntEntry(1, "HighScore", 5);
    Bytes good = File("h", game, entry);
    auto withByte = [&](size_t offset, uint8_t value) {
        Bytes bytes = good;
        bytes[offset] = value;
        return bytes;
    };
    auto withLe32 = [&](size_t offset, uint32_t value) {
        Bytes bytes = good;
        Bytes field = Le32(value);
        std::copy(field.begin(), field.end(), bytes.begin() + offset);
        return bytes;
    };
    auto cut = [&](size_t size) { return Bytes(good.begin(), good.begin() + size); };
    // Offsets in good: magic 0, 0xE0 at 4, L at 5, header at 9, 0xDA at 10, S at 11, E at 15,
    // sections at 19, marker at 19 + 22, entries at 43.
    const size_t sectionsAt = 19;
    const size_t markerAt = sectionsAt + game.size();
    const size_t entriesAt = markerAt + 2;
    ASSERT_EQ(good.size(), entriesAt + entry.size());

    struct Case {
        const char* what;
        Bytes bytes;
    };
    std::vector<Case> cases = {
        {"empty file", {}},
        {"wrong magic", withByte(1, 0x3F)},
        {"magic cut short", cut(3)},
        {"missing 0xE0", withByte(4, 0xE1)},
        {"header length cut short", cut(7)},
        {"header length 0", withLe32(5, 0)},
        {"header past the end", withLe32(5, 0xFFFFFFFF)},
        {"header swallowing the rest of the file",
         withLe32(5, static_cast<uint32_t>(good.size() - 9))},
        {"missing 0xDA", withByte(10, 0xDB)},
        {"block sizes cut short", cut(17)},
        {"sections block past the end", withLe32(11, 0xFFFFFFF0)},
        {"sections block cut short", cut(sectionsAt + 10)},
        {"section name without its NUL in the block", File("h", Text("BrindlesCataclysm"), entry)},
        {"section id past the block", File("h", Join({CString("Name"), {1, 0}}), entry)},
        {"missing backslash-slash", withByte(markerAt + 1, 0x5C)},
        {"entries block past the end", withLe32(15, 0xFFFFFFFF)},
        {"entries block cut short", cut(good.size() - 1)},
        {"entry header past the block", File("h", game, Join({entry, Le32(1), {3, 0}}))},
        {"key without its NUL in the block",
         File("h", game, Join({entry, Le32(1), Le32(3), Text("Key")}))},
        {"missing '='", withByte(entriesAt + 8 + 10, 0x3E)},
        {"integer value past the block",
         File("h", game, Join({Le32(1), Le32(3), CString("Key"), {0x3D, 1, 2}}))},
        {"missing ';'", withByte(good.size() - 1, 0x3A)},
        {"string without its NUL in the block",
         File("h", game, Join({Le32(1), Le32(5), CString("Key"), {0x3D}, Text("abc")}))},
        {"string without ';'",
         File("h", game, Join({Le32(1), Le32(5), CString("Key"), {0x3D}, CString("abc")}))},
        {"32-byte value past the block", File("h", game, EntryRecord(1, 13, "Key", Bytes(30, 9)))},
    };
    for (const Case& malformed : cases) {
        Repository repository;
        EXPECT_FALSE(DecodeInto(repository, malformed.bytes)) << malformed.what;
        EXPECT_FALSE(repository.Failure().empty()) << malformed.what;
    }
    Repository repository;
    EXPECT_TRUE(DecodeInto(repository, good)) << "the unbroken file loads";
}

TEST(Repository, AFaultPartWayKeepsWhatCameBeforeIt) {
    Bytes entries = Join({IntEntry(1, "ScreenWidth", 800), IntEntry(1, "Broken", 1)});
    entries.back() = 0x00;  // the second entry lacks its ';'
    Repository repository;
    EXPECT_FALSE(DecodeInto(repository, File("h", SectionRecord("BrindlesCataclysm", 1), entries)));
    int32_t width = 0;
    EXPECT_TRUE(repository.GetInt("ScreenWidth", &width));
    EXPECT_EQ(width, 800);
    EXPECT_FALSE(repository.HasEntry(1, "Broken"));
}

TEST(Repository, TheFirstOfTwoEntriesAndTheLaterOfTwoSectionsWin) {
    Bytes sections =
        Join({SectionRecord("BrindlesCataclysm", 1), SectionRecord("BrindlesCataclysm", 2)});
    Bytes entries = Join({IntEntry(1, "Score", 10), IntEntry(2, "Score", 20),
                          IntEntry(2, "Score", 30), IntEntry(2, "Other", 1)});
    Repository repository;
    ASSERT_TRUE(DecodeInto(repository, File("h", sections, entries)));
    EXPECT_EQ(repository.FindGameSection(), 2u);
    int32_t score = 0;
    EXPECT_TRUE(repository.GetInt("Score", &score));
    EXPECT_EQ(score, 20);
    EXPECT_FALSE(repository.AddEntry(2, "Score", "abcd", 3));

    Bytes expected = File(
        "h", Join({SectionRecord("BrindlesCataclysm", 2), SectionRecord("BrindlesCataclysm", 1)}),
        Join({IntEntry(2, "Other", 1), IntEntry(2, "Score", 20), IntEntry(1, "Score", 10)}));
    EXPECT_EQ(repository.Encode(), expected) << "the duplicate is not written back";
}

TEST(Repository, GetIntReadsFourBytesOfAnyTypeAndLeavesMissingKeysAlone) {
    Bytes entries =
        Join({EntryRecord(1, 6, "Gamma", {0x00, 0x00, 0x80, 0x3F}),
              EntryRecord(1, 1, "Flag", {0x85}), EntryRecord(7, 3, "Elsewhere", Le32(9))});
    Repository repository;
    ASSERT_TRUE(DecodeInto(repository, File("h", SectionRecord("BrindlesCataclysm", 1), entries)));
    int32_t value = 0;
    EXPECT_TRUE(repository.GetInt("Gamma", &value));
    EXPECT_EQ(value, 0x3F800000);
    EXPECT_TRUE(repository.GetInt("Flag", &value));
    EXPECT_EQ(value, 0x85) << "a short value is padded with zeros";

    value = -12;
    EXPECT_TRUE(repository.GetInt("HighScore", &value));
    EXPECT_EQ(value, -12);
    EXPECT_TRUE(repository.GetInt("Elsewhere", &value)) << "other sections are not looked at";
    EXPECT_EQ(value, -12);

    Repository noGame;
    ASSERT_TRUE(DecodeInto(noGame, File("h", SectionRecord("Editor", 1), entries)));
    EXPECT_FALSE(noGame.GetInt("Gamma", &value));
    EXPECT_EQ(value, -12);
}

TEST(Repository, SetIntChangesOnlyEntriesThatExist) {
    Bytes file = File("h", SectionRecord("BrindlesCataclysm", 1),
                      EntryRecord(1, 6, "Gamma", {0x00, 0x00, 0x80, 0x3F}));
    Repository repository;
    ASSERT_TRUE(DecodeInto(repository, file));
    int32_t value = 1234;
    EXPECT_FALSE(repository.SetInt("HighScore", &value));
    EXPECT_EQ(repository.Encode(), file) << "SetInt never adds a key";

    EXPECT_TRUE(repository.SetInt("Gamma", &value));
    const RepEntry* gamma = FindEntry(repository, 1, "Gamma");
    ASSERT_NE(gamma, nullptr);
    EXPECT_EQ(gamma->type, 3u);
    EXPECT_EQ(gamma->value, Join({Le32(1234), {0}}));

    Repository empty;
    EXPECT_FALSE(empty.SetInt("Gamma", &value));
}

TEST(Repository, SetOrAddIntAddsTheGameSectionAndTheKeyWhenMissing) {
    Repository repository;
    ASSERT_TRUE(DecodeInto(repository, File("h", SectionRecord("Editor", 1), IntEntry(2, "X", 3))));
    EXPECT_TRUE(repository.SetOrAddInt("HighScore", 99));
    EXPECT_EQ(repository.FindGameSection(), 3u) << "the lowest id no section or entry uses";
    int32_t value = 0;
    EXPECT_TRUE(repository.GetInt("HighScore", &value));
    EXPECT_EQ(value, 99);
    EXPECT_TRUE(repository.SetOrAddInt("HighScore", 100));
    EXPECT_TRUE(repository.GetInt("HighScore", &value));
    EXPECT_EQ(value, 100);
}
