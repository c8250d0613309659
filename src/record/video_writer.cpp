#include "record/video_writer.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <vector>

namespace
{
std::string av_text(int code)
{
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

double seconds_since(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}
} // namespace

struct VideoWriter::Impl {
    std::string path;
    VideoSettings settings;
    AVFormatContext *format = nullptr;
    AVCodecContext *video = nullptr;
    AVCodecContext *audio = nullptr;
    AVStream *video_stream = nullptr;
    AVStream *audio_stream = nullptr;
    SwsContext *scaler = nullptr;
    AVFrame *picture = nullptr;
    AVFrame *sound = nullptr;
    AVPacket *packet = nullptr;
    bool file_open = false;
    bool header_written = false;
    long frames = 0;
    std::int64_t samples = 0;
    std::vector<float> left, right; // sound waiting for a whole encoder frame
    std::string error;
    bool out_of_memory = false;
    double convert_time = 0.0, encode_time = 0.0;

    ~Impl()
    {
        sws_freeContext(scaler);
        av_frame_free(&picture);
        av_frame_free(&sound);
        av_packet_free(&packet);
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        if (format != nullptr && file_open)
            avio_closep(&format->pb);
        avformat_free_context(format);
    }

    bool fail(const std::string &what, int code)
    {
        // x264's own failed allocations come back as a generic error (its
        // "malloc of size N failed" goes straight to standard error).
        if (code == AVERROR(ENOMEM))
            out_of_memory = true;
        if (error.empty())
            error = what + " " + path + ": " + (out_of_memory ? "not enough memory" : av_text(code));
        return false;
    }

    // Sends one frame (null: drain) and writes every packet that comes out.
    bool encode(AVCodecContext *codec, AVStream *stream, AVFrame *frame)
    {
        int r = avcodec_send_frame(codec, frame);
        if (r < 0)
            return fail("cannot encode", r);
        for (;;) {
            r = avcodec_receive_packet(codec, packet);
            if (r == AVERROR(EAGAIN) || r == AVERROR_EOF)
                return true;
            if (r < 0)
                return fail("cannot encode", r);
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            r = av_interleaved_write_frame(format, packet);
            if (r < 0)
                return fail("cannot write", r);
            // A failed write of the buffered file (a full disk) is only kept
            // in the I/O context: stop at once rather than at the end.
            if (format->pb != nullptr && format->pb->error < 0)
                return fail("cannot write", format->pb->error);
        }
    }

    bool open_video()
    {
        const AVCodec *codec = avcodec_find_encoder_by_name("libx264");
        if (codec == nullptr)
            codec = avcodec_find_encoder(AV_CODEC_ID_H264);
        if (codec == nullptr)
            return fail("no H.264 encoder for", AVERROR_ENCODER_NOT_FOUND);
        video = avcodec_alloc_context3(codec);
        video->width = settings.width;
        video->height = settings.height;
        video->time_base = AVRational{1, settings.fps};
        video->framerate = AVRational{settings.fps, 1};
        video->pix_fmt = AV_PIX_FMT_YUV420P;
        // swscale's RGB to YUV matrix, said in the stream so players undo it.
        video->colorspace = AVCOL_SPC_SMPTE170M;
        video->color_primaries = AVCOL_PRI_SMPTE170M;
        video->color_trc = AVCOL_TRC_SMPTE170M;
        video->color_range = AVCOL_RANGE_MPEG;
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            video->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        av_opt_set(video->priv_data, "preset", settings.preset.c_str(), 0);
        av_opt_set(video->priv_data, "crf", std::to_string(settings.crf).c_str(), 0);
        int r = avcodec_open2(video, codec, nullptr);
        if (r < 0)
            return fail("cannot start the H.264 encoder for", r);
        video_stream = avformat_new_stream(format, nullptr);
        video_stream->time_base = video->time_base;
        video_stream->avg_frame_rate = video->framerate;
        avcodec_parameters_from_context(video_stream->codecpar, video);

        picture = av_frame_alloc();
        picture->format = video->pix_fmt;
        picture->width = video->width;
        picture->height = video->height;
        r = av_frame_get_buffer(picture, 0);
        if (r < 0)
            return fail("out of memory for", r);
        scaler = sws_getContext(video->width, video->height, AV_PIX_FMT_RGB24, video->width, video->height,
                                AV_PIX_FMT_YUV420P, SWS_BICUBIC, nullptr, nullptr, nullptr);
        if (scaler == nullptr)
            return fail("cannot convert the pictures of", AVERROR(EINVAL));
        return true;
    }

    bool open_audio()
    {
        const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (codec == nullptr)
            return fail("no AAC encoder for", AVERROR_ENCODER_NOT_FOUND);
        audio = avcodec_alloc_context3(codec);
        audio->sample_fmt = AV_SAMPLE_FMT_FLTP;
        audio->sample_rate = settings.sample_rate;
        av_channel_layout_default(&audio->ch_layout, 2);
        audio->bit_rate = settings.audio_bit_rate;
        audio->time_base = AVRational{1, settings.sample_rate};
        if (format->oformat->flags & AVFMT_GLOBALHEADER)
            audio->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        const int r = avcodec_open2(audio, codec, nullptr);
        if (r < 0)
            return fail("cannot start the AAC encoder for", r);
        audio_stream = avformat_new_stream(format, nullptr);
        audio_stream->time_base = audio->time_base;
        avcodec_parameters_from_context(audio_stream->codecpar, audio);
        sound = av_frame_alloc();
        return true;
    }

