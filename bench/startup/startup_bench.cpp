// Start-up time of the show, from opening the window to the first show
// frame on screen, with the set-up broken down by asset kind. It runs the
// start-up sequence step by step as the program does (render sets, the
// loading screen, the main show's set-up in its seven steps, the music, one
// frame of the show) and prints a table; then a second frame and the
// set-up's remainder, step by step, which the show runs after its frames.
//
// Usage: startup_bench [WIDTH HEIGHT]   (default 1280 720)
// Run it under xvfb-run with SDL_AUDIODRIVER=dummy for a headless machine.
// Each step ends with glFinish, so asynchronous GL work is charged to the
// step that issued it. The loading-screen frames drawn while the pictures
// load are listed apart from the pictures themselves.
// Depends on: SDL2 (window, context), GLEW, the show and render modules.
#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/show_state.h"
#include "show/grid_lists.h"
#include "show/part_loader.h"
#include "show/part_start.h"
#include "show/part_start_setup.h"
#include "show/resources.h"
#include "sound/music.h"

#include <GL/glew.h>
#include <SDL.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace
{

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct Row {
    std::string step;
    double seconds;
    double resident_mb = -1.0; // after the step; below 0: not measured
    double cpu_seconds = -1.0; // processor time of the process, all threads
};

// Processor time of the whole process (every thread, user and system) so far:
// on a shared, loaded machine it says more than the wall clock.
double cpu_seconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval &t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1.0e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Resident memory of the process now, in MB (Linux /proc; -1 elsewhere).
double resident_mb()
{
    std::FILE *statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr)
        return -1.0;
    unsigned long size = 0, resident = 0;
    const int read = std::fscanf(statm, "%lu %lu", &size, &resident);
    std::fclose(statm);
    if (read != 2)
        return -1.0;
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1.0e6;
}

std::vector<Row> rows;

// Times one step, GL work included.
template <class Step> void timed(const std::string &name, Step &&step)
{
    const Clock::time_point start = Clock::now();
    const double cpu_start = cpu_seconds();
    step();
    glFinish();
    rows.push_back({name, seconds_since(start), resident_mb(), cpu_seconds() - cpu_start});
}

SDL_Window *window = nullptr;
RenderTargets *context = nullptr;
part_loader *loading_screen = nullptr;
FrameInfo *frame = nullptr;
double progress_seconds = 0.0;
int progress_frames = 0;

// The loading screen's progress frame, as start-up installs it, timed.
void progress(double step)
{
    const Clock::time_point start = Clock::now();
    const double time_step = step * 0.567;
    loading_screen->draw(&time_step, *context, frame);
    SDL_GL_SwapWindow(window);
    glFinish();
    progress_seconds += seconds_since(start);
    ++progress_frames;
}

// ---- What the show holds, at the sizes it made things --------------------

double mb(double bytes)
{
    return bytes / 1.0e6;
}

// Bytes of a 2-D table texture with its mipmap levels. Mesa's software
// renderer keeps every format the show uses at 4 bytes a texel (RGB too).
double texture_bytes(GLuint name)
{
    while (glGetError() != GL_NO_ERROR) {
    }
    glBindTexture(GL_TEXTURE_2D, name);
    if (glGetError() != GL_NO_ERROR)
        return 0.0; // not a 2-D texture: the 512-texel spectrum
    double bytes = 0.0;
    for (int level = 0; level < 16; ++level) {
        GLint w = 0, h = 0;
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_WIDTH, &w);
        glGetTexLevelParameteriv(GL_TEXTURE_2D, level, GL_TEXTURE_HEIGHT, &h);
        if (w == 0 || h == 0)
            break;
        bytes += 4.0 * w * h;
    }
    return bytes;
}

template <class T> double vector_bytes(const std::vector<T> &v)
{
    return static_cast<double>(v.capacity() * sizeof(T));
}

