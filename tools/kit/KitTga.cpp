// cataclysm-kit tga: looks inside Targa images with the game's own decoder.
#include <string>
#include <vector>

#include "render/TargaFile.h"
#include "tools/kit/KitCommand.h"
#include "tools/kit/KitFiles.h"

namespace {

int TgaCommand(const std::vector<std::string>& args) {
    if (args.size() != 3 || args[0] != "decode") {
        return KitFail("usage: cataclysm-kit tga decode IN.tga OUT.pam");
    }
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

}  // namespace

KIT_COMMAND("tga",
            "tga decode IN.tga OUT.pam\n"
            "    Decodes a Targa image as the game does and writes its pixels as a PAM file\n"
            "    (RGB or RGB_ALPHA), rows in the order the texture receives them: the file's\n"
            "    first row first, whatever the image's origin bit says.",
            TgaCommand);