    // One encoder frame of `n` samples from the front of the waiting sound.
    bool send_sound(int n)
    {
        av_frame_unref(sound);
        sound->format = audio->sample_fmt;
        sound->sample_rate = audio->sample_rate;
        av_channel_layout_copy(&sound->ch_layout, &audio->ch_layout);
        sound->nb_samples = n;
        int r = av_frame_get_buffer(sound, 0);
        if (r < 0)
            return fail("out of memory for", r);
        auto *l = reinterpret_cast<float *>(sound->data[0]);
        auto *rr = reinterpret_cast<float *>(sound->data[1]);
        std::copy(left.begin(), left.begin() + n, l);
        std::copy(right.begin(), right.begin() + n, rr);
        left.erase(left.begin(), left.begin() + n);
        right.erase(right.begin(), right.begin() + n);
        sound->pts = samples;
        samples += n;
        return encode(audio, audio_stream, sound);
    }
};

VideoWriter::VideoWriter() : impl_(std::make_unique<Impl>()) {}

VideoWriter::~VideoWriter() = default;

bool VideoWriter::open(const std::string &path, const VideoSettings &settings)
{
    // The libraries' own notes (x264's statistics above all) would bury the
    // progress lines; their errors come back as codes and are reported.
    av_log_set_level(AV_LOG_ERROR);
    impl_ = std::make_unique<Impl>();
    Impl &m = *impl_;
    m.path = path;
    m.settings = settings;
    const char *container = settings.container.empty() ? nullptr : settings.container.c_str();
    int r = avformat_alloc_output_context2(&m.format, nullptr, container, path.c_str());
    if (r < 0 || m.format == nullptr)
        return m.fail("no container for", r < 0 ? r : AVERROR(EINVAL));
    m.packet = av_packet_alloc();
    if (!m.open_video() || (settings.audio && !m.open_audio()))
        return false;
    r = avio_open(&m.format->pb, path.c_str(), AVIO_FLAG_WRITE);
    if (r < 0)
        return m.fail("cannot create", r);
    m.file_open = true;
    r = avformat_write_header(m.format, nullptr);
    if (r < 0) {
        m.fail("cannot write", r);
        avio_closep(&m.format->pb);
        m.file_open = false;
        std::remove(path.c_str());
        return false;
    }
    m.header_written = true;
    return true;
}

bool VideoWriter::write_frame(const std::uint8_t *rgb)
{
    Impl &m = *impl_;
    if (!m.header_written || !m.error.empty())
        return false;
    const auto start = std::chrono::steady_clock::now();
    int r = av_frame_make_writable(m.picture);
    if (r < 0)
        return m.fail("out of memory for", r);
    const std::uint8_t *planes[1] = {rgb};
    const int strides[1] = {m.settings.width * 3};
    sws_scale(m.scaler, planes, strides, 0, m.settings.height, m.picture->data, m.picture->linesize);
    m.picture->pts = m.frames;
    const auto converted = std::chrono::steady_clock::now();
    m.convert_time += std::chrono::duration<double>(converted - start).count();
    const bool ok = m.encode(m.video, m.video_stream, m.picture);
    m.encode_time += seconds_since(converted);
    if (ok)
        ++m.frames;
    return ok;
}

bool VideoWriter::write_audio(const float *stereo, std::size_t frames)
{
    Impl &m = *impl_;
    if (!m.header_written || !m.error.empty())
        return false;
    if (m.audio == nullptr)
        return true;
    const auto start = std::chrono::steady_clock::now();
    for (std::size_t i = 0; i < frames; ++i) {
        m.left.push_back(stereo[2 * i]);
        m.right.push_back(stereo[2 * i + 1]);
    }
    bool ok = true;
    const auto n = static_cast<std::size_t>(m.audio->frame_size);
    while (ok && m.left.size() >= n)
        ok = m.send_sound(static_cast<int>(n));
    m.encode_time += seconds_since(start);
    return ok;
}

bool VideoWriter::finish()
{
    Impl &m = *impl_;
    if (!m.header_written)
        return false;
    const auto start = std::chrono::steady_clock::now();
    bool ok = m.error.empty();
    // What the encoders hold is written even after a failed frame, so the
    // file keeps every frame that made it; the first error is kept.
    const std::string first_error = m.error;
    m.error.clear();
    if (m.audio != nullptr) {
        if (!m.left.empty())
            ok = m.send_sound(static_cast<int>(m.left.size())) && ok;
        ok = m.encode(m.audio, m.audio_stream, nullptr) && ok;
    }
    ok = m.encode(m.video, m.video_stream, nullptr) && ok;
    const int r = av_write_trailer(m.format);
    if (r < 0)
        ok = m.fail("cannot finish", r);
    m.header_written = false;
    const int c = avio_closep(&m.format->pb);
    m.file_open = false;
    if (c < 0)
        ok = m.fail("cannot close", c);
    m.encode_time += seconds_since(start);
    if (!first_error.empty())
        m.error = first_error;
    return ok;
}

bool VideoWriter::out_of_memory() const
{
    return impl_->out_of_memory;
}

long VideoWriter::frames_written() const
{
    return impl_->frames;
}

const std::string &VideoWriter::error() const
{
    return impl_->error;
}

double VideoWriter::convert_seconds() const
{
    return impl_->convert_time;
}

double VideoWriter::encode_seconds() const
{
    return impl_->encode_time;
}
