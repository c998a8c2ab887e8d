#include "fuzz/FuzzInput.h"

#include <cstdio>

#include "app/AssetFiles.h"

namespace {

const uint8_t* ServedData = nullptr;
size_t ServedSize = 0;

void OpenServedInput(const char*, const char* mode, FILE** out) {
    static uint8_t nothing = 0;  // fmemopen wants a buffer even for an empty stream
    void* bytes = ServedSize > 0 ? const_cast<uint8_t*>(ServedData) : &nothing;
    *out = fmemopen(bytes, ServedSize, mode);
}

}  // namespace

void ServeAsEveryAssetFile(const uint8_t* data, size_t size) {
    ServedData = data;
    ServedSize = size;
    FileOpenHook = OpenServedInput;
}
