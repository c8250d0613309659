// Mixing and mastering: see mix.h.
#include "mix.h"

#include "delay.h"
#include "filter.h"
#include "limiter.h"
#include "loudness.h"
#include "reverb.h"

#include <algorithm>
#include <thread>

namespace synth
{
namespace
{

struct Sends {
    float dry;
    float reverb;
    float delay;
    float duck; // depth of the kick ducking, 0..1
};

// Gain envelope that dips after each kick: 1 - depth * duck_shape[i].
std::vector<float> duck_shape(const Score &score, std::size_t frames)
{
    std::vector<float> shape(frames, 0.0f);
    const std::size_t fall = to_samples(0.004);
    const std::size_t span = to_samples(0.4);
    for (const Hit &h : score.hits) {
        if (h.drum != Drum::kick)
            continue;
        const std::size_t start = to_samples(h.time);
        for (std::size_t i = 0; i < span && start + i < frames; ++i) {
            const double t = static_cast<double>(i) / sample_rate;
            const double a = i < fall ? static_cast<double>(i) / fall : std::exp(-(t - 0.004) / 0.1);
            shape[start + i] = std::max(shape[start + i], static_cast<float>(a * std::min(1.0f, h.velocity)));
        }
    }
    return shape;
}

class Bus
{
  public:
    explicit Bus(std::size_t frames) : dry(frames), reverb_send(frames, 0.0f), delay_send(frames) {}

    void add(const StereoBuffer &stem, const Sends &s, const std::vector<float> &duck)
    {
        for (std::size_t i = 0; i < stem.frames(); ++i) {
            const float g = 1.0f - s.duck * duck[i];
            const float l = stem.left[i] * g, r = stem.right[i] * g;
            dry.left[i] += l * s.dry;
            dry.right[i] += r * s.dry;
            reverb_send[i] += 0.5f * (l + r) * s.reverb;
            delay_send.left[i] += l * s.delay;
            delay_send.right[i] += r * s.delay;
        }
    }

