// Oscillators: see oscillator.h.
#include "oscillator.h"

namespace synth
{

float Oscillator::next_sine_with_offset(double offset)
{
    const float v = static_cast<float>(sine_of_cycles(phase_ + offset));
    advance();
    return v;
}

} // namespace synth
