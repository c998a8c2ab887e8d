#pragma once
#include <cstddef>
#include <cstdint>
#include <forward_list>
#include <string>
#include <vector>

// The settings file below the asset root and the section in it that belongs to the game.
constexpr char SettingsFileName[] = "config/bc.rep";
constexpr char GameSectionName[] = "BrindlesCataclysm";

// Returned by FindGameSection when the repository has no game section.
constexpr uint32_t NoSection = 0xFFFFFFFFu;

// Type codes of entry values. Only integers and strings have a known meaning; values of every
// other code are carried through unchanged.
constexpr uint32_t RepTypeInt32 = 3;
constexpr uint32_t RepTypeString = 5;

// One named section; entries refer to it by id.
struct RepSection {
    uint32_t id = 0;
    std::string name;
};

// One typed value under a key. value holds ValueSize bytes followed by one zero byte.
struct RepEntry {
    uint32_t sectionId = 0;
    std::string key;
    uint32_t type = 0;
    std::vector<uint8_t> value;
};

// The game's binary store of named sections and typed key/value entries, kept whole in one
// file. Both lists are newest first, so a load followed by a save writes the records in the
// reverse of the order the file held them. Every reader treats the bytes as hostile: a
// malformed file gives false and never a read outside the bytes.
class Repository {
public:
    Repository();

    // Reads a whole file and decodes it. False when it is missing, unreadable or malformed;
    // records decoded before the fault stay in the lists.
    bool LoadFile(const std::string& path);

    // Replaces a file, by way of a temporary file, with the repository's contents. False, with
    // the old file untouched and Failure() saying why, when it cannot.
    bool SaveFile(const std::string& path);

    // Decodes a whole file held in memory, after a Clear.
    bool Decode(const uint8_t* bytes, size_t size);

    // The bytes of the file that SaveFile writes; sets the two block sizes. Empty (and false
    // from SaveFile) only when a block would outgrow its 32-bit size.
    std::vector<uint8_t> Encode();

    // Forgets every section and entry; the header text stays.
    void Clear();

    // Puts a section at the head of the list; sections are not checked for duplicates.
    bool AddSection(const char* name, uint32_t id);

    // Puts a copy of the value (ValueSize(type, value) bytes) at the head of the entry list.
    // False, adding nothing, when the section already has an entry under that key.
    bool AddEntry(uint32_t sectionId, const char* key, const void* value, uint32_t type);

    bool HasEntry(uint32_t sectionId, const char* key) const;

    // The id of the newest section named GameSectionName (the later one of two in a file), or
    // NoSection.
    uint32_t FindGameSection() const;

    // Copies the first 4 bytes of the game section's entry under key, whatever its type, as a
    // little-endian signed integer (zero-padded when the value is shorter). True when the game
    // section exists, even when the key does not; out is then left alone.
    bool GetInt(const char* key, int32_t* out) const;

    // Makes an existing entry of the game section a type-3 integer with the given value. False
    // when the game section or the entry is missing; it never adds one.
    bool SetInt(const char* key, const int32_t* value);

    // The game section's id, adding the section first (with the lowest id no section or entry
    // uses) when there is none.
    uint32_t EnsureGameSection();

    // SetInt, first adding the key to the game section as an integer when it lacks it.
    bool SetOrAddInt(const char* key, int32_t value);

    // The size in bytes of a value of a type: for strings the length with the NUL.
    static size_t ValueSize(uint32_t type, const void* value);

    // The header text: the default one until a file's header is read; never empty.
    const std::string& HeaderText() const { return headerText; }
    const std::forward_list<RepSection>& Sections() const { return sections; }
    const std::forward_list<RepEntry>& Entries() const { return entries; }
    uint32_t SectionsBlockSize() const { return sectionsBlockSize; }
    uint32_t EntriesBlockSize() const { return entriesBlockSize; }

    // What the last failed LoadFile, Decode or SaveFile found, in one line.
    const std::string& Failure() const { return failure; }

private:
    const RepSection* GameSection() const;
    bool IdInUse(uint32_t id) const;
    bool Fail(const std::string& what);

    std::string headerText;
    std::forward_list<RepSection> sections;
    std::forward_list<RepEntry> entries;
    uint32_t sectionsBlockSize = 0;
    uint32_t entriesBlockSize = 0;
    std::string failure;
};

// The header a new repository writes.
extern const char DefaultRepositoryHeader[];
