#pragma once
#include <cstddef>
#include <cstdint>

// Serves one fuzz input as every asset file: after ServeAsEveryAssetFile, whatever path a
// loader opens through the file-open hook reads exactly these bytes from memory. The bytes
// must outlive the load.
void ServeAsEveryAssetFile(const uint8_t* data, size_t size);
