// The music spectrum at a music time, computed from the soundtrack file
// without playing it: the same samples the sound module analyses while the
// listener hears that time (the buffer after the one playing, see
// analysed_window_start), mixed to mono and scaled by the volume as the
// module mixes them, through the same analyser. So a frame drawn offline at
// a music time sees the spectrum the running show sees at that moment.
// Depends on: sound/sound_decoder.h, sound/spectrum.h. No audio device.
// Limits: one thread at a time.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class SoundDecoder;
class SpectrumAnalyser;

class TrackSpectrum
{
  public:
    TrackSpectrum();
    ~TrackSpectrum();
    TrackSpectrum(const TrackSpectrum &) = delete;
    TrackSpectrum &operator=(const TrackSpectrum &) = delete;

    // False when the file cannot be decoded; every spectrum is then zero.
    bool open(const std::string &path);
    bool is_open() const { return open_; }
    // The track's exact length (0 without a file).
    double length_seconds() const;

    // Zeros before 0, past the end, or without a file. `volume` 0..255.
    std::array<float, 512> at(double music_seconds, int volume = 255);

  private:
    // Decodes the window's frames into `stereo_`; reads forward instead of
    // seeking when the window lies a little ahead (frames of an export).
    void decode_window(std::int64_t start);

    std::unique_ptr<SoundDecoder> decoder_;
    std::unique_ptr<SpectrumAnalyser> analyser_;
    std::vector<float> stereo_;
    std::int64_t next_frame_ = -1; // the decoder's position, -1 unknown
    bool open_ = false;
};
