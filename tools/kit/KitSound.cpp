// The sound families of the kit: what the game would make of a WAV effect or an Ogg Vorbis
// music file, read with the game's own code.
#include "tools/kit/KitSound.h"

#include <cstdio>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "audio/OggVorbis.h"
#include "platform/System.h"
#include "tools/kit/KitCommand.h"
#include "tools/kit/KitFiles.h"

std::string WaveProblem(const WaveLayout& layout) {
    if (!layout.riffSeen) {
        return "no RIFF/WAVE header";
    }
    if (!layout.fmtSeen) {
        return "no \"fmt \" chunk of 16 bytes or more";
    }
    if (!layout.dataSeen) {
        return "no \"data\" chunk after the \"fmt \" chunk";
    }
    if (layout.format == 0) {
        return std::to_string(layout.channels) +
               (layout.channels == 1 ? " channel of " : " channels of ") +
               std::to_string(layout.bitsPerSample) +
               " bits (the game plays 1 or 2 channels of 8 or 16 bits)";
    }
    if (!layout.Playable()) {
        return "a sample rate of " + std::to_string(layout.frequency) +
               " or a data size that OpenAL refuses";
    }
    return "";
}

namespace {

int WavInfo(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!ReadKitFile(path, bytes)) {
        return KitFail("cannot read " + path);
    }
    WaveLayout layout = ParseWave(bytes.data(), bytes.size());
    bool playable = layout.Playable();
    std::printf("loaded %d format 0x%X frequency %u bytes %zu\n", playable ? 1 : 0,
                static_cast<unsigned>(layout.format), layout.frequency,
                playable ? layout.dataSize : size_t{0});
    if (!playable) {
        return KitFail(path + ": " + WaveProblem(layout) + "; the game would leave it silent");
    }
    return 0;
}

int OggInfo(const std::string& path) {
    FILE* probe = OpenFile(path, "rb");
    if (probe == nullptr) {
        return KitFail("cannot read " + path);
    }
    std::fclose(probe);
    FileOpenHook = OpenPlainFile;
    OggVorbis music;
    if (!music.Load(path.c_str())) {
        return KitFail(path + ": not an Ogg Vorbis stream the game can open");
    }
    MusicStreamInfo info = music.Info();
    std::printf("channels %d rate %ld bitrate %ld seconds %.2f format 0x%X\n", info.channels,
                info.rate, info.nominalBitrate, info.seconds, static_cast<unsigned>(info.format));
    if (info.chunkBytes == 0) {
        return KitFail(path + ": a nominal bitrate of " + std::to_string(info.nominalBitrate) +
                       " bits per second is too small; the game would play nothing");
    }
    return 0;
}

int WavCommand(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0] != "info") {
        return KitFail("usage: cataclysm-kit wav info FILE");
    }
    return WavInfo(args[1]);
}

int OggCommand(const std::vector<std::string>& args) {
    if (args.size() != 2 || args[0] != "info") {
        return KitFail("usage: cataclysm-kit ogg info FILE");
    }
    return OggInfo(args[1]);
}

KIT_COMMAND("wav",
            "wav info FILE    what the game makes of a WAV effect:\n"
            "                 loaded L format 0xF frequency F bytes N",
            WavCommand);
KIT_COMMAND("ogg",
            "ogg info FILE    what the game makes of Ogg Vorbis music:\n"
            "                 channels C rate R bitrate B seconds S format 0xF",
            OggCommand);

}  // namespace
