// warm_up_show_at: draws the show once at a 1 x 1 picture, so that the GL
// driver does its first-use work (Mesa's llvmpipe compiles a shader variant
// for each program and state at its first draw) before the show needs it.
// The set-up warms the opening this way, so the first show frame costs what
// any other frame does; the later scenes are warmed during the first frames
// (part_start::continue_setup).
//
// The frame is the show's own draw, so every program meets the textures,
// targets and states it will meet later; only the picture is 1 x 1, the
// point grids call their first piece only (same vertex layout, 4096 points
// instead of 262,144), and the top view copies into a stand-in of the height
// map with the same size, format and filters, so the map keeps what the show
// last left in it. What the draw writes elsewhere (pixel 0, 0 of the render
// targets and of the window's back buffer) every frame draws over.
// Depends on: part_start::draw, scene_clock, grid_lists, runtime/show_state.h
// sizes, the shared generator. GL thread only, after the programs, textures,
// attachments, pictures, meshes and grids 666 and 1666 exist.
#include "render/render_targets.h"
#include "render/renderer.h"
#include "runtime/frame_info.h"
#include "runtime/generator.h"
#include "runtime/show_state.h"
#include "show/drawing.h"
#include "show/grid_lists.h"
#include "show/part_start.h"
#include "show/part_start_setup.h"
#include "show/resources.h"
#include "show/scene_clock.h"

#include <array>
#include <cstdint>

namespace
{

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
    int frame_counter_;
    ProgramSlot billboard_program_;
    FrameInfo frame_;
    FrameInfo *frame_info_;
    CameraRecord main_camera_, second_camera_;
    std::uint32_t generator_;
    std::array<int, 4> sizes_;
};

// The height map's stand-in: same size, format and filters, no content.
class HeightMapStandIn
{
  public:
    explicit HeightMapStandIn(Renderer &r)
        : r_(r), kept_(r.swap_in_empty_texture(tex::height_map, top_view_size, top_view_size))
    {
    }
    ~HeightMapStandIn() { r_.restore_texture(tex::height_map, kept_); }
    HeightMapStandIn(const HeightMapStandIn &) = delete;
    HeightMapStandIn &operator=(const HeightMapStandIn &) = delete;

  private:
    Renderer &r_;
    unsigned kept_;
};

// The point grids call their first piece only while it lives.
class FirstPiecesOnly
{
  public:
    explicit FirstPiecesOnly(ShowGrids *grids) : grids_(grids)
    {
        if (grids_ == nullptr)
            return;
        grids_->grid.chain(1);
        grids_->sparse.chain(1);
    }
    ~FirstPiecesOnly()
    {
        if (grids_ == nullptr)
            return;
        grids_->grid.chain_all();
        grids_->sparse.chain_all();
    }
    FirstPiecesOnly(const FirstPiecesOnly &) = delete;
    FirstPiecesOnly &operator=(const FirstPiecesOnly &) = delete;

  private:
    ShowGrids *grids_;
};

// Drawing is scissored to pixel (0, 0) while it lives: the top view, which
// renders its 512 x 512 map whatever the picture size, then rasterises one
// pixel. Scissoring is no part of a shader variant's state on llvmpipe (the
// rasteriser clips to the box), and the blur pass turns it off before it
// clears the window.
class OnePixelScissor
{
  public:
    explicit OnePixelScissor(Renderer &r) : r_(r)
    {
        r_.push_state(StateGroups::scissor_and_enables);
        r_.scissor(0, 0, 1, 1);
        r_.set(Capability::scissor_test, true);
    }
    ~OnePixelScissor() { r_.pop_state(); }
    OnePixelScissor(const OnePixelScissor &) = delete;
    OnePixelScissor &operator=(const OnePixelScissor &) = delete;

  private:
    Renderer &r_;
};

} // namespace

void warm_up_show_at(part_start &show, RenderTargets &ctx, double t)
{
    auto r = show.renderer(ctx);
    const SavedShowState saved(show, ctx);
    const HeightMapStandIn map(r);
    const FirstPiecesOnly pieces(show.grids.get());
    const OnePixelScissor scissor(r);
    window_width = window_height = render_width = render_height = 1;
    const SceneClock clock = clock_for_scene_time(t);
    show.scene_time = clock.scene_time;
    show.raw_time = clock.raw_time;
    FrameInfo info;
    const double no_step = 0.0;
    show.draw(&no_step, ctx, &info);
    r.finish();
}
