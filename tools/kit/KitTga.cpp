// cataclysm-kit tga: looks inside Targa images with the game's own decoder, and makes Targa
// images in the one form the game is sure to read from PNG and PAM pictures.
#include <png.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "render/TargaFile.h"
#include "tools/kit/KitCommand.h"
#include "tools/kit/KitFiles.h"

namespace {

constexpr uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

// Reads a PNG with libpng's simplified reader, which keeps its error handling (and the longjmp
// under it) inside libpng: a damaged file comes back as a message, never as a jump through
// these frames. Any PNG (grey, palette, 16 bits, with or without alpha) gives 8-bit RGB, or
// RGBA when it has alpha, rows from the bottom up as the texture takes them.
bool DecodePng(const std::vector<uint8_t>& file, TargaPixels& out, std::string& error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, file.data(), file.size()) == 0) {
        error = std::string("not a PNG image libpng reads: ") + png.message;
        return false;
    }
    if (png.width == 0 || png.height == 0 || png.width > TargaLargestSide ||
        png.height > TargaLargestSide) {
        error = "PNG image of " + std::to_string(png.width) + " x " + std::to_string(png.height) +
                " pixels; the game reads sides of 1 to " + std::to_string(TargaLargestSide);
        png_image_free(&png);
        return false;
    }
    bool alpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    out.width = png.width;
    out.height = png.height;
    out.bitsPerPixel = alpha ? 32 : 24;
    out.pixels.assign(PNG_IMAGE_SIZE(png), 0);
    // A negative row stride has libpng store the rows bottom-up. Finishing frees the reader,
    // whether or not it succeeds.
    int stride = -static_cast<int>(PNG_IMAGE_ROW_STRIDE(png));
    if (png_image_finish_read(&png, nullptr, out.pixels.data(), stride, nullptr) == 0) {
        error = std::string("PNG image cannot be decoded: ") + png.message;
        return false;
    }
    return true;
}

int Decode(const std::vector<std::string>& args) {
    std::vector<uint8_t> file;
    if (!ReadKitFile(args[1], file)) {
        return KitFail("cannot read " + args[1]);
    }
    TargaPixels image;
    TargaRefusal refusal = TargaRefusal::None;
    if (!DecodeTarga(file.data(), file.size(), image, &refusal)) {
        return KitFail(args[1] + ": " + TargaRefusalText(refusal));
    }
    if (!WriteKitFile(args[2], EncodePam(image.width, image.height, image.BytesPerPixel(),
                                         image.pixels.data()))) {
        return KitFail("cannot write " + args[2]);
    }
    return 0;
}

int Encode(const std::vector<std::string>& args, TargaForm form) {
    std::vector<uint8_t> file;
    if (!ReadKitFile(args[1], file)) {
        return KitFail("cannot read " + args[1]);
    }
    TargaPixels image;
    std::string error;
    bool png = file.size() >= sizeof PngSignature &&
               std::equal(PngSignature, PngSignature + sizeof PngSignature, file.begin());
    bool pam = file.size() >= 2 && file[0] == 'P' && file[1] == '7';
    if (!png && !pam) {
        return KitFail(args[1] + ": neither a PNG nor a PAM picture");
    }
    if (!(png ? DecodePng(file, image, error) : DecodePam(file, image, error))) {
        return KitFail(args[1] + ": " + error);
    }
    if (!WriteKitFile(args[2], EncodeTarga(image, form, false))) {
        return KitFail("cannot write " + args[2]);
    }
    return 0;
}

int TgaCommand(const std::vector<std::string>& args) {
    if (args.size() == 3 && args[0] == "decode") {
        return Decode(args);
    }
    if (args.size() == 3 && args[0] == "encode") {
        return Encode(args, TargaForm::Uncompressed);
    }
    if (args.size() == 4 && args[0] == "encode" && args[3] == "--rle") {
        return Encode(args, TargaForm::RunLength);
    }
    return KitFail("usage: cataclysm-kit tga decode IN.tga OUT.pam | encode IN OUT.tga [--rle]");
}

}  // namespace

KIT_COMMAND("tga",
            "tga decode IN.tga OUT.pam\n"
            "    Decodes a Targa image as the game does and writes its pixels as a PAM file\n"
            "    (RGB or RGB_ALPHA), rows in the order the texture receives them: the file's\n"
            "    first row first, whatever the image's origin bit says.\n"
            "tga encode IN OUT.tga [--rle]\n"
            "    Writes a Targa image in the form the game reads (24 bits, or 32 with alpha;\n"
            "    bottom-left origin, no ID field; run-length encoded with --rle) from a PNG,\n"
            "    which shows upright in the game, or from a PAM with its rows in the order\n"
            "    'tga decode' writes them, so 'tga decode' gives back the same pixels.",
            TgaCommand);
