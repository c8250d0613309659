// Where a recording's frames and sound go: a video file, or a PNG sequence
// with the soundtrack beside it as soundtrack.wav. The video file and the
// soundtrack are written under a temporary name beside their own
// (OUT.part, record/staged_file.h) and take their names only at commit(),
// so an existing file is replaced only by a finished one; a sink destroyed
// without commit() or discard() removes its temporary.
// Depends on: record/video_writer.h, record/wav_writer.h, libpng.
#pragma once

#include "record/record_options.h"
#include "record/video_writer.h"
#include "record/wav_writer.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class RecordSink
{
  public:
    virtual ~RecordSink() = default;
    // Creates the output (its temporary); false with the path and reason in
    // error().
    virtual bool open() = 0;
    virtual bool write_frame(long n, const std::vector<std::uint8_t> &rgb) = 0;
    virtual bool write_audio(const float *stereo, std::size_t frames) = 0;
    // Completes the output so that it plays (also after a failed write:
    // what was written stays usable where it can). False with the reason.
    virtual bool finish() = 0;
    // After finish(): gives the finished file its name, replacing what was
    // there. False with the reason (the temporary stays for discard()).
    virtual bool commit() = 0;
    // Instead of commit(): removes the temporary; says what became of the
    // output, for the user.
    virtual std::string discard() = 0;
    virtual const std::string &error() const = 0;
    // True when the error is a failed allocation.
    virtual bool out_of_memory() const { return false; }
    virtual double convert_seconds() const { return 0.0; }
    virtual double encode_seconds() const = 0;
};

struct SinkSettings {
    std::string out;
    RecordOutput kind = RecordOutput::mp4;
    VideoSettings video;
};

std::unique_ptr<RecordSink> make_record_sink(const SinkSettings &settings);

// The folder that gets soundtrack.wav beside a PNG sequence.
std::string soundtrack_wav_path(const std::string &pattern);