    StereoBuffer dry;
    std::vector<float> reverb_send;
    StereoBuffer delay_send;
};

// Renders the parts listed by `which` (bit i = part i) into a bus.
void render_parts(const Score &score, unsigned which, const std::vector<float> &duck, Bus &bus)
{
    const std::size_t frames = bus.dry.frames();
    auto stem_of = [&](unsigned bit, const std::vector<Note> &notes, auto &&render, const Sends &sends) {
        if (!(which & (1u << bit)) || notes.empty())
            return;
        StereoBuffer stem(frames);
        std::uint32_t seed = 1;
        for (const Note &n : notes)
            render(n, seed++, stem);
        bus.add(stem, sends, duck);
    };
    stem_of(
        0, score.pad,
        [](const Note &n, std::uint32_t seed, StereoBuffer &b) { render_ensemble(n, pad_patch(), seed, b); },
        {1.0f, 0.55f, 0.0f, 0.45f});
    stem_of(
        1, score.stab,
        [](const Note &n, std::uint32_t seed, StereoBuffer &b) { render_ensemble(n, stab_patch(), seed, b); },
        {1.0f, 0.7f, 0.35f, 0.0f});
    stem_of(2, score.pluck,
            [](const Note &n, std::uint32_t, StereoBuffer &b) { render_fm(n, pluck_patch(), b); },
            {0.8f, 0.3f, 0.45f, 0.3f});
    stem_of(3, score.bell,
            [](const Note &n, std::uint32_t, StereoBuffer &b) { render_fm(n, bell_patch(), b); },
            {0.7f, 0.8f, 0.35f, 0.0f});
    stem_of(4, score.buzz,
            [](const Note &n, std::uint32_t, StereoBuffer &b) { render_fm(n, buzz_patch(), b); },
            {0.75f, 0.25f, 0.3f, 0.2f});
    stem_of(5, score.bass, [](const Note &n, std::uint32_t, StereoBuffer &b) { render_bass(n, b); },
            {1.0f, 0.0f, 0.0f, 0.55f});
    // The lead sits about 3 dB over the accompaniment in its own range.
    stem_of(6, score.lead, [](const Note &n, std::uint32_t, StereoBuffer &b) { render_lead(n, b); },
            {1.2f, 0.56f, 0.56f, 0.1f});
    if (which & (1u << 7)) {
        // Kick and boom stay dry; the rest of the kit gets some room.
        StereoBuffer low(frames), kit(frames);
        std::uint32_t seed = 7;
        for (const Hit &h : score.hits) {
            const bool is_low = h.drum == Drum::kick || h.drum == Drum::boom;
            render_drum(h.drum, h.time, h.velocity, seed++, is_low ? low : kit);
        }
        for (const Sweep &sw : score.sweeps) {
            if (sw.rising_noise)
                render_riser(sw.start, sw.length, sw.velocity, seed++, kit);
            else
                render_swell(sw.start, sw.length, sw.velocity, seed++, kit);
        }
        bus.add(low, {1.0f, 0.05f, 0.0f, 0.0f}, duck);
        bus.add(kit, {0.9f, 0.25f, 0.05f, 0.0f}, duck);
    }
}

} // namespace

StereoBuffer mix_score(const Score &score)
{
    const std::size_t frames = to_samples(score.length);
    const auto duck = duck_shape(score, frames);

    // Two fixed halves of the parts render side by side and are summed in a
    // fixed order, so the result does not depend on thread timing.
    Bus bus(frames), other(frames);
    std::thread worker([&] { render_parts(score, 0b0101'0001u, duck, other); });
    render_parts(score, 0b1010'1110u, duck, bus);
    worker.join();
    for (std::size_t i = 0; i < frames; ++i) {
        bus.dry.left[i] += other.dry.left[i];
        bus.dry.right[i] += other.dry.right[i];
        bus.reverb_send[i] += other.reverb_send[i];
        bus.delay_send.left[i] += other.delay_send.left[i];
        bus.delay_send.right[i] += other.delay_send.right[i];
    }
    other = Bus(0);

    // Effects returns, emptied at the requested times so that silence is
    // really silent.
    StereoBuffer out = std::move(bus.dry);
    Reverb reverb({0.86, 0.35, 1.0});
    StereoDelay delay({0.4875, 0.38, 3200.0, 1.0});
    std::vector<std::size_t> clears;
    for (double t : score.fx_clear_times)
        clears.push_back(to_samples(t));
    const float reverb_return = 1.0f;
    const float delay_return = 0.5f;
    const auto &times = score.delay_times;
    std::size_t point = 0;
    for (std::size_t i = 0; i < frames; ++i) {
        if (std::find(clears.begin(), clears.end(), i) != clears.end()) {
            reverb.clear();
            delay.clear();
        }
        if (!times.empty()) {
            const double t = static_cast<double>(i) / sample_rate;
            while (point + 1 < times.size() && times[point + 1].time <= t)
                ++point;
            const DelayPoint &a = times[point];
            if (t <= a.time || point + 1 == times.size()) {
                delay.set_time(a.seconds);
            } else {
                const DelayPoint &b = times[point + 1];
                delay.set_time(a.seconds + (b.seconds - a.seconds) * (t - a.time) / (b.time - a.time));
            }
        }
        float dl, dr, rl, rr;
        delay.process(bus.delay_send.left[i], bus.delay_send.right[i], dl, dr);
        reverb.process(bus.reverb_send[i] + 0.3f * (dl + dr), rl, rr);
        out.left[i] += rl * reverb_return + dl * delay_return;
        out.right[i] += rr * reverb_return + dr * delay_return;
    }

    // DC and sub-sonic rumble out, then the master automation.
    Svf hp_l(18.0, 0.7071), hp_r(18.0, 0.7071);
    for (std::size_t i = 0; i < frames; ++i) {
        const double g = automation_gain(score.master, static_cast<double>(i) / sample_rate);
        out.left[i] = static_cast<float>(hp_l.process(out.left[i]).high * g);
        out.right[i] = static_cast<float>(hp_r.process(out.right[i]).high * g);
    }
    return out;
}

MasterReport master(StereoBuffer &mix, const MasterSettings &settings)
{
    MasterReport report;
    const LimiterSettings limiter{db_to_gain(settings.ceiling_db), 0.004, 0.15};
    double gain_db = settings.target_lufs - integrated_loudness(mix.left, mix.right);
    StereoBuffer out;
    for (int pass = 0; pass < settings.passes; ++pass) {
        out = mix;
        const float g = static_cast<float>(db_to_gain(gain_db));
        for (std::size_t i = 0; i < out.frames(); ++i) {
            out.left[i] *= g;
            out.right[i] *= g;
        }
        const double smallest = limit(out, limiter);
        report.lufs = integrated_loudness(out.left, out.right);
        report.gain_db = gain_db;
        report.smallest_limiter_gain_db = gain_to_db(smallest);
        const double error_db = settings.target_lufs - report.lufs;
        if (std::fabs(error_db) < 0.01)
            break;
        gain_db += error_db;
    }
    report.sample_peak_db = sample_peak_db(out.left, out.right);
    mix = std::move(out);
    return report;
}

} // namespace synth
