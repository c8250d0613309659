#include "show/dev_overlay_text.h"

#include "show/camera_script.h"

#include <algorithm>
#include <cstdio>

namespace
{
std::string format(const char *pattern, double a, double b = 0.0)
{
    char text[128];
    std::snprintf(text, sizeof text, pattern, a, b);
    return text;
}
} // namespace

std::optional<RunningCue> running_fade_cue(double t, const std::vector<Cue> &in, const std::vector<Cue> &out)
{
    std::optional<RunningCue> running;
    for (const Cue &cue : out) {
        const double s = cue.time - 0.1;
        const double fall = 1.0 / cue.a;
        if (s < t && t < s + fall + cue.b)
            running = RunningCue{true, cue, std::min((t - s) / fall, 1.0)};
    }
    if (running)
        return running;
    for (const Cue &cue : in) {
        const double s = cue.time - 0.1;
        const double rise = 2.0 / cue.b;
        if (s < t && t - s < rise)
            running = RunningCue{false, cue, (t - s) / rise};
    }
    return running;
}

std::vector<std::string> overlay_lines(const OverlayValues &v)
{
    std::vector<std::string> lines;
    lines.push_back(format("show %.2f s   scene %.2f s", v.show_time, v.scene_time) +
                    (v.paused ? "   PAUSED" : ""));
    lines.push_back(format("%.1f frames per second", v.frames_per_second));
    lines.push_back(format("camera row from %.1f s", camera_row_for(v.scene_time)));

    std::vector<Cue> in, out;
    fill_fade_cues(in, out);
    if (const auto cue = running_fade_cue(v.scene_time, in, out))
        lines.push_back(format(cue->fading_out ? "fade out at %.2f s, %.0f %%" : "fade in at %.2f s, %.0f %%",
                               cue->cue.time, cue->progress * 100.0));
    else
        lines.push_back("no fade running");

    const char *clock = v.passes_on_gpu ? "GPU" : "CPU";
    for (const PassTime &p : v.passes) {
        char text[128];
        std::snprintf(text, sizeof text, "%-8s %7.2f ms %s", p.name.c_str(), p.milliseconds, clock);
        lines.push_back(text);
    }

    if (!v.last_shader_error.empty()) {
        const std::string first = v.last_shader_error.substr(0, v.last_shader_error.find('\n'));
        lines.push_back("shader error: " + first);
    }
    return lines;
}
