// The WAV and video writers, their files read back through libavformat.
#include "decoded_file.h"
#include "record/png_file.h"
#include "record/record_sink.h"
#include "record/video_writer.h"
#include "record/wav_writer.h"
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace
{
fs::path scratch(const std::string &name)
{
    static const ScratchFolder dir("record");
    return dir / name;
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
        const Decoded s = decode(file);
        EXPECT_EQ(s.video_streams, 1) << name;
        EXPECT_EQ(s.audio_streams, 1) << name;
        EXPECT_EQ(s.video_codec, "h264");
        EXPECT_EQ(s.audio_codec, "aac");
        EXPECT_EQ(s.pictures.size(), 30u) << name;
        EXPECT_NEAR(s.video_seconds, 1.0, 1.0 / 30) << name; // Matroska: the file's duration
        EXPECT_NEAR(s.sound.size() / 44100.0, 1.0, 0.05) << name;
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
    EXPECT_FALSE(fs::exists(dir / "soundtrack.wav")) << "the soundtrack takes its name when committed";
    ASSERT_TRUE(sink->commit()) << sink->error();
    EXPECT_FALSE(fs::exists(dir / "soundtrack.wav.part"));
    EXPECT_TRUE(fs::exists(dir / "f000.png"));
    EXPECT_TRUE(fs::exists(dir / "f002.png"));
    EXPECT_FALSE(fs::exists(dir / "f003.png"));
    EXPECT_EQ(fs::file_size(dir / "soundtrack.wav"), 44u + 300u * 4u);
    fs::remove_all(dir);
}

// /dev/full fails every write with ENOSPC: each writer must say so, with the
// file's name, and leave no half-written file behind.
TEST(FullDisk, every_writer_reports_a_full_disk_with_the_path)
{
    const std::string full_text = std::strerror(ENOSPC);
    const auto full_file = [](const std::string &name) {
        const fs::path link = scratch(name);
        fs::remove(link);
        fs::create_symlink("/dev/full", link);
        return link;
    };

    const fs::path png = full_file("full.png");
    std::string error;
    EXPECT_FALSE(write_png(png.string(), 64, 36, gradient(64, 36, 0), error));
    EXPECT_NE(error.find(full_text), std::string::npos) << error;
    EXPECT_FALSE(fs::exists(fs::symlink_status(png)));

    const fs::path wav = full_file("full.wav");
    WavWriter sound;
    const auto samples = tone(44100);
    // stdio buffers: the write may only fail when the file is finished.
    const bool all_written = sound.open(wav.string(), 44100) && sound.write(samples.data(), 44100);
    EXPECT_FALSE(all_written && sound.finish());
    EXPECT_NE(sound.error().find(wav.string()), std::string::npos) << sound.error();
    EXPECT_NE(sound.error().find(full_text), std::string::npos) << sound.error();
    fs::remove(wav);

    const fs::path video = full_file("full.mp4");
    VideoSettings v;
    v.width = 64;
    v.height = 36;
    v.preset = "ultrafast";
    VideoWriter w;
    bool ok = w.open(video.string(), v);
    for (int n = 0; ok && n < 30; ++n)
        ok = w.write_frame(gradient(64, 36, n).data());
    EXPECT_FALSE(ok && w.finish());
    EXPECT_NE(w.error().find(video.string()), std::string::npos) << w.error();
    EXPECT_NE(w.error().find(full_text), std::string::npos) << w.error();
    fs::remove(video);
}

// A video takes its name only when committed: until then (and after a
// discard, or a sink dropped half-way as an exception would) the user's
// file is as it was and the temporary is the only other file.
TEST(RecordSink, a_video_replaces_an_existing_file_only_when_committed)
{
    const fs::path out = scratch("staged.mkv");
    const auto users = [&] { std::ofstream(out, std::ios::binary) << "the user's file"; };
    const auto bytes_of = [](const fs::path &p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    SinkSettings s;
    s.out = out.string();
    s.kind = RecordOutput::mkv;
    s.video.width = 64;
    s.video.height = 36;
    s.video.preset = "ultrafast";
    const fs::path part = out.string() + ".part";
    const auto write_some = [&](RecordSink &sink) {
        ASSERT_TRUE(sink.open()) << sink.error();
        for (long n = 0; n < 5; ++n)
            ASSERT_TRUE(sink.write_frame(n, gradient(64, 36, static_cast<int>(n))));
        EXPECT_TRUE(fs::exists(part));
        EXPECT_EQ(bytes_of(out), "the user's file");
    };

    users();
    {
        const auto sink = make_record_sink(s);
        write_some(*sink);
        ASSERT_TRUE(sink->finish()) << sink->error();
        EXPECT_EQ(bytes_of(out), "the user's file") << "finished is not yet committed";
        ASSERT_TRUE(sink->commit()) << sink->error();
    }
    EXPECT_FALSE(fs::exists(part));
    EXPECT_EQ(decode(out).pictures.size(), 5u);

    users();
    {
        const auto sink = make_record_sink(s);
        write_some(*sink);
        EXPECT_EQ(sink->discard(),
                  "removed the unfinished " + part.string() + "; " + out.string() + " is as it was");
    }
    EXPECT_FALSE(fs::exists(part));
    EXPECT_EQ(bytes_of(out), "the user's file");
    {
        const auto sink = make_record_sink(s);
        write_some(*sink);
    }
    EXPECT_FALSE(fs::exists(part)) << "dropped without a commit";
    EXPECT_EQ(bytes_of(out), "the user's file");
    fs::remove(out);
}

TEST(PngFile, a_still_replaces_the_file_whole_and_leaves_no_temporary)
{
    const fs::path out = scratch("still.png");
    std::ofstream(out) << "older";
    std::string error;
    ASSERT_TRUE(write_png(out.string(), 8, 4, gradient(8, 4, 0), error)) << error;
    EXPECT_GT(fs::file_size(out), 8u);
    EXPECT_FALSE(fs::exists(out.string() + ".part"));
    // A folder in the way: the write fails, the folder stays, nothing else.
    const fs::path folder = scratch("folder.png");
    fs::create_directories(folder);
    EXPECT_FALSE(write_png(folder.string(), 8, 4, gradient(8, 4, 0), error));
    EXPECT_TRUE(fs::is_directory(folder));
    EXPECT_FALSE(fs::exists(folder.string() + ".part"));
    fs::remove(out);
}
