#include "settings/Repository.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "app/AssetFiles.h"
#include "platform/System.h"

const char DefaultRepositoryHeader[] =
    "//This file will NOT be edited by any other application other than LedgerSmith.exe\r\n";

namespace {

constexpr uint8_t Magic[] = {0x4E, 0x3E, 0x4E, 0x3E};
constexpr uint8_t HeaderMarker = 0xE0;
constexpr uint8_t BlockSizesMarker = 0xDA;
constexpr uint8_t EntriesMarker[] = {0x5C, 0x2F};
constexpr uint8_t KeyValueMarker = 0x3D;  // '='
constexpr uint8_t EntryEndMarker = 0x3B;  // ';'

// Bytes a record takes besides its name, key and value.
constexpr uint64_t SectionRecordOverhead = 5;  // name's NUL, id
constexpr uint64_t EntryRecordOverhead = 11;   // section id, type, key's NUL, '=', ';'

uint32_t LittleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

void AppendUint32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<uint8_t>(value >> shift));
    }
}

void AppendBytes(std::vector<uint8_t>& out, const void* bytes, size_t size) {
    const uint8_t* begin = static_cast<const uint8_t*>(bytes);
    out.insert(out.end(), begin, begin + size);
}

// Walks forward through a span of bytes. Every read first checks that the bytes are there, so
// nothing is ever read outside the span.
class ByteReader {
public:
    ByteReader(const uint8_t* bytes, size_t size) : bytes(bytes), size(size) {}

    bool AtEnd() const { return offset == size; }

    bool Take(size_t count, const uint8_t** out) {
        if (count > size - offset) {
            return false;
        }
        *out = bytes + offset;
        offset += count;
        return true;
    }

    bool ReadUint32(uint32_t* out) {
        const uint8_t* field;
        if (!Take(4, &field)) {
            return false;
        }
        *out = LittleEndian32(field);
        return true;
    }

    bool Expect(const uint8_t* marker, size_t count) {
        const uint8_t* found;
        return Take(count, &found) && std::memcmp(found, marker, count) == 0;
    }

    bool ExpectByte(uint8_t marker) { return Expect(&marker, 1); }

    // A NUL-terminated string whose NUL lies inside the span; the read moves past the NUL.
    bool TakeString(const char** out) {
        const void* nul = std::memchr(bytes + offset, 0, size - offset);
        if (nul == nullptr) {
            return false;
        }
        *out = reinterpret_cast<const char*>(bytes + offset);
        offset = static_cast<const uint8_t*>(nul) - bytes + 1;
        return true;
    }

private:
    const uint8_t* bytes;
    size_t size;
    size_t offset = 0;
};

}  // namespace

Repository::Repository() : headerText(DefaultRepositoryHeader) {}

bool Repository::Fail(const std::string& what) {
    failure = what;
    return false;
}

bool Repository::LoadFile(const std::string& path) {
    Clear();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return Fail("cannot open " + path + ": " + std::strerror(errno));
    }
    std::vector<uint8_t> bytes;
    bool read = ReadWholeStream(file, bytes);
    std::fclose(file);
    if (!read) {
        return Fail("cannot read " + path);
    }
    return Decode(bytes.data(), bytes.size());
}

bool Repository::SaveFile(const std::string& path) {
    std::vector<uint8_t> bytes = Encode();
    if (bytes.empty()) {
        return false;
    }
    std::string why;
    if (!ReplaceFileSafely(path, bytes.data(), bytes.size(), why)) {
        return Fail(why);
    }
    return true;
}

