// Author mode (vellamor --dev): the running show plus what someone changing
// it needs. Right / Left seek 5 s, Page Down / Page Up 30 s, Home back to 0,
// Space pauses and resumes music and picture together; shader files under
// Materials/ and PostProcessing/ are rebuilt when they change on disk (a
// broken one keeps the last good program; its log goes on screen and to
// standard output); F1 shows the overlay; F12 writes the frame as a PNG.
//
// The message loop hands it every key-down and calls it around each tick
// (it is the loop's LoopHook).
// Seeks go through the show's own jump (place_show_at), so the frame after a
// seek is the frame the show draws at that time; each prints "seek T".
// Without --dev none of this exists: the loop runs without it.
// Depends on: app/show_spine.h (the jump, the run's pause), show/ (reload,
// overlay text), render/ (pass timer, read-back), shell/dev_overlay.h,
// runtime/dev_keys.h. Main thread, while the show's window is open.
#pragma once

#include "app/loop_hook.h"
#include "render/pass_timer.h"
#include "shell/dev_overlay.h"
#include "show/shader_reload.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

class part_start;
struct ShowRun;

class DevMode final : public LoopHook
{
  public:
    // After start-up, with the show's context current. PNG captures go to
    // `capture_folder` (where the program was started).
    DevMode(ShowRun &run, part_start &show, std::string capture_folder);
    ~DevMode();
    DevMode(const DevMode &) = delete;
    DevMode &operator=(const DevMode &) = delete;

    // Before a tick: rebuild what changed on disk, then act on the keys
    // pressed since the last tick, in order (so three quick Right presses
    // are three seeks of 5 s each).
    void before_frame(const std::vector<int> &key_downs) override;
    // After the tick drew the frame, before it is presented: the F12
    // capture (the show's pixels only), then the overlay or, with the
    // overlay off, the log of a shader that is broken now.
    void after_frame() override;

  private:
    void seek(double show_time);
    void toggle_pause();
    void capture();

    ShowRun &run_;
    part_start &show_;
    std::string capture_folder_;
    ShaderReload reload_;
    PassTimer timer_;
    DevOverlay overlay_;
    bool overlay_on_ = false;
    bool capture_requested_ = false;
    std::string last_error_;
    // Frames per second over the last half second or so.
    std::chrono::steady_clock::time_point rate_start_ = std::chrono::steady_clock::now();
    int rate_frames_ = 0;
    double frames_per_second_ = 0.0;
};

// "scene-061.170.png": the scene time, zero-padded so a folder of captures
// sorts in show order; "-2", "-3" ... before ".png" when `taken` says the
// name is in use (at most 999 tries, then the last name is reused).
std::string capture_file_name(double scene_time, const std::function<bool(const std::string &)> &taken);
