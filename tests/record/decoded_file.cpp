#include "decoded_file.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

std::vector<std::uint8_t> packed_yuv(const AVFrame *f)
{
    std::vector<std::uint8_t> out;
    for (int plane = 0; plane < 3; ++plane) {
        const int w = plane == 0 ? f->width : (f->width + 1) / 2;
        const int h = plane == 0 ? f->height : (f->height + 1) / 2;
        for (int y = 0; y < h; ++y)
            out.insert(out.end(), f->data[plane] + y * f->linesize[plane],
                       f->data[plane] + y * f->linesize[plane] + w);
    }
    return out;
}

Decoded decode(const std::filesystem::path &file)
{
    Decoded d;
    AVFormatContext *format = nullptr;
    if (avformat_open_input(&format, file.c_str(), nullptr, nullptr) != 0)
        return d;
    avformat_find_stream_info(format, nullptr);
    AVCodecContext *codecs[8] = {};
    for (unsigned i = 0; i < format->nb_streams && i < 8; ++i) {
        const AVStream *st = format->streams[i];
        const AVCodecParameters *p = st->codecpar;
        // Matroska keeps no duration per stream: the file's then.
        const double seconds = st->duration > 0 ? st->duration * av_q2d(st->time_base)
                                                : static_cast<double>(format->duration) / AV_TIME_BASE;
        if (p->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++d.video_streams;
            d.video_codec = avcodec_get_name(p->codec_id);
            d.video_seconds = seconds;
        } else if (p->codec_type == AVMEDIA_TYPE_AUDIO) {
            ++d.audio_streams;
            d.audio_codec = avcodec_get_name(p->codec_id);
            d.audio_seconds = seconds;
        }
        const AVCodec *c = avcodec_find_decoder(p->codec_id);
        codecs[i] = avcodec_alloc_context3(c);
        avcodec_parameters_to_context(codecs[i], p);
        avcodec_open2(codecs[i], c, nullptr);
    }
    AVPacket *packet = av_packet_alloc();
    AVFrame *frame = av_frame_alloc();
    const auto take = [&](AVCodecContext *c) {
        while (avcodec_receive_frame(c, frame) == 0) {
            if (c->codec_type == AVMEDIA_TYPE_VIDEO) {
                d.pictures.push_back(packed_yuv(frame));
            } else {
                // Planar float (the AAC decoder's format): mix to mono.
                const auto *l = reinterpret_cast<const float *>(frame->data[0]);
                const auto *r = reinterpret_cast<const float *>(frame->data[1]);
                for (int i = 0; i < frame->nb_samples; ++i)
                    d.sound.push_back(0.5F * (l[i] + r[i]));
            }
        }
    };
    while (av_read_frame(format, packet) == 0) {
        if (packet->stream_index < 8 && codecs[packet->stream_index] != nullptr) {
            avcodec_send_packet(codecs[packet->stream_index], packet);
            take(codecs[packet->stream_index]);
        }
        av_packet_unref(packet);
    }
    for (AVCodecContext *&c : codecs)
        if (c != nullptr) {
            avcodec_send_packet(c, nullptr);
            take(c);
            avcodec_free_context(&c);
        }
    av_frame_free(&frame);
    av_packet_free(&packet);
    avformat_close_input(&format);
    return d;
}
