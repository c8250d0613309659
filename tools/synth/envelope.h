// ADSR envelope with exact segment timing: the attack reaches 1 after
// `attack` seconds, the decay reaches `sustain` `decay` seconds later, and the
// release falls from wherever the level is to exactly 0 in `release` seconds.
//
// Depends on: dsp.h. `curve` bends decay and release (1 = straight line,
// larger = faster fall at first, like an exponential) without moving their
// end points, so a note always ends on silence and never clicks.
#pragma once

#include "dsp.h"

namespace synth
{

struct AdsrSettings {
    double attack = 0.005;
    double decay = 0.1;
    double sustain = 0.7;
    double release = 0.1;
    double curve = 1.0;
};

class Adsr
{
  public:
    explicit Adsr(const AdsrSettings &s);

    void gate_on();
    void gate_off();
    float next();
    bool finished() const { return stage_ == Stage::idle; }
    double level() const { return level_; }

    // Samples from gate-off to silence.
    std::size_t release_samples() const { return release_n_; }

  private:
    enum class Stage { idle, attack, decay, sustain, release };

    AdsrSettings s_;
    std::size_t attack_n_, decay_n_, release_n_;
    Stage stage_ = Stage::idle;
    std::size_t pos_ = 0;
    double level_ = 0.0;
    double from_ = 0.0;
};

} // namespace synth
