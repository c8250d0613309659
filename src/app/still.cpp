#include "app/still.h"

#include "app/show_spine.h"
#include "app/still_spectrum.h"
#include "render/frame_readback.h"
#include "render/gl_helpers.h"
#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/generator.h"
#include "runtime/show_state.h"
#include "shell/window.h"
#include "show/part_start.h"
#include "show/scene_clock.h"
#include "show/top_view_plan.h"
#include "sound/music.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace
{

// The session the start-up hook runs: window_open takes a plain function.
struct Session {
    int width = 0, height = 0;
    const std::function<void(OfflineShow &)> *body = nullptr;
};
Session *session = nullptr;

// Texture loads report progress; a still has no loading screen to draw.
void no_progress(double) {}

// The show's start-up without the loading screen, the music or the clock:
// render sets, set-up of the main show, then the session's body.
void offline_start_up()
{
    RenderTargets &ctx = render_targets;
    ctx.progress_callback = no_progress;
    load_gl_entry_points();
    antialias = false;
    ctx.create_render_set(0, render_width, render_height, 0);
    ctx.create_render_set(1, render_width / 2, render_height / 2, 0);
    ctx.create_render_set(2, render_width / 4, render_height / 4, 0);
    ctx.create_render_set(3, 512, 512, 0);
    set_linear_filtering();
    ctx.multisample = false;
    frame_info = FrameInfo{};
    frame_info.show_mode = 1;
    ctx.frame_info = &frame_info;

    auto show = std::make_unique<part_start>();
    show->setup(ctx);
    show->active = 1;

    StillSpectrum spectrum;
    OfflineShow offline(*show, ctx, spectrum, session->width, session->height);
    offline.spectrum_from_music = spectrum.open(soundtrack_file);
    (*session->body)(offline);
}

} // namespace

OfflineShow::OfflineShow(part_start &show_, RenderTargets &ctx_, StillSpectrum &spectrum_, int width_,
                         int height_)
    : show(show_), ctx(ctx_), spectrum(spectrum_), width(width_), height(height_)
{
}

void OfflineShow::prepare(double scene_time)
{
    // Bring the height map to what the show leaves in it at this time.
    const double source = top_view_source_time(scene_time);
    if (source != scene_time) {
        show.scene_time = source;
        show.frame = FrameInfo{};
        const SavedGlAttributes saved;
        show.draw_top_view(ctx);
    }

    const SceneClock clock = clock_for_scene_time(scene_time);
    show.scene_time = clock.scene_time;
    show.raw_time = clock.raw_time;
    FrameInfo &info = frame_info;
    info.adjust[0] = info.adjust[1] = info.adjust[2] = 0.0;
    info.show_time = clock.raw_time;
    info.spectrum = spectrum.at(clock.raw_time);
    // As the frame loop does: the shared generator follows the show clock.
    random_seed(static_cast<std::uint32_t>(static_cast<std::uint64_t>(clock.raw_time * 1000000.0)));
    for (int i = 0; i < 50; ++i)
        random_next();
    ctx.frame_info = &info;
    show.frame = info;
    show.billboard_program = billboard_program_for(show.scene_time);
}

void OfflineShow::draw_at(double scene_time)
{
    prepare(scene_time);
    const double no_step = 0.0;
    show.draw(&no_step, ctx, &frame_info);
    wait_for_gl();
}

std::vector<std::uint8_t> OfflineShow::read_frame() const
{
    return read_back_frame_rgb(width, height);
}

std::vector<std::uint8_t> OfflineShow::read_height_map() const
{
    return read_back_table_texture_rgba(ctx, 101, 512, 512);
}

bool run_offline_show(int width, int height, const std::function<void(OfflineShow &)> &body)
{
    Session s{width, height, &body};
    session = &s;
    fullscreen = false;
    force_16_9 = false;
    window_width = render_width = width;
    window_height = render_height = height;
    const bool opened = window_open("Vellamor still", width, height, 32, false, offline_start_up);
    window_close();
    session = nullptr;
    return opened;
}

bool write_png(const std::string &path, int width, int height, const std::vector<std::uint8_t> &rgb,
               std::string &error)
{
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_RGB;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgb.data(), width * 3, nullptr)) {
        error = image.message;
        png_image_free(&image);
        return false;
    }
    return true;
}

std::string still_file_name(const std::string &out, const std::string &time_text, bool several)
{
    if (!several)
        return out;
    const std::string ext = ".png";
    const bool has_ext =
        out.size() >= ext.size() && out.compare(out.size() - ext.size(), ext.size(), ext) == 0;
    const std::string stem = has_ext ? out.substr(0, out.size() - ext.size()) : out;
    return stem + "-" + time_text + ext;
}

int run_stills(const std::vector<std::string> &times, int width, int height, const std::string &out)
{
    int failures = 0;
    const bool opened = run_offline_show(width, height, [&](OfflineShow &offline) {
        if (!offline.spectrum_from_music)
            std::fprintf(stderr, "still: soundtrack not readable, drawing with a silent spectrum\n");
        for (const std::string &text : times) {
            offline.draw_at(std::stod(text));
            const std::string file = still_file_name(out, text, times.size() > 1);
            std::string error;
            if (!write_png(file, width, height, offline.read_frame(), error)) {
                std::fprintf(stderr, "still: cannot write %s: %s\n", file.c_str(), error.c_str());
                ++failures;
            }
        }
    });
    if (!opened) {
        std::fprintf(stderr, "still: cannot open a %dx%d GL window\n", width, height);
        return 1;
    }
    return failures == 0 ? 0 : 1;
}
