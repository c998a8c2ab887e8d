#include "tools/forge/SoundEncoding.h"

#include <vorbis/vorbisenc.h>

#include <cmath>
#include <cstring>

namespace {

void AppendU16(std::vector<uint8_t>& bytes, uint16_t value) {
    bytes.push_back(static_cast<uint8_t>(value));
    bytes.push_back(static_cast<uint8_t>(value >> 8));
}

void AppendU32(std::vector<uint8_t>& bytes, uint32_t value) {
    AppendU16(bytes, static_cast<uint16_t>(value));
    AppendU16(bytes, static_cast<uint16_t>(value >> 16));
}

// Any fixed number will do; a fixed one keeps the stream's bytes the same on every build.
constexpr int StreamSerialNumber = 0x42436173;
constexpr int FramesPerWrite = 1024;
constexpr uint16_t PcmFormatTag = 1;

void AppendPage(const ogg_page& page, std::vector<uint8_t>& out) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

}  // namespace

void AppendRiffChunk(std::vector<uint8_t>& file, const char* id, const void* body, size_t size) {
    file.insert(file.end(), id, id + 4);
    AppendU32(file, static_cast<uint32_t>(size));
    const uint8_t* bytes = static_cast<const uint8_t*>(body);
    file.insert(file.end(), bytes, bytes + size);
    if (size % 2 == 1) {
        file.push_back(0);
    }
}

std::vector<uint8_t> EncodeWave(const std::vector<int16_t>& samples, int channels, int rate) {
    std::vector<uint8_t> format;
    const uint16_t blockAlign = static_cast<uint16_t>(channels * 2);
    AppendU16(format, PcmFormatTag);
    AppendU16(format, static_cast<uint16_t>(channels));
    AppendU32(format, static_cast<uint32_t>(rate));
    AppendU32(format, static_cast<uint32_t>(rate) * blockAlign);
    AppendU16(format, blockAlign);
    AppendU16(format, 16);
    std::vector<uint8_t> data;
    data.reserve(samples.size() * 2);
    for (int16_t sample : samples) {
        AppendU16(data, static_cast<uint16_t>(sample));
    }
    std::vector<uint8_t> chunks;
    chunks.insert(chunks.end(), {'W', 'A', 'V', 'E'});
    AppendRiffChunk(chunks, "fmt ", format.data(), format.size());
    AppendRiffChunk(chunks, "data", data.data(), data.size());
    std::vector<uint8_t> file;
    AppendRiffChunk(file, "RIFF", chunks.data(), chunks.size());
    return file;
}

std::vector<int16_t> ToPcm16(const std::vector<float>& samples) {
    std::vector<int16_t> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) {
        float clamped = samples[i] < -1.0f ? -1.0f : (samples[i] > 1.0f ? 1.0f : samples[i]);
        pcm[i] = static_cast<int16_t>(std::lround(clamped * 32767.0f));
    }
    return pcm;
}

bool EncodeOggVorbis(const std::vector<float>& interleaved, int channels, long rate, float quality,
                     const char* title, std::vector<uint8_t>& out) {
    out.clear();
    vorbis_info info;
    vorbis_info_init(&info);
    if (channels < 1 || vorbis_encode_init_vbr(&info, channels, rate, quality) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comments;
    vorbis_comment_init(&comments);
    vorbis_comment_add_tag(&comments, "TITLE", title);
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, StreamSerialNumber);

    ogg_packet identification, comment, codebooks;
    vorbis_analysis_headerout(&dsp, &comments, &identification, &comment, &codebooks);
    ogg_stream_packetin(&stream, &identification);
    ogg_stream_packetin(&stream, &comment);
    ogg_stream_packetin(&stream, &codebooks);
    ogg_page page;
    while (ogg_stream_flush(&stream, &page) != 0) {
        AppendPage(page, out);
    }

    const size_t frames = interleaved.size() / static_cast<size_t>(channels);
    size_t written = 0;
    bool ended = false;
    while (!ended) {
        size_t count = frames - written < FramesPerWrite ? frames - written : FramesPerWrite;
        if (count == 0) {
            vorbis_analysis_wrote(&dsp, 0);  // marks the end of the stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(count));
            for (size_t frame = 0; frame < count; ++frame) {
                for (int channel = 0; channel < channels; ++channel) {
                    buffer[channel][frame] =
                        interleaved[(written + frame) * static_cast<size_t>(channels) + channel];
                }
            }
            vorbis_analysis_wrote(&dsp, static_cast<int>(count));
            written += count;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) == 1) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    AppendPage(page, out);
                    ended = ogg_page_eos(&page) != 0;
                }
            }
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comments);
    vorbis_info_clear(&info);
    return true;
}
