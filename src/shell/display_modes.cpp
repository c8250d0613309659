// Display-mode filter, labels, default selection and the 16:9 size rules.
// Depends on: runtime/show_state.h for the settings it writes.
#include "shell/display_modes.h"

#include "runtime/show_state.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

std::vector<DisplayMode> mode_list;

bool mode_is_offered(DisplayMode m)
{
    if (m.width <= 0 || m.height <= 0)
        return false;
    const double w = m.width, h = m.height;
    return w / h <= 1.8 && h / w <= 1.8 && m.width <= 2047 && m.height <= 2047 && m.height <= m.width;
}

void offer_mode(std::vector<DisplayMode> &list, DisplayMode m)
{
    if (std::find(list.begin(), list.end(), m) != list.end())
        return;
    if (mode_is_offered(m))
        list.push_back(m);
}

void ensure_a_mode(std::vector<DisplayMode> &list, std::optional<DisplayMode> desktop)
{
    if (!list.empty())
        return;
    if (desktop && desktop->width > 0 && desktop->height > 0)
        list.push_back(*desktop);
    else
        list.push_back({1280, 720});
}

std::string mode_label(DisplayMode m)
{
    const double r = static_cast<double>(m.width) / m.height;
    const char *format = " %d x %d       ";
    if (std::fabs(r - 16.0 / 9.0) < 0.01)
        format = " %d x %d  (16:9)";
    else if (std::fabs(r - 1.6) < 0.01)
        format = " %d x %d  (16:10)";
    char text[64];
    std::snprintf(text, sizeof text, format, m.width, m.height);
    return text;
}

int default_mode_index(const std::vector<DisplayMode> &list)
{
    for (const DisplayMode preferred : {DisplayMode{1280, 720}, DisplayMode{1024, 768}}) {
        const auto it = std::find(list.begin(), list.end(), preferred);
        if (it != list.end())
            return static_cast<int>(it - list.begin());
    }
    return list.empty() ? -1 : 0;
}

DisplaySettings settings_for_choice(const DisplayChoice &choice)
{
    DisplaySettings s;
    s.antialias = choice.antialiased;
    s.fullscreen = !choice.windowed;
    s.force_16_9 = choice.force_16_9;
    s.window_width = choice.mode.width;
    s.window_height = choice.mode.height;
    s.render_width = choice.mode.width;
    if (!s.force_16_9) {
        s.render_height = choice.mode.height;
    } else {
        const float h = static_cast<float>(choice.mode.width / (16.0 / 9.0));
        s.render_height = static_cast<int>(h);
        if (!s.fullscreen)
            s.window_height = s.render_height;
    }
    return s;
}

void apply_display_settings(const DisplaySettings &s)
{
    fullscreen = s.fullscreen;
    force_16_9 = s.force_16_9;
    antialias = s.antialias;
    window_width = s.window_width;
    window_height = s.window_height;
    render_width = s.render_width;
    render_height = s.render_height;
}
