#include "show/cloud_passes.h"

#include "runtime/shaping.h"
#include "show/resources.h"

namespace
{

double opening_magnifier(double t)
{
    return 6.0 * ease((t - 26.0) * 0.3, 1.0);
}

template <typename Pass> ParticleUniforms mean_of_passes(double t, int count, Pass pass)
{
    ParticleUniforms sum{0, 0, 0, 0};
    for (int i = 0; i < count; ++i) {
        const ParticleUniforms u = pass(t, i);
        sum.ttime += u.ttime;
        sum.particlesize += u.particlesize;
        sum.magnifier += u.magnifier;
        sum.realttime += u.realttime;
    }
    return {sum.ttime / count, sum.particlesize / count, sum.magnifier / count, sum.realttime / count};
}

} // namespace

ParticleUniforms main_cloud_pass(double t, int i)
{
    // Rows in order; a later matching row replaces what it names.
    ParticleUniforms u;
    u.ttime = t + (t > 21.0 ? 0.01 : 0.03) * i;
    u.particlesize = 0.4 * ease((t - 1.0) * 0.05, 1.0);
    u.magnifier = 0.5;
    u.realttime = t;
    if (t > 21.0) {
        u.particlesize = 0.3;
        u.magnifier = 6.0 * ease((t - 21.0) * 0.3, 1.0);
        u.realttime = 0.0;
    }
    if (t > 26.0) {
        u.magnifier = opening_magnifier(t);
        u.realttime = 0.0;
    }
    if (t > 31.0) {
        u.magnifier = opening_magnifier(t);
        u.realttime = 0.8 * ramp_in(t - 25.0) + 0.01 * i;
    }
    return u;
}

ParticleUniforms main_cloud_draw(double t)
{
    return mean_of_passes(t, main_cloud_passes, main_cloud_pass);
}

double main_cloud_rttime(double t)
{
    return ramp_in(t - 103.3);
}

ParticleUniforms stars_pass(double t)
{
    return {t, 0.3, opening_magnifier(t), t};
}

bool letters_drawn(double t)
{
    return t < 21.8 || t > 204.0;
}

TextureNumber letters_picture(double t)
{
    return t > 100.0 ? tex::logo : tex::letters;
}

ParticleUniforms letters_pass(double t, int i)
{
    return {t + 0.025 * i, 0.3, opening_magnifier(t), t};
}

ParticleUniforms letters_draw(double t)
{
    return mean_of_passes(t, letters_passes, letters_pass);
}
