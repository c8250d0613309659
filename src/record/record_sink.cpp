#include "record/record_sink.h"

#include "record/png_file.h"
#include "record/staged_file.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
// What became of a staged file that is not committed, for the user.
std::string remove_staged(const std::string &staging, const std::string &out)
{
    std::error_code ec;
    fs::remove(staging, ec);
    std::string said = "removed the unfinished " + staging;
    if (staging != out && fs::exists(out, ec))
        said += "; " + out + " is as it was";
    return said;
}

class VideoSink final : public RecordSink
{
  public:
    explicit VideoSink(const SinkSettings &s) : settings_(s), staging_(staging_path(s.out))
    {
        // The temporary name says nothing of the container: name it.
        settings_.video.container = s.kind == RecordOutput::mkv ? "matroska" : "mp4";
    }
    ~VideoSink() override
    {
        if (opened_ && !settled_)
            remove_staged(staging_, settings_.out);
    }
    bool open() override
    {
        opened_ = writer_.open(staging_, settings_.video);
        return opened_;
    }
    bool write_frame(long, const std::vector<std::uint8_t> &rgb) override
    {
        return writer_.write_frame(rgb.data());
    }
    bool write_audio(const float *stereo, std::size_t frames) override
    {
        return writer_.write_audio(stereo, frames);
    }
    bool finish() override { return writer_.finish(); }
    bool commit() override
    {
        if (!commit_staged(staging_, settings_.out, error_))
            return false;
        settled_ = true;
        return true;
    }
    std::string discard() override
    {
        settled_ = true;
        return remove_staged(staging_, settings_.out);
    }
    const std::string &error() const override { return error_.empty() ? writer_.error() : error_; }
    bool out_of_memory() const override { return writer_.out_of_memory(); }
    double convert_seconds() const override { return writer_.convert_seconds(); }
    double encode_seconds() const override { return writer_.encode_seconds(); }

  private:
    SinkSettings settings_;
    std::string staging_;
    VideoWriter writer_;
    std::string error_; // the commit's
    bool opened_ = false, settled_ = false;
};

class PngSequenceSink final : public RecordSink
{
  public:
    explicit PngSequenceSink(const SinkSettings &s)
        : settings_(s), wav_path_(soundtrack_wav_path(s.out)), staging_(staging_path(wav_path_))
    {
    }
    ~PngSequenceSink() override
    {
        if (opened_ && !settled_)
            remove_staged(staging_, wav_path_);
    }
    bool open() override
    {
        if (!settings_.video.audio)
            return true;
        if (!wav_.open(staging_, settings_.video.sample_rate)) {
            error_ = wav_.error();
            return false;
        }
        opened_ = true;
        return true;
    }
    bool write_frame(long n, const std::vector<std::uint8_t> &rgb) override
    {
        const auto start = std::chrono::steady_clock::now();
        const std::string file = frame_file_name(settings_.out, n);
        std::string why;
        const bool ok = write_png(file, settings_.video.width, settings_.video.height, rgb, why);
        encode_time_ += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!ok && error_.empty())
            error_ = "cannot write " + file + ": " + why;
        return ok;
    }
    bool write_audio(const float *stereo, std::size_t frames) override
    {
        if (!settings_.video.audio)
            return true;
        if (!wav_.write(stereo, frames)) {
            if (error_.empty())
                error_ = wav_.error();
            return false;
        }
        return true;
    }
    bool finish() override
    {
        if (settings_.video.audio && !wav_.finish() && error_.empty())
            error_ = wav_.error();
        return error_.empty();
    }
    bool commit() override
    {
        if (!opened_)
            return true;
        if (!commit_staged(staging_, wav_path_, error_))
            return false;
        settled_ = true;
        return true;
    }
    std::string discard() override
    {
        // Every PNG written is whole (each is renamed into place once
        // written); the soundtrack is not, so it goes.
        settled_ = true;
        if (!opened_)
            return "the frames written so far are kept";
        return "the frames written so far are kept; " + remove_staged(staging_, wav_path_);
    }
    const std::string &error() const override { return error_; }
    double encode_seconds() const override { return encode_time_; }

  private:
    SinkSettings settings_;
    std::string wav_path_, staging_;
    WavWriter wav_;
    std::string error_;
    double encode_time_ = 0.0;
    bool opened_ = false, settled_ = false;
};
} // namespace

std::unique_ptr<RecordSink> make_record_sink(const SinkSettings &settings)
{
    if (settings.kind == RecordOutput::png_sequence)
        return std::make_unique<PngSequenceSink>(settings);
    return std::make_unique<VideoSink>(settings);
}

std::string soundtrack_wav_path(const std::string &pattern)
{
    return (fs::path(pattern).parent_path() / "soundtrack.wav").string();
}
