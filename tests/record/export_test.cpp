// The export end to end at 160 x 90, run as a user runs it (no display at
// all), read back through libavformat. Each export costs about a second a
// frame on a loaded machine without a GPU, so the tests share few, short
// exports.
#include "app/still.h"
#include "decoded_file.h"
#include "show/scene_clock.h"
#include "support/scratch_folder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace fs = std::filesystem;

namespace
{
constexpr int width = 160;
constexpr int height = 90;

fs::path scratch()
{
    static const ScratchFolder dir("export");
    return dir.path();
}

fs::path data_folder()
{
    return fs::path(VELLAMOR_SOURCE_DIR) / "data";
}

std::string read_file(const fs::path &file)
{
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Runs the program with no display on `data`; returns its exit status, its
// standard error in `err`. `limits` goes first ("ulimit -v N;").
int run_program_on(const fs::path &data, const std::string &args, std::string &err,
                   const std::string &limits = "")
{
    const fs::path log = scratch() / "stderr.txt";
    const std::string command =
        limits + "env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER SDL_AUDIODRIVER=dummy \"" +
        std::string(VELLAMOR_PROGRAM) + "\" --data \"" + data.string() + "\" " + args + " > /dev/null 2> \"" +
        log.string() + "\"";
    const int status = std::system(command.c_str());
    err = read_file(log);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int run_program(const std::string &args, std::string &err)
{
    return run_program_on(data_folder(), args, err);
}

// A file the user already has, and a check that it is still there as it was.
fs::path users_file(const std::string &name)
{
    const fs::path file = scratch() / name;
    std::ofstream(file, std::ios::binary) << "the user's own " << name;
    return file;
}

void expect_untouched(const fs::path &file)
{
    EXPECT_EQ(read_file(file), "the user's own " + file.filename().string()) << file;
    EXPECT_FALSE(fs::exists(file.string() + ".part")) << file;
}

// A copy of the show's files (the soundtrack linked) with `damage` done to it.
fs::path damaged_data(const std::string &name, const std::function<void(const fs::path &)> &damage)
{
    const fs::path dir = scratch() / ("data-" + name);
    fs::remove_all(dir);
    fs::create_directories(dir);
    for (const char *folder : {"Materials", "PostProcessing", "neomeshes", "textures"})
        fs::copy(data_folder() / folder, dir / folder, fs::copy_options::recursive);
    fs::create_directory_symlink(data_folder() / "music", dir / "music");
    damage(dir);
    return dir;
}

void empty_file(const fs::path &file)
{
    std::ofstream{file, std::ios::trunc};
}

// Starts an export of 160 x 90 frames from 40 s to `to` at `fps` in a child
// process with no display, its standard error going to `log`. A non-zero
// `file_size_limit` makes every write past that many bytes fail (EFBIG) as
// on a full disk. Returns the child's process id (negative if none).
pid_t start_export(const fs::path &out, const fs::path &log, const char *fps, const char *to,
                   rlim_t file_size_limit = 0)
{
    const pid_t child = fork();
    if (child != 0)
        return child;
    std::freopen(log.c_str(), "w", stderr);
    std::freopen("/dev/null", "w", stdout);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (file_size_limit > 0) {
        signal(SIGXFSZ, SIG_IGN); // a write past the limit then fails instead of killing
        const rlimit limit{file_size_limit, file_size_limit};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    execl(VELLAMOR_PROGRAM, VELLAMOR_PROGRAM, "--data", data_folder().c_str(), "--record", out.c_str(),
          "--mode", "160x90", "--fps", fps, "--from", "40", "--to", to, static_cast<char *>(nullptr));
    std::_Exit(127);
}

// RGB rows as the encoder converts them (swscale's BT.601, yuv420p).
std::vector<std::uint8_t> to_yuv420(const std::vector<std::uint8_t> &rgb)
{
    SwsContext *s = sws_getContext(width, height, AV_PIX_FMT_RGB24, width, height, AV_PIX_FMT_YUV420P,
                                   SWS_BICUBIC, nullptr, nullptr, nullptr);
    AVFrame *f = av_frame_alloc();
    f->format = AV_PIX_FMT_YUV420P;
    f->width = width;
    f->height = height;
    av_frame_get_buffer(f, 0);
    const std::uint8_t *planes[1] = {rgb.data()};
    const int strides[1] = {width * 3};
    sws_scale(s, planes, strides, 0, height, f->data, f->linesize);
    auto out = packed_yuv(f);
    av_frame_free(&f);
    sws_freeContext(s);
    return out;
}

double psnr(const std::vector<std::uint8_t> &a, const std::vector<std::uint8_t> &b)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < a.size(); ++i)
        sum += (double(a[i]) - double(b[i])) * (double(a[i]) - double(b[i]));
    const double mse = sum / static_cast<double>(a.size());
    return mse == 0.0 ? 99.0 : 10.0 * std::log10(255.0 * 255.0 / mse);
}

double mean_luma(const std::vector<std::uint8_t> &yuv)
{
    double sum = 0.0;
    for (int i = 0; i < width * height; ++i)
        sum += yuv[i];
    return sum / (width * height);
}

constexpr double cut_from = 20.5;
constexpr int cut_fps = 30;

void expect_streams_of_two_seconds(const Decoded &d)
{
    EXPECT_EQ(d.video_streams, 1);
    EXPECT_EQ(d.audio_streams, 1);
    EXPECT_EQ(d.video_codec, "h264");
    EXPECT_EQ(d.audio_codec, "aac");
    EXPECT_EQ(d.pictures.size(), 60u);
    EXPECT_NEAR(d.video_seconds, 2.0, 1.0 / 30);
    EXPECT_NEAR(d.audio_seconds, 2.0, 0.05);
    EXPECT_NEAR(d.sound.size() / 44100.0, 2.0, 0.05);
}

void expect_frames_to_be_the_stills_of_their_show_times(const Decoded &d)
{
    fs::current_path(data_folder());
    const auto still_of_frame = [](OfflineShow &show, int k) {
        show.draw_at(clock_for_raw_time(cut_from + static_cast<double>(k) / cut_fps).scene_time);
        return to_yuv420(show.read_frame());
    };
    ASSERT_TRUE(run_offline_show(width, height, [&](OfflineShow &show) {
        for (int k : {0, 17, 38})
            EXPECT_GE(psnr(still_of_frame(show, k), d.pictures[k]), 35.0) << "frame " << k;
        // While the camera moves fast, the still of the frame before is
        // measurably further off: the match is to the frame, not the shot.
        EXPECT_GT(psnr(still_of_frame(show, 17), d.pictures[17]),
                  psnr(still_of_frame(show, 16), d.pictures[17]) + 1.0);
    }));
}

void expect_picture_and_music_cuts_on_their_schedules(const Decoded &d)
{
    // The picture: the first frame that has gone black. The show starts its
    // fade to black 0.1 s of scene time before the cut at scene time 21,
    // that is at show time (20.9 - 0.18) / 0.95 = 21.81.
    int black = -1;
    for (int k = 1; k < 60 && black < 0; ++k)
        if (mean_luma(d.pictures[k - 1]) > 21.0 && mean_luma(d.pictures[k]) < 17.0) // black is Y = 16
            black = k;
    const double fade_start = (20.9 - 0.18) / 0.95;
    EXPECT_EQ(black, static_cast<int>(std::ceil((fade_start - cut_from) * cut_fps)));
    // The music: the frame-long window whose loudness rises most, at 21.9 s.
    const std::size_t window = 44100 / cut_fps;
    int onset = -1;
    double rise = 0.0, previous = 0.0;
    for (std::size_t k = 0; (k + 1) * window <= d.sound.size(); ++k) {
        double e = 0.0;
        for (std::size_t i = k * window; i < (k + 1) * window; ++i)
            e += d.sound[i] * d.sound[i];
        e = std::sqrt(e / window);
        if (k > 0 && e / std::max(previous, 1e-6) > rise) {
            rise = e / std::max(previous, 1e-6);
            onset = static_cast<int>(k);
        }
        previous = e;
    }
    EXPECT_LE(std::abs(onset - static_cast<int>(std::lround((21.9 - cut_from) * cut_fps))), 1)
        << "onset in frame " << onset;
    // Against each other: the fade's lead is the show's (2.8 frames here),
    // the export adds nothing to it.
    EXPECT_LE(std::abs((onset - black) - (21.9 - fade_start) * cut_fps), 1.0);
}
} // namespace

// One export of 2 s across the first cut (exports are slow), checked three
// ways: its streams, its frames against stills, and where the cuts land.
TEST(Export, two_seconds_across_the_first_cut_match_stills_and_the_music)
{
    const fs::path out = scratch() / "cut.mp4";
    std::string err;
    ASSERT_EQ(
        run_program("--record \"" + out.string() + "\" --mode 160x90 --fps 30 --from 20.5 --to 22.5", err), 0)
        << err;
    const Decoded d = decode(out);
    expect_streams_of_two_seconds(d);
    ASSERT_EQ(d.pictures.size(), 60u);
    expect_frames_to_be_the_stills_of_their_show_times(d);
    expect_picture_and_music_cuts_on_their_schedules(d);
}

TEST(Export, a_range_past_the_end_stops_at_the_show_end)
{
    const fs::path out = scratch() / "end.mkv";
    std::string err;
    ASSERT_EQ(
        run_program("--record \"" + out.string() + "\" --mode 160x90 --fps 10 --from 250 --to 260", err), 0)
        << err;
    const Decoded d = decode(out);
    EXPECT_EQ(d.pictures.size(), 11u); // 250.0 .. 251.0
    EXPECT_NEAR(d.sound.size() / 44100.0, 1.1, 0.05);
}

TEST(Export, a_png_sequence_comes_with_its_soundtrack)
{
    const fs::path dir = scratch() / "frames";
    fs::create_directories(dir);
    std::string err;
    ASSERT_EQ(run_program("--record \"" + (dir / "f%03d.png").string() +
                              "\" --mode 160x90 --fps 10 --from 30 --to 30.2",
                          err),
              0)
        << err;
    EXPECT_TRUE(fs::exists(dir / "f000.png"));
    EXPECT_TRUE(fs::exists(dir / "f001.png"));
    EXPECT_FALSE(fs::exists(dir / "f002.png"));
    EXPECT_EQ(fs::file_size(dir / "soundtrack.wav"), 44u + 8820u * 4u); // 0.2 s
}

TEST(Export, bad_names_are_usage_errors_and_unwritable_paths_errors_with_the_path)
{
    std::string err;
    const fs::path dir = scratch() / "bad";
    fs::create_directories(dir);
    for (const std::string name : {"show.avi", "f%s.png", "f%d%d.png", "f%n.png"}) {
        EXPECT_EQ(run_program("--record \"" + (dir / name).string() + "\" --mode 160x90", err), 2) << name;
        EXPECT_NE(err.find("usage"), std::string::npos) << err;
    }
    EXPECT_EQ(run_program("--record x.mp4 --mode 161x90", err), 2);
    EXPECT_EQ(run_program("--record x.mp4 --fps 0", err), 2);
    EXPECT_EQ(run_program("--record x.mp4 --from 20 --to 10", err), 2);
    EXPECT_TRUE(fs::is_empty(dir));

    const fs::path nowhere = scratch() / "missing" / "show.mp4";
    EXPECT_EQ(run_program("--record \"" + nowhere.string() + "\" --mode 160x90", err), 1);
    EXPECT_NE(err.find(nowhere.string()), std::string::npos) << err;
    const fs::path no_frames = scratch() / "missing" / "%04d.png";
    EXPECT_EQ(run_program("--record \"" + no_frames.string() + "\" --mode 160x90", err), 1);
    EXPECT_NE(err.find((scratch() / "missing").string()), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(scratch() / "missing"));
}

TEST(Export, sigint_finishes_a_file_that_holds_the_frames_written)
{
    const fs::path out = scratch() / "stopped.mp4";
    const fs::path log = scratch() / "stopped.txt";
    const pid_t child = start_export(out, log, "10", "50");
    ASSERT_GE(child, 0);
    // A plain progress line every 5 % (5 of the 100 frames): stop after 10.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(5);
    while (read_file(log).find("frame 10 of 100") == std::string::npos &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    kill(child, SIGINT);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGINT);
    const std::string err = read_file(log);
    const auto at = err.find("after ");
    ASSERT_NE(at, std::string::npos) << err;
    const long frames = std::atol(err.c_str() + at + 6);
    EXPECT_GE(frames, 10);
    EXPECT_LT(frames, 100);
    const Decoded d = decode(out);
    EXPECT_EQ(static_cast<long>(d.pictures.size()), frames);
    EXPECT_NEAR(d.sound.size() / 44100.0, frames / 10.0, 0.05);
    EXPECT_FALSE(fs::exists(out.string() + ".part")) << "the finished file took its name";
}

// A disk that fills during an export: the file-size limit makes every write
// past 12 KB fail as a full disk would (in an export this short the encoder's
// look-ahead holds the frames until the file is finished, so that is where
// it fails). The error names the file and the reason, the status is 1, and
// no unplayable file is left behind.
TEST(Export, a_disk_that_fills_during_an_export_is_reported_and_leaves_no_broken_file)
{
    const fs::path out = scratch() / "filled.mp4";
    const fs::path log = scratch() / "filled.txt";
    const pid_t child = start_export(out, log, "5", "41", 12000);
    ASSERT_GE(child, 0);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string err = read_file(log);
    // The export writes beside its output and renames once finished.
    EXPECT_NE(err.find(out.string() + ".part: " + std::strerror(EFBIG)), std::string::npos) << err;
    EXPECT_NE(err.find("removed the unfinished " + out.string() + ".part"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(out));
    EXPECT_FALSE(fs::exists(out.string() + ".part"));
}

// A data folder that does not load whole: every bad file is named with its
// reason, nothing is drawn into the user's files and nothing half-made is
// left (the PNG sequence's soundtrack.wav included).
TEST(ExportRefusal, each_damaged_file_stops_a_still_before_it_writes)
{
    const std::vector<std::pair<std::string, std::function<void(const fs::path &)>>> damages = {
        {"textures/noise.jpg: not a JPEG file (empty)",
         [](const fs::path &d) { empty_file(d / "textures/noise.jpg"); }},
        {"textures/letters.jpg: is a folder",
         [](const fs::path &d) {
             fs::remove(d / "textures/letters.jpg");
             fs::create_directory(d / "textures/letters.jpg");
         }},
        {"neomeshes/title.obj: holds no faces",
         [](const fs::path &d) { std::ofstream(d / "neomeshes/title.obj") << "\x01\x02 not a mesh\n"; }},
        {"Materials/f_billboards.cpp: is empty",
         [](const fs::path &d) { empty_file(d / "Materials/f_billboards.cpp"); }},
    };
    const fs::path out = users_file("still.png");
    int k = 0;
    for (const auto &[said, damage] : damages) {
        const fs::path data = damaged_data(std::to_string(k++), damage);
        std::string err;
        EXPECT_EQ(run_program_on(data, "--still 30 --mode 160x90 --out \"" + out.string() + "\"", err), 1)
            << err;
        EXPECT_NE(err.find(said), std::string::npos) << err;
        expect_untouched(out);
        fs::remove_all(data);
    }
    // A --data folder with none of the show's files: each is named.
    const fs::path empty = scratch() / "data-empty";
    fs::create_directories(empty);
    std::string err;
    EXPECT_EQ(run_program_on(empty, "--still 30 --mode 160x90 --out \"" + out.string() + "\"", err), 1)
        << err;
    for (const char *said : {"Materials/v_billboards.cpp: missing", "textures/bg05t.jpg: missing",
                             "neomeshes/leaves.obj: missing"})
        EXPECT_NE(err.find(said), std::string::npos) << err;
    expect_untouched(out);
}

TEST(ExportRefusal, a_damaged_data_folder_stops_an_export_before_it_writes)
{
    const fs::path data = damaged_data("all", [](const fs::path &d) {
        empty_file(d / "textures/noise.jpg");
        std::ofstream(d / "neomeshes/title.obj") << "garbage\n";
        std::ofstream(d / "PostProcessing/f_blurpass.cpp") << "void main() { gl_FragColor = vec4(1.0) }\n";
    });
    const fs::path out = users_file("export.mp4");
    const fs::path frames = scratch() / "refused-frames";
    fs::create_directories(frames);
    for (const std::string &target : {out.string(), (frames / "%03d.png").string()}) {
        std::string err;
        EXPECT_EQ(run_program_on(data, "--record \"" + target + "\" --mode 160x90 --from 30 --to 30.2", err),
                  1)
            << err;
        for (const char *said :
             {"textures/noise.jpg: not a JPEG file (empty)", "neomeshes/title.obj: holds no faces",
              "PostProcessing/f_blurpass.cpp: does not compile: "})
            EXPECT_NE(err.find(said), std::string::npos) << err;
    }
    expect_untouched(out);
    EXPECT_TRUE(fs::is_empty(frames)) << "no frames and no soundtrack.wav";
    fs::remove_all(data);
}

// A stop asked for while the show is still being set up: no frame is drawn
// and the user's file stays as it was.
TEST(Export, sigterm_during_start_up_stops_before_the_first_frame)
{
    const fs::path out = users_file("early.mp4");
    const fs::path log = scratch() / "early.txt";
    const pid_t child = start_export(out, log, "10", "50");
    ASSERT_GE(child, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << read_file(log);
    EXPECT_EQ(WEXITSTATUS(status), 128 + SIGTERM) << read_file(log);
    EXPECT_EQ(read_file(log).find("frame 1 of"), std::string::npos) << read_file(log);
    expect_untouched(out);
}

// A size the machine cannot hold (an address-space limit stands in for a
// small machine): the run says so and leaves nothing behind.
TEST(Export, a_size_the_memory_cannot_hold_is_reported_and_leaves_nothing)
{
    const std::string limit = "ulimit -v 4000000; ";
    const fs::path still = scratch() / "huge.png";
    std::string err;
    EXPECT_EQ(run_program_on(data_folder(), "--still 30 --mode 16384x16384 --out \"" + still.string() + "\"",
                             err, limit),
              1)
        << err;
    EXPECT_NE(err.find("not enough memory for 16384x16384"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(still));
    EXPECT_FALSE(fs::exists(still.string() + ".part"));

    const fs::path out = users_file("huge.mp4");
    EXPECT_EQ(run_program_on(data_folder(), "--record \"" + out.string() + "\" --mode 16384x16384 --to 0.1",
                             err, limit),
              1)
        << err;
    EXPECT_NE(err.find("not enough memory for 16384x16384"), std::string::npos) << err;
    expect_untouched(out);
}

TEST(Export, bad_still_and_export_options_exit_2_and_write_nothing)
{
    const fs::path out = users_file("options.mp4");
    const std::string o = "\"" + out.string() + "\"";
    const fs::path still = scratch() / "x.png";
    const std::string x = " --out \"" + still.string() + "\"";
    for (const std::string &args : std::vector<std::string>{
             "--still 1e308" + x, "--still -5" + x,
             "--still 4 --out \"" + (scratch() / "x.jpg").string() + "\"", "--record " + o + x,
             "--record " + o + " -fps 10", "--record " + o + " --fps 30 --fps 10"}) {
        std::string err;
        EXPECT_EQ(run_program(args, err), 2) << args;
        EXPECT_NE(err.find("usage:"), std::string::npos) << err;
    }
    expect_untouched(out);
    EXPECT_FALSE(fs::exists(still));
    EXPECT_FALSE(fs::exists(scratch() / "x.jpg"));
}
