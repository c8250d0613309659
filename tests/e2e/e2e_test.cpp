// End to end: the real program in a window under Xvfb with dummy audio,
// driven by real X input through xdotool.
//
// When the real soundtrack is not in data/music yet, the test builds a
// temporary data folder: a copy of data/ plus a 20-second MP3 made with sox
// and lame. Without those tools (or without a display) it skips.
#include "support/scratch_folder.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace
{
const fs::path program = fs::path(VELLAMOR_BINARY_DIR) / "vellamor";
const char *const soundtrack = "music/Orvel ft Mirel - Vellamor.mp3";
// Window-name patterns (xdotool takes regular expressions).
const std::string show_title = "^ = +Vellamor by ZVX";
const std::string dialog_title = "^ +Vellamor by ZVX - 2011 $";

std::string run_capture(const std::string &command)
{
    std::string out;
    if (FILE *p = popen(command.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, p) != nullptr)
            out += buffer;
        pclose(p);
    }
    return out;
}

bool have_tool(const char *name)
{
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

std::string read_file(const fs::path &p)
{
    std::ifstream in(p);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct TempDir {
    ScratchFolder scratch{"e2e"};
    const fs::path path = scratch.path();
};

// The program as a child process with its output in files.
struct Show {
    pid_t pid = -1;
    fs::path out, err;
    int status = -1;

    // Output files go to `folder`; `unset` names environment variables the
    // program runs without; it starts in `start_in` when given.
    Show(const std::vector<std::string> &args, const fs::path &folder,
         const std::vector<std::string> &unset = {}, const fs::path &start_in = {})
        : out(folder / "stdout.txt"), err(folder / "stderr.txt")
    {
        pid = fork();
        if (pid == 0) {
            for (const std::string &name : unset)
                unsetenv(name.c_str());
            // Mesa reports every GL error on standard error ("Mesa: User
            // error: ..."); the runs below fail on any.
            setenv("MESA_DEBUG", "1", 1);
            if (!start_in.empty() && chdir(start_in.c_str()) != 0)
                _exit(126);
            std::freopen(out.c_str(), "w", stdout);
            std::freopen(err.c_str(), "w", stderr);
            std::vector<char *> argv{const_cast<char *>(program.c_str())};
            for (const std::string &a : args)
                argv.push_back(const_cast<char *>(a.c_str()));
            argv.push_back(nullptr);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
    }
    ~Show()
    {
        if (running()) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        }
    }
    bool running()
    {
        if (status != -1)
            return false;
        int s = 0;
        if (waitpid(pid, &s, WNOHANG) == pid) {
            status = s;
            return false;
        }
        return true;
    }
    // True when the process ended within `limit`.
    bool wait_for_exit(std::chrono::milliseconds limit)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (running() && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(20ms);
        return !running();
    }
    int exit_code() const { return WIFEXITED(status) ? WEXITSTATUS(status) : -1000 - WTERMSIG(status); }

    // The show's window id, once it is mapped; empty if the process ends first.
    std::string window(std::chrono::seconds limit, const std::string &name = show_title)
    {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (running() && std::chrono::steady_clock::now() < end) {
            std::string id =
                run_capture("xdotool search --onlyvisible --name '" + name + "' 2>/dev/null | head -n 1");
            while (!id.empty() && (id.back() == '\n' || id.back() == '\r'))
                id.pop_back();
            if (!id.empty())
                return id;
            std::this_thread::sleep_for(100ms);
        }
        return {};
    }
};

// GL errors Mesa reported during the run (MESA_DEBUG=1), one line each.
std::string gl_errors(const fs::path &err)
{
    std::istringstream lines(read_file(err));
    std::string found;
    for (std::string line; std::getline(lines, line);)
        if (line.find("Mesa: User error") != std::string::npos ||
            line.find("GL_INVALID") != std::string::npos)
            found += line + "\n";
    return found;
}

// Lines the frame loop prints while the left button is held: one per frame.
int seek_lines(const fs::path &out)
{
    std::istringstream lines(read_file(out));
    int frames = 0;
    for (std::string line; std::getline(lines, line);)
        frames += line == "1" || line == "0";
    return frames;
}

// Holds the left button over the window until the show prints seek lines.
// The window opens before the assets load and a press made while they load
// can be dropped, so the press is renewed every few seconds.
int hold_until_frames(Show &show, const std::string &id, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (show.running() && seek_lines(show.out) < 3 && std::chrono::steady_clock::now() < end) {
        std::system(("xdotool mousemove --window " + id + " 40 40 mousedown 1").c_str());
        for (int i = 0; i < 40 && show.running() && seek_lines(show.out) < 3; ++i)
            std::this_thread::sleep_for(100ms);
        std::system("xdotool mouseup 1");
    }
    return seek_lines(show.out);
}

// The window's pixels as last presented (binary PPM bytes; empty on failure).
std::string grab_window(const std::string &id, const fs::path &file)
{
    if (std::system((std::string(VELLAMOR_WINDOW_GRAB) + " " + id + " '" + file.string() + "'").c_str()) != 0)
        return {};
    return read_file(file);
}

// Polls `file` until it contains `text`.
bool wait_for_text(Show &show, const fs::path &file, const std::string &text, std::chrono::seconds limit)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (show.running() && std::chrono::steady_clock::now() < end) {
        if (read_file(file).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(100ms);
    }
    return read_file(file).find(text) != std::string::npos;
}

// Key taps to the focused window, one at a time, as a person would type them.
void type_keys(const std::string &id, const std::vector<std::string> &keys)
{
    std::system(("xdotool windowfocus --sync " + id).c_str());
    for (const std::string &key : keys) {
        std::system(("xdotool key " + key).c_str());
        std::this_thread::sleep_for(300ms);
    }
}

class EndToEnd : public ::testing::Test
{
  protected:
    TempDir work;
    fs::path data;

    // The show's files with a soundtrack of three seconds, whose warning on
    // standard error also says when start-up is done. Empty (the test
    // skipped or failed) without sox and lame.
    fs::path make_short_data()
    {
        if (!have_tool("sox") || !have_tool("lame")) {
            ADD_FAILURE() << "sox and lame make the short soundtrack (scripts/install-deps installs them)";
            return {};
        }
        const fs::path short_data = work.path / "short-data";
        fs::create_directories(short_data / "music");
        for (const char *folder : {"Materials", "PostProcessing", "neomeshes", "textures"})
            fs::create_directory_symlink(fs::absolute(data) / folder, short_data / folder);
        const fs::path wav = work.path / "three.wav";
        const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + wav.string() +
                                 "' synth 3 sine 330 vol 0.2 && lame --quiet '" + wav.string() + "' '" +
                                 (short_data / soundtrack).string() + "'";
        if (std::system(make.c_str()) != 0) {
            ADD_FAILURE() << make;
            return {};
        }
        return short_data;
    }

    void SetUp() override
    {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display (the GL tests run under xvfb-run)";
        if (!have_tool("xdotool"))
            GTEST_SKIP() << "xdotool is not installed (scripts/install-deps installs it)";
        const fs::path source_data = fs::path(VELLAMOR_SOURCE_DIR) / "data";
        if (fs::exists(source_data / soundtrack)) {
            data = source_data;
            return;
        }
        // No soundtrack yet: a copy of data/ with a short generated one.
        if (!have_tool("sox") || !have_tool("lame"))
            GTEST_SKIP() << "the soundtrack is missing and sox/lame cannot make a stand-in";
        data = work.path / "data";
        fs::copy(source_data, data, fs::copy_options::recursive);
        fs::create_directories(data / "music");
        const fs::path wav = work.path / "tone.wav";
        const std::string make = "sox -n -r 44100 -c 2 -b 16 '" + wav.string() +
                                 "' synth 20 sine 220 vol 0.2 && lame --quiet '" + wav.string() + "' '" +
                                 (data / soundtrack).string() + "'";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;
    }
};
} // namespace

TEST_F(EndToEnd, runs_frames_and_ends_on_a_real_escape_press)
{
    Show show({"--mode", "320x180", "--windowed", "--data", data.string()}, work.path);
    const std::string id = show.window(120s);
    ASSERT_FALSE(id.empty()) << "no window; stderr:\n" << read_file(show.err);

    // Holding the left button re-seeks the music every frame and prints one
    // line per frame: proof that frames run. The middle button captures.
    EXPECT_GE(hold_until_frames(show, id, 120s), 3) << read_file(show.err);
    std::system(("xdotool mousemove --window " + id + " 40 40 click 2").c_str());
    // Author mode's keys mean nothing to the show itself.
    std::system(("xdotool windowfocus --sync " + id + " key Right space F12").c_str());
    std::this_thread::sleep_for(300ms);
    ASSERT_TRUE(show.running()) << read_file(show.err);

    std::system(("xdotool windowfocus --sync " + id + " key Escape").c_str());
    ASSERT_TRUE(show.wait_for_exit(20s)) << "still running after Escape";
    EXPECT_EQ(show.exit_code(), 0) << read_file(show.err);
    EXPECT_EQ(gl_errors(show.err), "");

    const std::string out = read_file(show.out);
    // The captures reach standard output as well as the clipboard.
    EXPECT_NE(out.find("Cam :"), std::string::npos) << out.substr(0, 400);
    EXPECT_NE(out.find("MCr :"), std::string::npos);
    EXPECT_EQ(out.find("seek "), std::string::npos) << "no seek without --dev";
    EXPECT_EQ(out.find("capture "), std::string::npos) << "no capture without --dev";
}

TEST_F(EndToEnd, author_mode_seeks_on_each_right_arrow_and_ends_with_zero_on_escape)
{
    Show show({"--dev", "--mode", "320x180", "--windowed", "--data", data.string()}, work.path);
    const std::string id = show.window(120s);
    ASSERT_FALSE(id.empty()) << "no window; stderr:\n" << read_file(show.err);
    // Author mode announces itself once the show is loaded and the loop runs.
    const auto ready_by = std::chrono::steady_clock::now() + 120s;
    while (show.running() && read_file(show.out).find("author mode") == std::string::npos &&
           std::chrono::steady_clock::now() < ready_by)
        std::this_thread::sleep_for(100ms);
    ASSERT_NE(read_file(show.out).find("author mode"), std::string::npos) << read_file(show.err);

    std::system(("xdotool windowfocus --sync " + id + " key --delay 300 Right Right Right").c_str());
    std::vector<double> seeks;
    const auto seeks_by = std::chrono::steady_clock::now() + 30s;
    while (show.running() && seeks.size() < 3 && std::chrono::steady_clock::now() < seeks_by) {
        std::this_thread::sleep_for(100ms);
        seeks.clear();
        std::istringstream lines(read_file(show.out));
        for (std::string line; std::getline(lines, line);)
            if (line.rfind("seek ", 0) == 0)
                seeks.push_back(std::stod(line.substr(5)));
    }
    ASSERT_EQ(seeks.size(), 3u) << read_file(show.out);
    EXPECT_GE(seeks[0], 5.0) << "a Right press seeks 5 s on from where the show stands";
    EXPECT_LT(seeks[0], seeks[1]);
    EXPECT_LT(seeks[1], seeks[2]);
    EXPECT_LE(seeks[2], 251.0);

    // Escape ends a paused show too (its fade runs on the show clock).
    std::system(("xdotool windowfocus --sync " + id + " key space").c_str());
    std::this_thread::sleep_for(500ms);
    std::system(("xdotool windowfocus --sync " + id + " key Escape").c_str());
    ASSERT_TRUE(show.wait_for_exit(20s)) << "still running after Escape";
    EXPECT_EQ(show.exit_code(), 0) << read_file(show.err);
    const std::string out = read_file(show.out);
    EXPECT_LT(out.find("pause "), out.find("resume ")) << out;
}

TEST_F(EndToEnd, a_three_second_soundtrack_is_reported_and_the_picture_goes_on_after_it)
{
    const fs::path short_data = make_short_data();
    if (short_data.empty())
        return;

    Show show({"--mode", "160x90", "--windowed", "--data", short_data.string()}, work.path);
    const std::string id = show.window(120s);
    ASSERT_FALSE(id.empty()) << "no window; stderr:\n" << read_file(show.err);
    // The warning comes as the music starts, after the loading screen.
    ASSERT_TRUE(wait_for_text(show, show.err, "shorter than the show's 251 s", 120s)) << read_file(show.err);
    const std::string err = read_file(show.err);
    EXPECT_NE(err.find("Vellamor.mp3\" lasts 3.0 s"), std::string::npos) << err;

    // Well after the music has ended, the show still presents new frames.
    std::this_thread::sleep_for(5s);
    const std::string before = grab_window(id, work.path / "before.ppm");
    std::this_thread::sleep_for(3s);
    const std::string after = grab_window(id, work.path / "after.ppm");
    ASSERT_TRUE(show.running()) << read_file(show.err);
    ASSERT_FALSE(before.empty());
    EXPECT_NE(before, after) << "the picture stood still after the music";

    std::system(("xdotool windowfocus --sync " + id + " key Escape").c_str());
    ASSERT_TRUE(show.wait_for_exit(30s)) << "still running after Escape";
    EXPECT_EQ(show.exit_code(), 0) << read_file(show.err);
}

TEST_F(EndToEnd, without_command_line_text_the_captures_still_reach_standard_output)
{
    // Started with no text, in a folder holding the show's files: standard
    // output is discarded (no shader names), yet the captures reach it.
    const fs::path short_data = make_short_data();
    if (short_data.empty())
        return;
    Show show({}, work.path, {}, short_data);
    const std::string dialog = show.window(60s, dialog_title);
    ASSERT_FALSE(dialog.empty()) << read_file(show.err);
    std::system(("xdotool windowfocus --sync " + dialog + " key Return").c_str());
    const std::string id = show.window(120s);
    ASSERT_FALSE(id.empty()) << "no show window after Enter; stderr:\n" << read_file(show.err);
    ASSERT_TRUE(wait_for_text(show, show.err, "shorter than the show's 251 s", 120s)) << read_file(show.err);
    std::this_thread::sleep_for(1s);
    std::system(("xdotool mousemove --window " + id + " 40 40 click 2").c_str());
    std::this_thread::sleep_for(1s);
    ASSERT_TRUE(show.running()) << read_file(show.err);
    std::system(("xdotool windowfocus --sync " + id + " key Escape").c_str());
    ASSERT_TRUE(show.wait_for_exit(30s)) << "still running after Escape";
    EXPECT_EQ(show.exit_code(), 0) << read_file(show.err);

    const std::string out = read_file(show.out);
    EXPECT_NE(out.find("Cam :"), std::string::npos) << out.substr(0, 400);
    EXPECT_NE(out.find("MCr :"), std::string::npos) << out.substr(0, 400);
    EXPECT_EQ(out.find("Materials"), std::string::npos) << out.substr(0, 400);
}

TEST_F(EndToEnd, closing_the_window_ends_the_loop_with_zero)
{
    Show show({"--mode", "320x180", "--windowed", "--data", data.string()}, work.path);
    const std::string id = show.window(120s);
    ASSERT_FALSE(id.empty()) << read_file(show.err);
    EXPECT_GE(hold_until_frames(show, id, 120s), 3) << read_file(show.err);
    ASSERT_EQ(std::system((std::string(VELLAMOR_WM_CLOSE) + " " + id).c_str()), 0);
    ASSERT_TRUE(show.wait_for_exit(20s)) << "still running after the close request";
    EXPECT_EQ(show.exit_code(), 0) << read_file(show.err);
    EXPECT_EQ(gl_errors(show.err), "");
    EXPECT_EQ(read_file(show.out).find("Cam :"), std::string::npos); // no Escape, no captures
}

// Destroyed by another client (a window manager's force-close, `xdotool
// windowclose`): the next drawing call meets a window that is gone. The
// show ends as on a close, without Xlib's fatal "BadDrawable" (status 1).
TEST_F(EndToEnd, a_window_destroyed_by_another_program_ends_the_show_with_zero)
{
    Show show({"--mode", "160x90", "--windowed", "--data", data.string()}, work.path);
    const std::string id = show.window(120s);
    ASSERT_FALSE(id.empty()) << read_file(show.err);
    EXPECT_GE(hold_until_frames(show, id, 120s), 3) << read_file(show.err);
    ASSERT_EQ(std::system((std::string(VELLAMOR_DESTROY_WINDOW) + " " + id).c_str()), 0);
    ASSERT_TRUE(show.wait_for_exit(20s)) << "still running with its window gone";
    EXPECT_EQ(show.exit_code(), 0) << read_file(show.err);
    EXPECT_EQ(read_file(show.err).find("X Error"), std::string::npos) << read_file(show.err);
}

TEST_F(EndToEnd, missing_data_folder_reports_the_missing_file_and_exits_zero)
{
    const fs::path empty = work.path / "empty";
    fs::create_directories(empty);
    Show show({"--mode", "320x180", "--windowed", "--data", empty.string()}, work.path);
    ASSERT_TRUE(show.wait_for_exit(60s)) << "still running without its files";
    EXPECT_EQ(show.exit_code(), 0);
    const std::string err = read_file(show.err);
    // The first file the start-up needs and cannot read is reported: a
    // picture, a mesh or the soundtrack ("No sound file").
    EXPECT_TRUE(err.find("No sound file") != std::string::npos || err.find("textures") != std::string::npos ||
                err.find("neomeshes") != std::string::npos || err.find(".jpg") != std::string::npos)
        << err;
    // The message box's words come with a line that says what is wrong:
    // the programs that did not build, then the picture that ended it.
    EXPECT_NE(err.find("Materials/f_billboards.cpp: missing"), std::string::npos) << err;
    EXPECT_NE(err.find("textures/noise.jpg: missing\nJpg !: textures/noise.jpg"), std::string::npos) << err;

    // A --data folder that does not exist is named in the report.
    const fs::path nowhere = work.path / "no-such-folder";
    Show missing({"--mode", "320x180", "--windowed", "--data", nowhere.string()}, work.path);
    ASSERT_TRUE(missing.wait_for_exit(30s));
    EXPECT_EQ(missing.exit_code(), 0);
    EXPECT_NE(read_file(missing.err).find("no-such-folder"), std::string::npos) << read_file(missing.err);
}

TEST_F(EndToEnd, unknown_option_prints_usage_and_exits_two)
{
    Show show({"--no-such-option"}, work.path);
    ASSERT_TRUE(show.wait_for_exit(10s));
    EXPECT_EQ(show.exit_code(), 2);
    EXPECT_NE(read_file(show.err).find("usage:"), std::string::npos);
}

TEST_F(EndToEnd, dialog_escape_quits_without_opening_the_show)
{
    Show show({"--data", data.string()}, work.path);
    const std::string id = show.window(60s, dialog_title);
    ASSERT_FALSE(id.empty()) << "no set-up dialog; stderr:\n" << read_file(show.err);
    std::system(("xdotool windowfocus --sync " + id + " key Escape").c_str());
    ASSERT_TRUE(show.wait_for_exit(10s)) << "the dialog did not quit";
    EXPECT_EQ(show.exit_code(), 0);
}

// Keyboard alone: the first arrow shows the focus on the resolution list,
// Space opens it; Enter and Escape then belong to the list (they close it)
// and only Escape from the dialog itself quits.
TEST_F(EndToEnd, dialog_keys_close_an_open_list_before_they_quit_or_run)
{
    Show show({"--data", data.string()}, work.path);
    const std::string id = show.window(60s, dialog_title);
    ASSERT_FALSE(id.empty()) << read_file(show.err);
    type_keys(id, {"Up", "space", "Return"});
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(show.running()) << "Enter in the open list ended the dialog";
    EXPECT_TRUE(show.window(1s).empty()) << "Enter in the open list ran the show";
    type_keys(id, {"space", "Down", "Escape"});
    std::this_thread::sleep_for(500ms);
    ASSERT_TRUE(show.running()) << "Escape in the open list quit";
    type_keys(id, {"Escape"});
    ASSERT_TRUE(show.wait_for_exit(10s)) << "Escape from the dialog did not quit";
    EXPECT_EQ(show.exit_code(), 0);
}

// Down to "Antialiased", Right to "Windowed", Space ticks it, Enter runs:
// a window at (50, 50) in the 16:9 shape of the screen's mode.
TEST_F(EndToEnd, dialog_keyboard_alone_ticks_windowed_and_runs)
{
    Show show({"--data", data.string()}, work.path);
    const std::string dialog = show.window(60s, dialog_title);
    ASSERT_FALSE(dialog.empty()) << read_file(show.err);
    type_keys(dialog, {"Down", "Right", "space", "Return"});
    const std::string id = show.window(120s);
    ASSERT_FALSE(id.empty()) << "no show window; stderr:\n" << read_file(show.err);
    const std::string geometry = run_capture("xdotool getwindowgeometry " + id);
    EXPECT_NE(geometry.find("Position: 50,50"), std::string::npos) << geometry;
    const std::string screen = run_capture("xdotool getdisplaygeometry");
    const int screen_width = std::atoi(screen.c_str());
    const int band = static_cast<int>(static_cast<float>(screen_width / (16.0 / 9.0)));
    EXPECT_NE(geometry.find("Geometry: " + std::to_string(screen_width) + "x" + std::to_string(band)),
              std::string::npos)
        << geometry << " on a screen of " << screen;
    type_keys(id, {"Escape"});
    ASSERT_TRUE(show.wait_for_exit(60s)) << "still running after Escape";
    EXPECT_EQ(show.exit_code(), 0) << read_file(show.err);
}

TEST_F(EndToEnd, dialog_enter_runs_the_default_mode_full_screen)
{
    Show show({"--data", data.string()}, work.path);
    const std::string dialog = show.window(60s, dialog_title);
    ASSERT_FALSE(dialog.empty()) << read_file(show.err);
    std::system(("xdotool windowfocus --sync " + dialog + " key Return").c_str());
    const std::string id = show.window(120s);
    ASSERT_FALSE(id.empty()) << "no show window after Enter; stderr:\n" << read_file(show.err);
    EXPECT_GE(hold_until_frames(show, id, 120s), 3) << read_file(show.err);
    std::system(("xdotool windowfocus --sync " + id + " key Escape").c_str());
    ASSERT_TRUE(show.wait_for_exit(30s)) << "still running after Escape";
    EXPECT_EQ(show.exit_code(), 0) << read_file(show.err);
    EXPECT_EQ(gl_errors(show.err), "");
}

// Without a display (ssh, a text console, CI) SDL would open the dialog on
// its invisible "offscreen" driver and wait for a click forever: the live
// show says what is missing and ends as a window failure does.
TEST(NoDisplay, live_show_names_what_is_missing_and_returns_at_once)
{
    TempDir work;
    const std::string data = (fs::path(VELLAMOR_SOURCE_DIR) / "data").string();
    const std::vector<std::string> unset{"DISPLAY", "WAYLAND_DISPLAY", "SDL_VIDEODRIVER",
                                         "VELLAMOR_MESSAGES"};
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"--data", data}, {"--mode", "320x180", "--windowed", "--data", data}}) {
        Show show(args, work.path, unset);
        ASSERT_TRUE(show.wait_for_exit(10s)) << "still waiting without a display; args " << args[0];
        EXPECT_EQ(show.exit_code(), 0);
        const std::string err = read_file(show.err);
        EXPECT_NE(err.find("DISPLAY"), std::string::npos) << err;
        EXPECT_NE(err.find("WAYLAND_DISPLAY"), std::string::npos) << err;
        EXPECT_NE(err.find("--still"), std::string::npos) << err;
        EXPECT_EQ(err.find("PixelFormat"), std::string::npos) << err;
    }
}