// Prints the sizes of the render sets, every texture in the table, the
// meshes' vertex data and the grids' vertices (as the lists hold them:
// floats plus a 4-byte index each), for the memory account.
void print_account(const RenderTargets &ctx, const part_start &show, int width, int height)
{
    std::printf("\nHeld by the show at %d x %d (computed sizes, MB)\n", width, height);
    for (const RenderSetSize &s : show_render_sets(width, height)) {
        const double bytes = 3.0 * 4.0 * s.width * s.height;
        std::printf("  render set %d, %d x %d, 2 colour + depth renderbuffers %10.2f\n", s.set.value, s.width,
                    s.height, mb(bytes));
    }
    double textures = 0.0;
    for (int number = 0; number < TextureTable::size; ++number) {
        const GLuint name = ctx.textures[TextureNumber{number}];
        if (name == 0 || glIsTexture(name) == GL_FALSE)
            continue;
        const double bytes = texture_bytes(name);
        textures += bytes;
        if (bytes > 0.0)
            std::printf("  texture %4d %46.2f\n", number, mb(bytes));
    }
    glBindTexture(GL_TEXTURE_2D, 0);
    std::printf("  all textures %46.2f\n", mb(textures));
    for (const auto &[name, mesh] : {std::pair<const char *, const ObjMesh *>{"city", &show.city},
                                     {"title", &show.title},
                                     {"insect", &show.vannel},
                                     {"leaves", &show.leaves}}) {
        std::printf("  mesh %-8s %7zu vertices, %8zu indices %18.2f\n", name, mesh->vertices.size(),
                    mesh->indices.size(), mb(vector_bytes(mesh->vertices) + vector_bytes(mesh->indices)));
    }
    if (show.grids != nullptr) {
        for (const auto &[name, shape] : {std::pair<const char *, GridShape>{"666", main_grid_shape()},
                                          {"1666", sparse_grid_shape()},
                                          {"668", offset_grid_shape()},
                                          {"667", line_grid_shape()}}) {
            const double bytes =
                static_cast<double>(shape.vertex_count()) * (shape.floats_per_vertex() + 1) * 4;
            std::printf("  grid list %-5s %7d vertices %25.2f\n", name, shape.vertex_count(), mb(bytes));
        }
    }
}

} // namespace

