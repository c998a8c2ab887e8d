#pragma once
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

// Builds repository files (and other little-endian formats) byte by byte, so tests state the
// layout themselves instead of trusting the encoder under test.
namespace RepositoryBytes {

using Bytes = std::vector<uint8_t>;

inline Bytes Le16(uint16_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8)};
}

inline Bytes Le32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
            static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
}

inline Bytes Text(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

inline Bytes CString(const std::string& text) {
    Bytes bytes = Text(text);
    bytes.push_back(0);
    return bytes;
}

inline Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

inline Bytes SectionRecord(const std::string& name, uint32_t id) {
    return Join({CString(name), Le32(id)});
}

inline Bytes EntryRecord(uint32_t sectionId, uint32_t type, const std::string& key,
                         const Bytes& value) {
    return Join({Le32(sectionId), Le32(type), CString(key), {0x3D}, value, {0x3B}});
}

inline Bytes IntEntry(uint32_t sectionId, const std::string& key, int32_t value) {
    return EntryRecord(sectionId, 3, key, Le32(static_cast<uint32_t>(value)));
}

// A whole file: magic, 0xE0, the header with its length, 0xDA, the two block sizes, the
// sections block, the backslash-slash marker and the entries block.
inline Bytes File(const std::string& header, const Bytes& sections, const Bytes& entries) {
    return Join({{0x4E, 0x3E, 0x4E, 0x3E, 0xE0},
                 Le32(static_cast<uint32_t>(header.size())),
                 Text(header),
                 {0xDA},
                 Le32(static_cast<uint32_t>(sections.size())),
                 Le32(static_cast<uint32_t>(entries.size())),
                 sections,
                 {0x5C, 0x2F},
                 entries});
}

}  // namespace RepositoryBytes
