// The music spectrum at a music time, computed from the soundtrack file
// without playing it: the 1024 frames the listener hears from that time on,
// mixed to mono as the sound module mixes them, through the same analyser.
// So a still drawn at a scene time sees (near enough) the spectrum the
// running show sees at that moment.
// Depends on: sound/sound_decoder.h, sound/spectrum.h. No audio device.
#pragma once

#include <array>
#include <memory>
#include <string>

class SoundDecoder;
class SpectrumAnalyser;

class StillSpectrum
{
  public:
    StillSpectrum();
    ~StillSpectrum();
    StillSpectrum(const StillSpectrum &) = delete;
    StillSpectrum &operator=(const StillSpectrum &) = delete;

    // False when the file cannot be decoded; every spectrum is then zero.
    bool open(const std::string &path);

    // Zeros before 0, past the end, or without a file.
    std::array<float, 512> at(double music_seconds);

  private:
    std::unique_ptr<SoundDecoder> decoder_;
    std::unique_ptr<SpectrumAnalyser> analyser_;
    bool open_ = false;
};
