// The WAV and video writers, their files read back through libavformat.
#include "record/record_sink.h"
#include "record/video_writer.h"
#include "record/wav_writer.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace
{
fs::path scratch(const std::string &name)
{
    const fs::path dir = fs::temp_directory_path() / ("vellamor-record-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir / name;
}

struct Streams {
    int video = 0, audio = 0;
    long video_frames = 0;
    double video_seconds = 0, audio_seconds = 0;
    std::string video_codec, audio_codec;
};

// Counts the packets of each stream and their summed durations.
Streams probe(const fs::path &file)
{
    Streams s;
    AVFormatContext *f = nullptr;
    if (avformat_open_input(&f, file.c_str(), nullptr, nullptr) != 0)
        return s;
    avformat_find_stream_info(f, nullptr);
    for (unsigned i = 0; i < f->nb_streams; ++i) {
        const AVCodecParameters *p = f->streams[i]->codecpar;
        if (p->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++s.video;
            s.video_codec = avcodec_get_name(p->codec_id);
        } else if (p->codec_type == AVMEDIA_TYPE_AUDIO) {
            ++s.audio;
            s.audio_codec = avcodec_get_name(p->codec_id);
        }
    }
    AVPacket *pkt = av_packet_alloc();
    while (av_read_frame(f, pkt) == 0) {
        const AVStream *st = f->streams[pkt->stream_index];
        const double d = static_cast<double>(pkt->duration) * av_q2d(st->time_base);
        if (st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            ++s.video_frames;
            s.video_seconds += d;
        } else {
            s.audio_seconds += d;
        }
        av_packet_unref(pkt);
    }
    av_packet_free(&pkt);
    avformat_close_input(&f);
    return s;
}

std::vector<std::uint8_t> gradient(int w, int h, int frame)
{
    std::vector<std::uint8_t> rgb(static_cast<std::size_t>(w) * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t *p = &rgb[(static_cast<std::size_t>(y) * w + x) * 3];
            p[0] = static_cast<std::uint8_t>(x * 4 + frame);
            p[1] = static_cast<std::uint8_t>(y * 4);
            p[2] = 128;
        }
    return rgb;
}

std::vector<float> tone(std::size_t frames)
{
    std::vector<float> s(frames * 2);
    for (std::size_t i = 0; i < frames; ++i)
        s[2 * i] = s[2 * i + 1] = 0.5F * static_cast<float>(std::sin(i * 0.05));
    return s;
}
} // namespace

TEST(VideoWriter, mp4_and_mkv_hold_one_h264_and_one_aac_stream_of_the_same_length)
{
    for (const char *name : {"clip.mp4", "clip.mkv"}) {
        const fs::path file = scratch(name);
        VideoSettings v;
        v.width = 64;
        v.height = 36;
        v.fps = 30;
        v.preset = "ultrafast";
        VideoWriter w;
        ASSERT_TRUE(w.open(file.string(), v)) << w.error();
        const auto sound = tone(1470);
        for (int n = 0; n < 30; ++n) {
            ASSERT_TRUE(w.write_audio(sound.data(), 1470)) << w.error();
            ASSERT_TRUE(w.write_frame(gradient(64, 36, n).data())) << w.error();
        }
        ASSERT_TRUE(w.finish()) << w.error();
        EXPECT_EQ(w.frames_written(), 30);
        const Streams s = probe(file);
        EXPECT_EQ(s.video, 1) << name;
        EXPECT_EQ(s.audio, 1) << name;
        EXPECT_EQ(s.video_codec, "h264");
        EXPECT_EQ(s.audio_codec, "aac");
        EXPECT_EQ(s.video_frames, 30) << name;
        EXPECT_NEAR(s.video_seconds, 1.0, 0.02) << name; // Matroska counts milliseconds
        EXPECT_NEAR(s.audio_seconds, 1.0, 0.05) << name;
        fs::remove(file);
    }
}

TEST(VideoWriter, a_file_that_cannot_be_made_is_reported_with_its_path_and_leaves_nothing)
{
    const fs::path file = scratch("no-such-folder") / "clip.mp4";
    VideoSettings v;
    v.width = 64;
    v.height = 36;
    VideoWriter w;
    EXPECT_FALSE(w.open(file.string(), v));
    EXPECT_NE(w.error().find(file.string()), std::string::npos) << w.error();
    EXPECT_FALSE(fs::exists(file));
    EXPECT_FALSE(w.write_frame(gradient(64, 36, 0).data()));
}

TEST(WavWriter, writes_16_bit_stereo_with_the_sizes_filled_in)
{
    const fs::path file = scratch("sound.wav");
    WavWriter w;
    ASSERT_TRUE(w.open(file.string(), 44100));
    const float samples[] = {0.0F, 1.0F, -1.0F, 0.5F, 2.0F, -3.0F};
    ASSERT_TRUE(w.write(samples, 3));
    ASSERT_TRUE(w.finish());
    std::ifstream in(file, std::ios::binary);
    const std::vector<unsigned char> b((std::istreambuf_iterator<char>(in)), {});
    ASSERT_EQ(b.size(), 44u + 12u);
    const auto u32 = [&b](std::size_t at) {
        return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | b[at + 3] << 24;
    };
    const auto s16 = [&b](std::size_t at) { return static_cast<std::int16_t>(b[at] | b[at + 1] << 8); };
    EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "RIFF");
    EXPECT_EQ(u32(4), 36u + 12u);
    EXPECT_EQ(u32(24), 44100u);
    EXPECT_EQ(u32(40), 12u);
    EXPECT_EQ(s16(44), 0);
    EXPECT_EQ(s16(46), 32767);
    EXPECT_EQ(s16(48), -32767);
    EXPECT_EQ(s16(50), 16384);
    EXPECT_EQ(s16(52), 32767); // clipped
    EXPECT_EQ(s16(54), -32767);
    fs::remove(file);

    WavWriter nowhere;
    EXPECT_FALSE(nowhere.open((scratch("no-such-folder") / "s.wav").string(), 44100));
    EXPECT_NE(nowhere.error().find("no-such-folder/s.wav"), std::string::npos) << nowhere.error();
}

TEST(RecordSink, a_png_sequence_writes_numbered_frames_and_the_soundtrack_beside_them)
{
    const fs::path dir = scratch("frames");
    fs::create_directories(dir);
    SinkSettings s;
    s.out = (dir / "f%03d.png").string();
    s.kind = RecordOutput::png_sequence;
    s.video.width = 8;
    s.video.height = 4;
    const auto sink = make_record_sink(s);
    ASSERT_TRUE(sink->open()) << sink->error();
    const auto sound = tone(100);
    for (long n = 0; n < 3; ++n) {
        ASSERT_TRUE(sink->write_audio(sound.data(), 100));
        ASSERT_TRUE(sink->write_frame(n, gradient(8, 4, 0)));
    }
    ASSERT_TRUE(sink->finish()) << sink->error();
    EXPECT_TRUE(fs::exists(dir / "f000.png"));
    EXPECT_TRUE(fs::exists(dir / "f002.png"));
    EXPECT_FALSE(fs::exists(dir / "f003.png"));
    EXPECT_EQ(fs::file_size(dir / "soundtrack.wav"), 44u + 300u * 4u);
    fs::remove_all(dir);
}
