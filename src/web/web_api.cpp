// The page's C interface (web_api.h) on top of the show's spine: the same
// start-up and tick as the desktop's stills, with a stepped clock and the
// soundtrack's music.
#include "web/web_api.h"

#include "app/show_spine.h"
#include "render/frame_readback.h"
#include "runtime/frame_info.h"
#include "runtime/show_sources.h"
#include "runtime/show_state.h"
#include "show/part_start.h"
#include "show/scene_clock.h"
#include "sound/lame_tag.h"
#include "sound/music.h"
#include "sound/track_music.h"
#include "web/web_soundtrack.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <span>

namespace
{
constexpr int most_side = 4096;
// Four hours of stereo at 44.1 kHz: more than any soundtrack, less than the heap.
constexpr int most_frames = 44100 * 60 * 60 * 4;

// The open show's clock and music (one show per page).
struct WebShow {
    SteppedClock clock;
    TrackMusic music;
    ShowRun run{clock, music, false, true};
    bool open = false;
};

WebShow &web_show()
{
    static WebShow show;
    return show;
}
} // namespace

extern "C" {

void *vellamor_alloc(int bytes)
{
    return bytes > 0 ? std::malloc(static_cast<std::size_t>(bytes)) : nullptr;
}

void vellamor_free(void *p)
{
    std::free(p);
}

int vellamor_sound_start_skip(const std::uint8_t *mp3, int bytes, int decoded_frames)
{
    if (mp3 == nullptr || bytes <= 0 || decoded_frames < 0)
        return 0;
    const auto tag = read_lame_tag(std::span<const std::uint8_t>(mp3, static_cast<std::size_t>(bytes)));
    return tag ? browser_start_skip(*tag, decoded_frames) : 0;
}

float *vellamor_sound_buffer(int frames)
{
    if (frames <= 0 || frames > most_frames)
        return nullptr;
    web_soundtrack().assign(static_cast<std::size_t>(frames) * 2, 0.0f);
    return web_soundtrack().data();
}

void vellamor_sound_ready()
{
    web_show().music.open(soundtrack_file);
}

int vellamor_setup(int width, int height)
{
    WebShow &w = web_show();
    if (w.open || width < 16 || height < 16 || width > most_side || height > most_side)
        return 0;
    fullscreen = false;
    force_16_9 = false;
    window_width = render_width = width;
    window_height = render_height = height;
    if (!w.music.is_open())
        w.music.open(soundtrack_file);
    render_targets.load_failures.clear();
    render_targets.pictures_are_fatal = false;
    if (!open_show("Vellamor", false, w.run))
        return 0;
    w.open = true;
    auto *show = static_cast<part_start *>(segment_slots[0]);
    // Frames drawn out of order have no first frames to spread it over.
    show->finish_setup(render_targets);
    bool whole = true;
    for (const LoadFailure &failure : render_targets.load_failures) {
        std::fprintf(stderr, "setup: %s\n", describe(failure).c_str());
        whole = false;
    }
    return whole ? 1 : 0;
}

int vellamor_draw_still(double scene_time)
{
    WebShow &w = web_show();
    if (!w.open || !std::isfinite(scene_time))
        return 0;
    // The clock stands at the jump's show time: the tick's step is 0.
    w.clock.set(clock_for_scene_time(scene_time).raw_time);
    place_show_at_scene_time(scene_time);
    draw_offline_frame(w.clock, w.music, show_time);
    wait_for_gl();
    return 1;
}

int vellamor_tick(double t)
{
    WebShow &w = web_show();
    if (!w.open || !std::isfinite(t))
        return 0;
    return draw_offline_frame(w.clock, w.music, t) == FrameEnd::running ? 1 : 0;
}
}
