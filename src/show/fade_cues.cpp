#include "show/fade_cues.h"

#include "runtime/shaping.h"

void fill_fade_cues(std::vector<Cue> &in, std::vector<Cue> &out)
{
    in.clear();
    out.clear();
    // Appended interleaved, in the order the show has always built them;
    // only the order within each list matters.
    for (double t : {0.0, 21.0, 26.0, 30.9, 35.9, 40.9, 84.0})
        in.push_back({t, 1, 1});
    out.push_back({83.0, 1, 0});
    out.push_back({101.75, 0.75, 0});
    for (double t : {103.05, 103.1, 103.15})
        in.push_back({t, 1, 1});
    in.push_back({131.825, 1, 0.6});
    out.push_back({140.38, 0.75, 0.1});
    out.push_back({157.2, 0.35, 1});
    out.push_back({184.04, 1, 0});
    for (double t : {160.52, 184.86, 203.86})
        in.push_back({t, 1, 1});
    out.push_back({229.0, 0.16, 100.1});
}

double fade_alpha(double t, const std::vector<Cue> &in, const std::vector<Cue> &out)
{
    double alpha = 0.0;
    for (const Cue &cue : in) {
        const double s = cue.time - 0.1;
        if (s < t)
            alpha = 1.0 - ease((t - s) * 0.5 * cue.b, 1.0);
    }
    for (const Cue &cue : out) {
        const double s = cue.time - 0.1;
        if (s < t && t < s + 1.0 / cue.a + cue.b)
            alpha += ease((t - s) * cue.a, 1.0);
    }
    return alpha;
}
