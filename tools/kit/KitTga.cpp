// cataclysm-kit tga: looks inside Targa images with the game's own decoder, and makes Targa
// images in the one form the game is sure to read from PNG and PAM pictures.
#include <string>
#include <vector>

#include "render/TargaFile.h"
#include "tools/kit/KitCommand.h"
#include "tools/kit/KitFiles.h"
#include "tools/kit/KitPng.h"

namespace {

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
    bool png = IsPng(file);
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
            "    'tga decode' writes them, so 'tga decode' gives back the same pixels.\n"
            "    A PNG keeps the sample values stored in it (16 bits rounded to 8), also one\n"
            "    that says nothing of its gamma or colour space, at 8 and 16 bits alike;\n"
            "    only one whose gAMA chunk states another gamma than sRGB's is converted\n"
            "    to sRGB.",
            TgaCommand);
