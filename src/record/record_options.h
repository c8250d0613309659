// What a recording writes and which frames it holds, as plain values: the
// kind of output a name asks for, the frame-file pattern of a PNG sequence
// (exactly one %d or %0Nd, never a format string), and the frame times.
// Depends on: nothing.
#pragma once

#include <optional>
#include <string>

enum class RecordOutput { mp4, mkv, png_sequence };

// The output a name asks for: a name ending in .mp4 or .mkv (any case) is a
// video file; a name holding '%' is a PNG sequence, whose pattern must be
// valid. Anything else: nullopt with the reason in `error`.
std::optional<RecordOutput> classify_record_output(const std::string &out, std::string &error);

// A PNG-sequence pattern: exactly one "%d" or "%0Nd" (N from 1 to 9), no
// other '%', a file name ending in ".png" after it. False with the reason.
bool valid_frame_pattern(const std::string &pattern, std::string &error);

// The pattern with its one number put in (a valid pattern only).
std::string frame_file_name(const std::string &pattern, long frame);

// The frames of a recording: frame n shows show time from + n / fps; the
// frames are those before `to` and not past the show's end.
struct RecordPlan {
    double from = 0.0;
    int fps = 60;
    long frames = 0;
    double frame_time(long n) const { return from + static_cast<double>(n) / fps; }
    double seconds() const { return static_cast<double>(frames) / fps; }
};

RecordPlan plan_record(double from, double to, int fps, double show_end);

// The soundtrack frames (at `rate`) that go with video frame n: the
// half-open range [audio_frame_at(n), audio_frame_at(n + 1)), so the audio
// of consecutive frames joins without a gap or an overlap.
long long audio_frame_at(long n, int fps, int rate);
