// Program entry, in the show's order: mode list, dialog, console, window
// (which runs start-up), message loop, window close.
// Depends on: app/command_line.h, app/data_folder.h, app/show_spine.h,
// shell/ (modes, dialog, window, message boxes), runtime/console.h.
#include "app/program_entry.h"

#include "app/command_line.h"
#include "app/data_folder.h"
#include "app/dev_mode.h"
#include "app/load_report.h"
#include "app/record.h"
#include "app/show_spine.h"
#include "app/still.h"
#include "app/stop_signals.h"
#include "runtime/console.h"
#include "runtime/message_box.h"
#include "runtime/show_state.h"
#include "shell/display_modes.h"
#include "shell/display_presence.h"
#include "shell/message_box_sdl.h"
#include "shell/setup_dialog.h"
#include "shell/window.h"
#include "sound/music.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace fs = std::filesystem;

namespace
{
constexpr const char *window_title = " =  Vellamor by ZVX - 2011 = ";

// Makes the data folder the working directory, so every file name of the
// show stays relative as written. Without one holding the show's files the
// working directory stays, and the first missing file is reported by the
// part that needs it. False when an explicit --data folder is unusable.
bool enter_data_folder(const CommandLine &cl)
{
    std::error_code ec;
    if (!cl.data_dir.empty()) {
        fs::current_path(cl.data_dir, ec);
        if (ec) {
            message_box("Cannot open the data folder \"" + cl.data_dir + "\": " + ec.message(), "ERROR",
                        MessageIcon::stop);
            return false;
        }
        return true;
    }
    std::vector<fs::path> candidates{fs::current_path(ec)};
    const fs::path exe = executable_folder();
    if (!exe.empty())
        candidates.push_back(exe / "data");
#ifdef VELLAMOR_SOURCE_DATA_DIR
    candidates.emplace_back(VELLAMOR_SOURCE_DATA_DIR);
#endif
    if (const auto found = find_data_folder(candidates))
        fs::current_path(*found, ec);
    return true;
}

// What the viewer is told when no display can show the window.
std::string no_display_text(const std::string &driver)
{
    const bool named = std::getenv("DISPLAY") != nullptr || std::getenv("WAYLAND_DISPLAY") != nullptr;
    const std::string why = named ? "DISPLAY and WAYLAND_DISPLAY name no display that can be opened"
                                  : "neither DISPLAY nor WAYLAND_DISPLAY is set";
    const std::string found =
        driver.empty() ? "SDL video did not start" : "SDL found only its invisible \"" + driver + "\" driver";
    return "No display to show the window on: " + why + " (" + found +
           "). Run the show in a desktop session, or render it without a display: --record OUT.mp4 for "
           "a video, --still T --out FILE.png for a frame.";
}
} // namespace

int program_entry(int argc, char **argv)
{
    // Ours from the first instruction: a stop asked for while an export or
    // a still starts up is seen before its first frame.
    StopSignals signals;
    std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    const std::string program = argc > 0 ? fs::path(argv[0]).filename().string() : "vellamor";
    const CommandLine cl = parse_command_line(args);
    if (!cl.error.empty()) {
        std::fprintf(stderr, "%s: %s\n%s", program.c_str(), cl.error.c_str(), usage_text(program).c_str());
        return 2;
    }
    if (cl.help) {
        std::fputs(usage_text(program).c_str(), stdout);
        return 0;
    }

    install_message_box_handler();
    std::error_code ec;
    const std::string start_folder = fs::current_path(ec).string(); // author mode's captures go here
    if (!cl.still_times.empty()) {
        // The output is named from where the program was started.
        const std::string out = fs::absolute(cl.still_out).string();
        if (!enter_data_folder(cl))
            return 1;
        const auto mode = cl.mode.value_or(std::pair{1280, 720});
        return run_stills(cl.still_times, mode.first, mode.second, out);
    }
    if (!cl.record_out.empty()) {
        RecordRequest request;
        // The output is named from where the program was started.
        request.out = fs::absolute(cl.record_out).string();
        request.kind = cl.record_kind;
        const auto mode = cl.mode.value_or(std::pair{1920, 1080});
        request.width = mode.first;
        request.height = mode.second;
        request.fps = cl.fps;
        request.from = cl.from;
        request.to = cl.to;
        if (!enter_data_folder(cl))
            return 1;
        return run_record(request);
    }
    if (!enter_data_folder(cl))
        return 0;
    // The show leaves SIGINT and SIGTERM to SDL, which turns them into a
    // close of the window (exit 0); one that came before is honoured.
    if (stop_signal() != 0)
        return 128 + stop_signal();
    signals.release();

    // Nobody would see the window (or click the dialog) on SDL's invisible
    // drivers: end as a window failure does, with a message saying why.
    if (const DisplayCheck display = check_live_display(); !display.available) {
        message_box(no_display_text(display.driver), "ERROR", MessageIcon::stop);
        return 0;
    }

    // 1-2. Display modes and the set-up dialog (or the mode given).
    fill_mode_list();
    if (cl.mode) {
        DisplayChoice choice;
        choice.mode = {cl.mode->first, cl.mode->second};
        choice.windowed = cl.windowed;
        choice.force_16_9 = cl.force_16_9;
        apply_display_settings(settings_for_choice(choice));
    } else {
        run_setup_dialog();
    }

    // 3. Console: any command-line text keeps the output, in order.
    if (cl.has_text)
        open_debug_console();
    else
        discard_standard_output();

    // 4. Window, GL state and the whole start-up, on the real clock and the
    // sound device.
    SteadyShowClock clock;
    LiveMusic music;
    ShowRun run{clock, music};
    if (!open_show(window_title, fullscreen, run))
        return 0;
    render_targets.device_context = window_handle();
    // The show goes on without a program or mesh that did not load (its
    // loaders stay quiet, as the show's always were); standard error says
    // which and why.
    report_load_failures(render_targets.load_failures);

    // 5-6. Until the window is closed; this path keeps sound and segments.
    // Author mode lives inside the window's lifetime (its overlay and
    // timers are GL objects).
    std::optional<DevMode> dev;
    if (cl.dev && open_main_show() != nullptr)
        dev.emplace(run, *open_main_show(), start_folder);
    message_loop(dev ? &*dev : nullptr);
    dev.reset();
    window_close();
    return 0;
}