bool Repository::Decode(const uint8_t* bytes, size_t size) {
    Clear();
    ByteReader file(bytes, size);
    if (!file.Expect(Magic, sizeof Magic)) {
        return Fail("not a repository: the magic bytes are wrong");
    }
    uint32_t headerLength;
    if (!file.ExpectByte(HeaderMarker) || !file.ReadUint32(&headerLength)) {
        return Fail("the header marker or length is missing");
    }
    const uint8_t* header;
    if (headerLength == 0) {
        return Fail("the header length is 0");
    }
    if (!file.Take(headerLength, &header)) {
        return Fail("the header runs past the end of the file");
    }
    headerText.assign(reinterpret_cast<const char*>(header), headerLength);

    uint32_t sectionsSize;
    uint32_t entriesSize;
    if (!file.ExpectByte(BlockSizesMarker) || !file.ReadUint32(&sectionsSize) ||
        !file.ReadUint32(&entriesSize)) {
        return Fail("the block sizes or their marker are missing");
    }
    const uint8_t* sectionsBlock;
    if (!file.Take(sectionsSize, &sectionsBlock)) {
        return Fail("the sections block runs past the end of the file");
    }
    ByteReader sectionRecords(sectionsBlock, sectionsSize);
    while (!sectionRecords.AtEnd()) {
        const char* name;
        uint32_t id;
        if (!sectionRecords.TakeString(&name) || !sectionRecords.ReadUint32(&id)) {
            return Fail("a section record runs past the end of the sections block");
        }
        AddSection(name, id);
    }

    const uint8_t* entriesBlock;
    if (!file.Expect(EntriesMarker, sizeof EntriesMarker)) {
        return Fail("the marker before the entries block is missing");
    }
    if (!file.Take(entriesSize, &entriesBlock)) {
        return Fail("the entries block runs past the end of the file");
    }
    ByteReader entryRecords(entriesBlock, entriesSize);
    while (!entryRecords.AtEnd()) {
        uint32_t sectionId;
        uint32_t type;
        const char* key;
        if (!entryRecords.ReadUint32(&sectionId) || !entryRecords.ReadUint32(&type) ||
            !entryRecords.TakeString(&key)) {
            return Fail("an entry record runs past the end of the entries block");
        }
        if (!entryRecords.ExpectByte(KeyValueMarker)) {
            return Fail("the key '" + std::string(key) + "' is not followed by '='");
        }
        const uint8_t* value;
        bool valueInside;
        if (type == RepTypeString) {
            const char* text;
            valueInside = entryRecords.TakeString(&text);
            value = reinterpret_cast<const uint8_t*>(text);
        } else {
            valueInside = entryRecords.Take(ValueSize(type, nullptr), &value);
        }
        if (!valueInside) {
            return Fail("the value of '" + std::string(key) + "' runs past the entries block");
        }
        if (!entryRecords.ExpectByte(EntryEndMarker)) {
            return Fail("the value of '" + std::string(key) + "' is not followed by ';'");
        }
        AddEntry(sectionId, key, value, type);
    }
    return true;
}

std::vector<uint8_t> Repository::Encode() {
    uint64_t sectionsSize = 0;
    for (const RepSection& section : sections) {
        sectionsSize += section.name.size() + SectionRecordOverhead;
    }
    uint64_t entriesSize = 0;
    for (const RepEntry& entry : entries) {
        entriesSize +=
            entry.key.size() + ValueSize(entry.type, entry.value.data()) + EntryRecordOverhead;
    }
    if (headerText.size() > UINT32_MAX || sectionsSize > UINT32_MAX || entriesSize > UINT32_MAX) {
        Fail("the repository is too large for its file format");
        return {};
    }
    sectionsBlockSize = static_cast<uint32_t>(sectionsSize);
    entriesBlockSize = static_cast<uint32_t>(entriesSize);

    std::vector<uint8_t> out;
    AppendBytes(out, Magic, sizeof Magic);
    out.push_back(HeaderMarker);
    AppendUint32(out, static_cast<uint32_t>(headerText.size()));
    AppendBytes(out, headerText.data(), headerText.size());
    out.push_back(BlockSizesMarker);
    AppendUint32(out, sectionsBlockSize);
    AppendUint32(out, entriesBlockSize);
    for (const RepSection& section : sections) {
        AppendBytes(out, section.name.c_str(), section.name.size() + 1);
        AppendUint32(out, section.id);
    }
    AppendBytes(out, EntriesMarker, sizeof EntriesMarker);
    for (const RepEntry& entry : entries) {
        AppendUint32(out, entry.sectionId);
        AppendUint32(out, entry.type);
        AppendBytes(out, entry.key.c_str(), entry.key.size() + 1);
        out.push_back(KeyValueMarker);
        AppendBytes(out, entry.value.data(), ValueSize(entry.type, entry.value.data()));
        out.push_back(EntryEndMarker);
    }
    return out;
}