int main(int argc, char **argv)
{
    int width = 1280, height = 720;
    if (argc == 3) {
        width = std::atoi(argv[1]);
        height = std::atoi(argv[2]);
    }
    if (width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: %s [WIDTH HEIGHT]\n", argv[0]);
        return 2;
    }
    std::filesystem::current_path(std::filesystem::path(VELLAMOR_SOURCE_DIR) / "data");
    window_width = render_width = width;
    window_height = render_height = height;

    const Clock::time_point begin = Clock::now();
    timed("window and GL context", [&] {
        if (SDL_Init(SDL_INIT_VIDEO) != 0) {
            std::fprintf(stderr, "SDL_Init: %s\n", SDL_GetError());
            std::exit(1);
        }
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 24);
        window = SDL_CreateWindow("startup bench", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width,
                                  height, SDL_WINDOW_OPENGL);
        if (window == nullptr || SDL_GL_CreateContext(window) == nullptr) {
            std::fprintf(stderr, "window: %s\n", SDL_GetError());
            std::exit(1);
        }
        SDL_GL_SetSwapInterval(0);
        glewInit();
        glViewport(0, 0, width, height);
    });
    std::printf("renderer: %s\n", reinterpret_cast<const char *>(glGetString(GL_RENDERER)));

    context = new RenderTargets; // lives with the process, as in the show
    frame = new FrameInfo;
    context->progress_callback = progress;
    context->frame_info = frame;
    timed("render sets", [&] {
        for (const RenderSetSize &s : show_render_sets(width, height))
            context->create_render_set(s.set, s.width, s.height, 0);
    });
    timed("loading screen, first frame", [&] {
        loading_screen = new part_loader;
        loading_screen->setup(*context);
        const double no_time = 0.0;
        loading_screen->draw(&no_time, *context, frame);
        SDL_GL_SwapWindow(window);
    });

    auto *show = new part_start;
    timed("shader programs (12)", [&] {
        // The compile messages would drown the table: send them away.
        std::fflush(stdout);
        std::cout.flush();
        const int saved = dup(1);
        const int null_fd = open("/dev/null", O_WRONLY);
        dup2(null_fd, 1);
        show->features = build_show_programs(show->shaders);
        std::cout.flush();
        dup2(saved, 1);
        close(null_fd);
        close(saved);
    });
    timed("procedural textures (10)", [&] { create_show_textures(*context, width, height); });
    timed("attachments (4)", [&] { attach_show_textures(*context); });
    timed("pictures (4 JPEG)", [&] { load_show_pictures(*context); });
    rows.back().seconds -= progress_seconds;
    rows.push_back({"  loading-screen frames (" + std::to_string(progress_frames) + ")", progress_seconds});
    timed("meshes (4 OBJ)", [&] { load_show_meshes(*show); });
    timed("display lists (666, 1666)", [&] { compile_opening_grids(*show); });
    timed("warm-up (opening, 1 frame at 1 x 1)", [&] { warm_up_opening(*show, *context); });
    show->scene_time = show->raw_time = 0.0;

    if (std::filesystem::exists(soundtrack_file)) {
        timed("music start", [&] { music_start(); });
    } else {
        rows.push_back({"music start (no soundtrack: skipped)", 0.0});
    }
    timed("first show frame", [&] {
        const double no_time = 0.0;
        show->draw(&no_time, *context, frame);
        SDL_GL_SwapWindow(window);
    });
    const double total = seconds_since(begin);

    // For comparison, outside the total: a second frame, with the GL
    // driver's first-use work (shader variants, list uploads) already done.
    const Clock::time_point second_start = Clock::now();
    const double second_cpu_start = cpu_seconds();
    const double frame_step = 1.0 / 60.0;
    show->draw(&frame_step, *context, frame);
    SDL_GL_SwapWindow(window);
    glFinish();
    const Row second{"(not in total) second show frame", seconds_since(second_start), resident_mb(),
                     cpu_seconds() - second_cpu_start};
    const Row first = rows.back();

    // The set-up's remainder, which the show runs a step after each frame
    // from the first on: every step timed, to see what it adds to a frame.
    std::vector<Row> late;
    bool more = true;
    while (more) {
        const Clock::time_point start = Clock::now();
        const double cpu_start = cpu_seconds();
        more = show->continue_setup(*context);
        glFinish();
        late.push_back({"late step", seconds_since(start), resident_mb(), cpu_seconds() - cpu_start});
    }

    std::printf("\nStart-up at %d x %d (cpu: processor time of all threads)\n", width, height);
    std::printf("%-40s %10s %7s %10s %12s\n", "step", "ms", "share", "cpu ms", "resident MB");
    const auto print_row = [total](const Row &row) {
        std::printf("%-40s %10.1f %6.1f%% %10.1f %12.1f\n", row.step.c_str(), row.seconds * 1000.0,
                    100.0 * row.seconds / total, row.cpu_seconds * 1000.0, row.resident_mb);
    };
    for (const Row &row : rows) {
        if (row.cpu_seconds >= 0.0)
            print_row(row);
        else
            std::printf("%-40s %10.1f %6.1f%%\n", row.step.c_str(), row.seconds * 1000.0,
                        100.0 * row.seconds / total);
    }
    std::printf("%-40s %10.1f\n", "total: window open to first show frame", total * 1000.0);
    print_row(second);
    std::printf("%-40s %10.2f %7s %10.2f\n", "first / second show frame", first.seconds / second.seconds, "",
                first.cpu_seconds / second.cpu_seconds);
    Row late_total{"(after the first frame) late set-up, " + std::to_string(late.size()) + " steps", 0.0,
                   late.back().resident_mb, 0.0};
    Row late_largest{"  its largest step (cpu)", 0.0, -1.0, 0.0};
    for (const Row &row : late) {
        late_total.seconds += row.seconds;
        late_total.cpu_seconds += row.cpu_seconds;
        if (row.cpu_seconds > late_largest.cpu_seconds)
            late_largest = {late_largest.step, row.seconds, row.resident_mb, row.cpu_seconds};
    }
    print_row(late_total);
    print_row(late_largest);
    std::printf("%-40s %10.2f %7s %10.2f\n", "largest late step / second frame",
                late_largest.seconds / second.seconds, "", late_largest.cpu_seconds / second.cpu_seconds);
    print_account(*context, *show, width, height);
    std::fflush(stdout);
    if (std::filesystem::exists(soundtrack_file)) {
        music_close();
    }
    // GL objects go with the context; the process ends here.
    std::_Exit(0);
}
