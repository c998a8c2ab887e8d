#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Reading and writing whole files for the kit's commands; false on any failure.
bool ReadKitFile(const std::string& path, std::vector<uint8_t>& bytes);
bool WriteKitFile(const std::string& path, const std::vector<uint8_t>& bytes);

// A PAM image (P7) of RGB or RGB_ALPHA tuples, rows written in the order given.
std::vector<uint8_t> EncodePam(uint32_t width, uint32_t height, uint32_t components,
                               const uint8_t* pixels);
