// cataclysm-kit bundle: lists, extracts and packs the menu texture bundles with the game's own
// reader and writer.
#include <cstdio>
#include <string>
#include <vector>

#include "render/BundleFile.h"
#include "render/TargaFile.h"
#include "tools/kit/KitCommand.h"
#include "tools/kit/KitFiles.h"

namespace {

bool ReadBundle(const std::string& path, BundleContents& contents, std::string& error) {
    std::vector<uint8_t> file;
    if (!ReadKitFile(path, file)) {
        error = "cannot read " + path;
        return false;
    }
    if (!ParseBundle(file.data(), file.size(), contents)) {
        error = path + " is not a texture bundle the game reads";
        return false;
    }
    return true;
}

int List(const std::vector<std::string>& args) {
    BundleContents contents;
    std::string error;
    if (!ReadBundle(args[1], contents, error)) {
        return KitFail(error);
    }
    std::printf("%u %u %u %u %zu %zu\n", contents.components, contents.mipmapped ? 1u : 0u,
                contents.width, contents.height, contents.entries.size(),
                contents.freeRects.size());
    for (const BundleEntry& entry : contents.entries) {
        std::printf("%s %u %u %u %u\n", entry.name.c_str(), entry.x0, entry.y0, entry.x1, entry.y1);
    }
    return 0;
}

int Extract(const std::vector<std::string>& args) {
    BundleContents contents;
    std::string error;
    if (!ReadBundle(args[1], contents, error)) {
        return KitFail(error);
    }
    for (const BundleEntry& entry : contents.entries) {
        if (entry.name != args[2]) {
            continue;
        }
        if (entry.x1 < entry.x0 || entry.y1 < entry.y0) {
            return KitFail(entry.name + " has a reversed rectangle");
        }
        uint32_t width = entry.x1 - entry.x0;
        uint32_t height = entry.y1 - entry.y0;
        std::vector<uint8_t> pixels;
        for (uint32_t y = entry.y0; y < entry.y1; ++y) {
            const uint8_t* row =
                contents.pixels.data() +
                (static_cast<size_t>(y) * contents.width + entry.x0) * contents.components;
            pixels.insert(pixels.end(), row,
                          row + static_cast<size_t>(width) * contents.components);
        }
        if (!WriteKitFile(args[3], EncodePam(width, height, contents.components, pixels.data()))) {
            return KitFail("cannot write " + args[3]);
        }
        return 0;
    }
    return KitFail(args[1] + " has no picture named " + args[2]);
}

std::string BaseName(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int Pack(const std::vector<std::string>& args) {
    std::vector<BundlePicture> pictures;
    for (size_t i = 2; i < args.size(); ++i) {
        std::vector<uint8_t> file;
        TargaPixels image;
        TargaRefusal refusal = TargaRefusal::None;
        if (!ReadKitFile(args[i], file)) {
            return KitFail("cannot read " + args[i]);
        }
        if (!DecodeTarga(file.data(), file.size(), image, &refusal)) {
            return KitFail(args[i] + ": " + TargaRefusalText(refusal));
        }
        pictures.push_back(BundlePicture{BaseName(args[i]), image.width, image.height,
                                         image.BytesPerPixel(), std::move(image.pixels)});
    }
    // The smallest square power-of-two atlas that holds them all.
    BundleContents contents;
    std::string error;
    for (uint32_t side = 64; side <= BundleLargestSide; side *= 2) {
        if (PackBundle(pictures, side, side, false, contents, error)) {
            if (!WriteKitFile(args[1], WriteBundle(contents))) {
                return KitFail("cannot write " + args[1]);
            }
            return 0;
        }
    }
    return KitFail(error);
}

int BundleCommand(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "list") {
        return List(args);
    }
    if (args.size() == 4 && args[0] == "extract") {
        return Extract(args);
    }
    if (args.size() >= 3 && args[0] == "pack") {
        return Pack(args);
    }
    return KitFail(
        "usage: cataclysm-kit bundle list FILE | extract FILE NAME OUT.pam | pack OUT "
        "FILE.tga...");
}

}  // namespace

KIT_COMMAND("bundle",
            "bundle list FILE\n"
            "    Prints 'components mipmapped width height entries frees' of a texture bundle,\n"
            "    then one line 'NAME x0 y0 x1 y1' per picture (columns x0 to x1, rows y0 to\n"
            "    y1 counted from the bottom).\n"
            "bundle extract FILE NAME OUT.pam\n"
            "    Writes the picture NAME as a PAM file, rows in the order the texture holds\n"
            "    them (bottom row first), like 'tga decode'.\n"
            "bundle pack OUT FILE.tga...\n"
            "    Packs Targa images into a new bundle, each named by its file's base name, in\n"
            "    the smallest square atlas that holds them; a standard bottom-up Targa shows\n"
            "    upright in the menus.",
            BundleCommand);