void Repository::Clear() {
    sections.clear();
    entries.clear();
}

bool Repository::AddSection(const char* name, uint32_t id) {
    sections.push_front(RepSection{id, name});
    return true;
}

bool Repository::AddEntry(uint32_t sectionId, const char* key, const void* value, uint32_t type) {
    if (HasEntry(sectionId, key)) {
        return false;
    }
    size_t size = ValueSize(type, value);
    RepEntry entry{sectionId, key, type, std::vector<uint8_t>(size + 1, 0)};
    std::memcpy(entry.value.data(), value, size);
    entries.push_front(std::move(entry));
    return true;
}

bool Repository::HasEntry(uint32_t sectionId, const char* key) const {
    return std::any_of(entries.begin(), entries.end(), [&](const RepEntry& entry) {
        return entry.sectionId == sectionId && entry.key == key;
    });
}

const RepSection* Repository::GameSection() const {
    for (const RepSection& section : sections) {
        if (section.name == GameSectionName) {
            return &section;
        }
    }
    return nullptr;
}

uint32_t Repository::FindGameSection() const {
    const RepSection* section = GameSection();
    return section == nullptr ? NoSection : section->id;
}

bool Repository::GetInt(const char* key, int32_t* out) const {
    const RepSection* section = GameSection();
    if (section == nullptr) {
        return false;
    }
    for (const RepEntry& entry : entries) {
        if (entry.sectionId == section->id && entry.key == key) {
            uint8_t bytes[4] = {};
            std::memcpy(bytes, entry.value.data(), std::min<size_t>(4, entry.value.size()));
            *out = static_cast<int32_t>(LittleEndian32(bytes));
            return true;
        }
    }
    return true;
}

bool Repository::SetInt(const char* key, const int32_t* value) {
    const RepSection* section = GameSection();
    if (section == nullptr) {
        return false;
    }
    for (RepEntry& entry : entries) {
        if (entry.sectionId == section->id && entry.key == key) {
            entry.type = RepTypeInt32;
            entry.value.clear();
            AppendUint32(entry.value, static_cast<uint32_t>(*value));
            entry.value.push_back(0);
            return true;
        }
    }
    return false;
}

bool Repository::IdInUse(uint32_t id) const {
    return std::any_of(sections.begin(), sections.end(),
                       [&](const RepSection& section) { return section.id == id; }) ||
           std::any_of(entries.begin(), entries.end(),
                       [&](const RepEntry& entry) { return entry.sectionId == id; });
}

uint32_t Repository::EnsureGameSection() {
    const RepSection* section = GameSection();
    if (section != nullptr) {
        return section->id;
    }
    uint32_t id = 1;
    while (IdInUse(id)) {
        ++id;
    }
    AddSection(GameSectionName, id);
    return id;
}

bool Repository::SetOrAddInt(const char* key, int32_t value) {
    uint32_t sectionId = EnsureGameSection();
    const uint8_t zero[4] = {};
    AddEntry(sectionId, key, zero, RepTypeInt32);
    return SetInt(key, &value);
}

size_t Repository::ValueSize(uint32_t type, const void* value) {
    switch (type) {
        case 1:
            return 1;
        case 2:
            return 2;
        case 4:
        case 7:
        case 10:
            return 8;
        case RepTypeString:
            return value == nullptr ? 0 : std::strlen(static_cast<const char*>(value)) + 1;
        case 8:
            return 12;
        case 9:
        case 11:
            return 16;
        case 12:
            return 24;
        case 13:
            return 32;
        default:
            return 4;
    }
}
