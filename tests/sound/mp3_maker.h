// Real MP3 files for the sound tests and benchmarks, encoded with
// libmp3lame from generated signals into a scratch folder.
#pragma once

#include <filesystem>
#include <string>

struct ToneFile {
    double seconds = 2.0;
    int rate = 44100;
    int channels = 2;
    // Tone in Hz before `switch_at` seconds and after it; 0 is silence.
    double frequency = 1000.0;
    double switch_at = 1e9;
    double frequency_after = 0.0;
    double amplitude = 0.9;
};

// A fresh scratch folder for this test process, removed when it exits.
std::filesystem::path scratch_dir();

// Encodes the tone into `path` (with the gapless LAME tag); returns the path.
std::filesystem::path make_mp3(const std::filesystem::path &path, const ToneFile &tone);
