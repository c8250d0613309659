#include "record/record_sink.h"

#include "record/png_file.h"

#include <chrono>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace
{
class VideoSink final : public RecordSink
{
  public:
    explicit VideoSink(const SinkSettings &s) : settings_(s) {}
    bool open() override { return writer_.open(settings_.out, settings_.video); }
    bool write_frame(long, const std::vector<std::uint8_t> &rgb) override
    {
        return writer_.write_frame(rgb.data());
    }
    bool write_audio(const float *stereo, std::size_t frames) override
    {
        return writer_.write_audio(stereo, frames);
    }
    bool finish() override { return writer_.finish(); }
    std::string discard() override
    {
        std::error_code ec;
        fs::remove(settings_.out, ec);
        return "removed the unfinished " + settings_.out;
    }
    const std::string &error() const override { return writer_.error(); }
    double convert_seconds() const override { return writer_.convert_seconds(); }
    double encode_seconds() const override { return writer_.encode_seconds(); }

  private:
    SinkSettings settings_;
    VideoWriter writer_;
};

class PngSequenceSink final : public RecordSink
{
  public:
    explicit PngSequenceSink(const SinkSettings &s) : settings_(s) {}
    bool open() override
    {
        if (!settings_.video.audio)
            return true;
        if (!wav_.open(soundtrack_wav_path(settings_.out), settings_.video.sample_rate)) {
            error_ = wav_.error();
            return false;
        }
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
    std::string discard() override
    {
        // Every PNG written is whole (a failed one is removed by libpng);
        // the soundtrack's header may be wrong, so it goes.
        std::error_code ec;
        fs::remove(soundtrack_wav_path(settings_.out), ec);
        return "the frames written so far are kept; removed the unfinished " +
               soundtrack_wav_path(settings_.out);
    }
    const std::string &error() const override { return error_; }
    double encode_seconds() const override { return encode_time_; }

  private:
    SinkSettings settings_;
    WavWriter wav_;
    std::string error_;
    double encode_time_ = 0.0;
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
