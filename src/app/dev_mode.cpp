#include "app/dev_mode.h"

#include "app/show_spine.h"
#include "record/png_file.h"
#include "render/frame_readback.h"
#include "runtime/dev_keys.h"
#include "runtime/show_state.h"
#include "show/dev_overlay_text.h"
#include "show/letterbox.h"
#include "show/part_start.h"
#include "show/part_start_setup.h"

#include <cmath>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

std::string capture_file_name(double scene_time, const std::function<bool(const std::string &)> &taken)
{
    char stem[64];
    std::snprintf(stem, sizeof stem, "scene-%07.3f", std::isfinite(scene_time) ? scene_time : 0.0);
    std::string name = std::string(stem) + ".png";
    for (int n = 2; n <= 999 && taken(name); ++n)
        name = std::string(stem) + "-" + std::to_string(n) + ".png";
    return name;
}

DevMode::DevMode(ShowRun &run, part_start &show, std::string capture_folder)
    : run_(run), show_(show), capture_folder_(std::move(capture_folder)),
      reload_(show.shaders, show_program_files)
{
    show_.pass_hook = &timer_;
    std::printf("author mode: Right/Left 5 s, Page Down/Up 30 s, Home to 0, Space pause, F1 overlay, "
                "F12 capture; shaders reload on save\n");
    if (!overlay_.open())
        std::printf("author mode: no window for the overlay\n");
    std::fflush(stdout);
}

DevMode::~DevMode()
{
    show_.pass_hook = nullptr;
}

void DevMode::before_frame(const std::vector<int> &key_downs)
{
    for (const ReloadReport &report : reload_.poll()) {
        std::fputs(reload_report_text(report).c_str(), stdout);
        if (!report.ok)
            last_error_ = report.log;
    }

    // Escape's fade runs on the show clock: a paused show resumes to end.
    if (quit_requested && run_.paused)
        toggle_pause();

    double now = show_time;
    for (int key : key_downs) {
        const DevKey k = dev_key_command(key, now);
        switch (k.command) {
        case DevCommand::seek:
            seek(k.target);
            now = k.target;
            break;
        case DevCommand::toggle_pause:
            toggle_pause();
            break;
        case DevCommand::toggle_overlay:
            overlay_on_ = !overlay_on_;
            break;
        case DevCommand::capture_frame:
            capture_requested_ = true;
            break;
        case DevCommand::none:
            break;
        }
    }
    std::fflush(stdout);
}

void DevMode::seek(double target)
{
    place_show_at(target);
    std::printf("seek %.3f\n", target);
}

void DevMode::toggle_pause()
{
    run_.paused = !run_.paused;
    run_.music.set_paused(run_.paused);
    std::printf(run_.paused ? "pause %.3f\n" : "resume %.3f\n", show_time);
}

void DevMode::after_frame()
{
    ++rate_frames_;
    const auto now = std::chrono::steady_clock::now();
    const double span = std::chrono::duration<double>(now - rate_start_).count();
    if (span >= 0.5) {
        frames_per_second_ = rate_frames_ / span;
        rate_frames_ = 0;
        rate_start_ = now;
    }

    if (capture_requested_) {
        capture_requested_ = false;
        capture();
    }

    const std::string broken = reload_.current_errors();
    if (overlay_on_) {
        OverlayValues v;
        v.show_time = show_time;
        v.scene_time = show_.scene_time;
        v.frames_per_second = frames_per_second_;
        v.paused = run_.paused;
        v.passes = timer_.times();
        v.passes_on_gpu = timer_.on_gpu();
        v.last_shader_error = last_error_;
        overlay_.draw(overlay_lines(v), &frame_info.spectrum, broken);
    } else if (!broken.empty()) {
        overlay_.draw({}, nullptr, broken);
    }
}

void DevMode::capture()
{
    // The picture as the window shows it, at the render size (the bars of
    // a forced 16:9 picture are not part of it).
    const Viewport picture = centred_viewport(window_width, window_height, render_width, render_height);
    const std::vector<std::uint8_t> rgb =
        read_back_rect_rgb(picture.x, picture.y, picture.width, picture.height);
    const std::string name = capture_file_name(show_.scene_time, [this](const std::string &n) {
        std::error_code ec;
        return fs::exists(fs::path(capture_folder_) / n, ec);
    });
    const std::string path = (fs::path(capture_folder_) / name).string();
    std::string error;
    if (write_png(path, picture.width, picture.height, rgb, error))
        std::printf("capture %s\n", path.c_str());
    else
        std::printf("capture failed: %s: %s\n", path.c_str(), error.c_str());
    std::fflush(stdout);
}
