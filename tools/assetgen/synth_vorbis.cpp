// Ogg Vorbis encoding with libvorbisenc, page by page into memory.
#include "synth_vorbis.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace synth {

namespace {

// The stream serial is usually random; a fixed one keeps the file reproducible.
constexpr int kStreamSerial = 0x4B4C564E;
constexpr int kChunkFrames = 4096;

void appendPage(TBytes& out, const ogg_page& page) {
    out.insert(out.end(), page.header, page.header + page.header_len);
    out.insert(out.end(), page.body, page.body + page.body_len);
}

} // namespace

TBytes encodeOggVorbis(const std::vector<float>& left, const std::vector<float>& right, int sampleRate,
                       float quality) {
    if (left.size() != right.size()) throw std::invalid_argument("encodeOggVorbis: channel lengths differ");

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 2, sampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        throw std::runtime_error("encodeOggVorbis: encoder rejected the settings");
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ARTIST", "Kelvanor");

    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, kStreamSerial);

    TBytes out;
    out.reserve(left.size() / 2);
    ogg_page page;
    {
        ogg_packet identification, comments, codebooks;
        vorbis_analysis_headerout(&dsp, &comment, &identification, &comments, &codebooks);
        ogg_stream_packetin(&stream, &identification);
        ogg_stream_packetin(&stream, &comments);
        ogg_stream_packetin(&stream, &codebooks);
        // Players expect the audio to start on a fresh page after the headers.
        while (ogg_stream_flush(&stream, &page) != 0)
            appendPage(out, page);
    }

    std::size_t position = 0;
    bool finished = false;
    while (!finished) {
        const std::size_t frames = std::min<std::size_t>(kChunkFrames, left.size() - position);
        if (frames == 0) {
            vorbis_analysis_wrote(&dsp, 0); // end of stream
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(frames));
            std::memcpy(buffer[0], left.data() + position, frames * sizeof(float));
            std::memcpy(buffer[1], right.data() + position, frames * sizeof(float));
            vorbis_analysis_wrote(&dsp, static_cast<int>(frames));
            position += frames;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet) != 0) {
                ogg_stream_packetin(&stream, &packet);
                while (ogg_stream_pageout(&stream, &page) != 0) {
                    appendPage(out, page);
                    if (ogg_page_eos(&page) != 0) finished = true;
                }
            }
        }
        // An empty input never produces an end-of-stream page through the loop above.
        if (frames == 0 && !finished) {
            while (ogg_stream_flush(&stream, &page) != 0)
                appendPage(out, page);
            finished = true;
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return out;
}

} // namespace synth
