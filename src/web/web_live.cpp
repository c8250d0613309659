// The live show in the page (web_live.h): the desktop's show_frame with
// DeviceMusic on the audio clock the page passes in.
#include "web/web_live.h"

#include "app/show_spine.h"
#include "runtime/show_sources.h"
#include "runtime/show_state.h"
#include "shell/window.h"
#include "show/part_start.h"
#include "sound/device_music.h"
#include "sound/track_music.h"
#include "web/web_soundtrack.h"

#include <emscripten/emscripten.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <utility>

EM_JS(void, vellamor_play_from_js, (double seconds), {
    if (Module.vellamorPlayFrom)
        Module.vellamorPlayFrom(seconds);
});

// Read at every use, as the desktop reads its device: the set-up's last
// step starts the music long after the step began.
EM_JS(double, vellamor_audio_clock_js, (),
      { return Module.vellamorAudioClock ? Module.vellamorAudioClock() : 0; });

namespace
{
constexpr int most_side = 4096;

// The show's run once the soundtrack is in: its clock and music both read
// the page's audio clock (never backwards: a stale reading holds the show).
struct LiveShow {
    double audio_now = 0.0;
    DeviceMusic music;
    ShowRun run;
    bool ended = false;

    double read_clock()
    {
        const double t = vellamor_audio_clock_js();
        if (std::isfinite(t) && t > audio_now)
            audio_now = t;
        return audio_now;
    }

    explicit LiveShow(std::vector<float> track)
        : music([this] { return read_clock(); }, [](double s) { vellamor_play_from_js(s); },
                std::move(track)),
          run{music.show_clock(), music, true, true}
    {
    }
};

// Before the soundtrack is in, the loading screen's run: it reads neither.
struct Loading {
    SteppedClock clock;
    TrackMusic music;
    ShowRun run{clock, music, true, true};
    bool begun = false;
};

Loading &loading()
{
    static Loading l;
    return l;
}

std::unique_ptr<LiveShow> &live()
{
    static std::unique_ptr<LiveShow> show;
    return show;
}

bool setting_up = false;

void start_up_loading()
{
    show_start_up_loading(loading().run);
}
} // namespace

extern "C" {

int vellamor_live_begin(int width, int height)
{
    Loading &l = loading();
    if (l.begun || width < 16 || height < 16 || width > most_side || height > most_side)
        return 0;
    fullscreen = false;
    force_16_9 = false;
    window_width = render_width = width;
    window_height = render_height = height;
    render_targets.load_failures.clear();
    render_targets.pictures_are_fatal = false;
    if (!window_open("Vellamor", width, height, 32, false, start_up_loading))
        return 0;
    l.begun = true;
    return 1;
}

int vellamor_live_setup_step()
{
    if (!loading().begun || (live() && !setting_up))
        return -1;
    if (!live()) {
        live() = std::make_unique<LiveShow>(std::move(web_soundtrack()));
        setting_up = true;
    }
    if (show_start_up_step(live()->run))
        return 1;
    setting_up = false;
    bool whole = true;
    for (const LoadFailure &failure : render_targets.load_failures) {
        std::fprintf(stderr, "setup: %s\n", describe(failure).c_str());
        whole = false;
    }
    return whole ? 0 : -1;
}

int vellamor_live_tick()
{
    LiveShow *s = live().get();
    if (s == nullptr || s->ended)
        return 0;
    if (show_frame() == FrameEnd::ended) {
        s->ended = true;
        s->music.close();
        return 0;
    }
    // As after the desktop's tick: the Escape latch, then a step of the
    // set-up's remainder.
    latch_escape();
    key_state[vk::f1] = 0;
    if (part_start *main = open_main_show())
        main->continue_setup(render_targets);
    return 1;
}

void vellamor_left_button(int down)
{
    left_button = down != 0 ? 1 : 0;
}

void vellamor_escape()
{
    escape_pressed = true;
}

void vellamor_set_paused(int paused)
{
    LiveShow *s = live().get();
    if (s == nullptr || s->ended)
        return;
    s->music.set_paused(paused != 0);
}

double vellamor_show_time()
{
    return show_time;
}
}
