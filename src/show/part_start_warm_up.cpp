// warm_up_show_programs: draws the show a few times at a 1 x 1 picture
// during the loading screen, so that the GL driver does its first-use work
// (Mesa's llvmpipe compiles a shader variant for each program and state at
// its first draw) before the first show frame, which then costs what any
// other frame does.
//
// The frames are the show's own draws, so every program meets the textures,
// targets and states it will meet later; only the picture is 1 x 1 and the
// grids are stand-ins of a few points with the same vertex layout, which
// compile_show_grids replaces afterwards. Scene times are picked so that
// every program the show draws runs once: the three main-cloud programs,
// the stars, the letters on both pictures, the lit meshes, combine and blur.
// Programs the show never draws need no warming.
// Depends on: part_start::draw, scene_clock, runtime/show_state.h sizes,
// the shared generator. GL thread only, after the programs, textures,
// attachments, pictures and meshes exist.
#include "render/render_targets.h"
#include "runtime/frame_info.h"
#include "runtime/generator.h"
#include "runtime/show_state.h"
#include "show/part_start.h"
#include "show/part_start_setup.h"
#include "show/scene_clock.h"

#include <GL/glew.h>

#include <array>
#include <cstdint>

namespace
{

// Closing letters on the logo and the leaves cloud, the insect cloud, then
// the opening (main cloud, letters picture), so that the height map is left
// as the first frame of a show from the start draws it.
constexpr std::array<double, 3> warm_up_times{210.0, 170.0, 0.0};

// Everything a draw changes outside GL objects, put back on leaving.
class SavedShowState
{
  public:
    SavedShowState(part_start &show, RenderTargets &ctx)
        : show_(show), ctx_(ctx), scene_time_(show.scene_time), raw_time_(show.raw_time),
          frame_counter_(show.frame_counter), billboard_program_(show.billboard_program), frame_(show.frame),
          frame_info_(ctx.frame_info), main_camera_(ctx.main_camera), second_camera_(ctx.second_camera),
          generator_(random_state()), sizes_{window_width, window_height, render_width, render_height}
    {
    }
    ~SavedShowState()
    {
        show_.scene_time = scene_time_;
        show_.raw_time = raw_time_;
        show_.frame_counter = frame_counter_;
        show_.billboard_program = billboard_program_;
        show_.frame = frame_;
        ctx_.frame_info = frame_info_;
        ctx_.main_camera = main_camera_;
        ctx_.second_camera = second_camera_;
        random_seed(generator_);
        window_width = sizes_[0];
        window_height = sizes_[1];
        render_width = sizes_[2];
        render_height = sizes_[3];
    }
    SavedShowState(const SavedShowState &) = delete;
    SavedShowState &operator=(const SavedShowState &) = delete;

  private:
    part_start &show_;
    RenderTargets &ctx_;
    double scene_time_, raw_time_;
    int frame_counter_, billboard_program_;
    FrameInfo frame_;
    FrameInfo *frame_info_;
    CameraRecord main_camera_, second_camera_;
    std::uint32_t generator_;
    std::array<int, 4> sizes_;
};

} // namespace

void warm_up_show_programs(part_start &show, RenderTargets &ctx)
{
    compile_stand_in_grids();
    const SavedShowState saved(show, ctx);
    window_width = window_height = render_width = render_height = 1;
    for (const double t : warm_up_times) {
        const SceneClock clock = clock_for_scene_time(t);
        show.scene_time = clock.scene_time;
        show.raw_time = clock.raw_time;
        FrameInfo info;
        const double no_step = 0.0;
        show.draw(&no_step, ctx, &info);
    }
    glFinish();
}
