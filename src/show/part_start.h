// part_start: the main show segment. Its setup loads every asset of the show
// (part_start_setup.cpp); its draw is the scene director (part_start_draw.cpp).
#pragma once

#include "assets/mesh/obj_mesh.h"
#include "render/pass_hook.h"
#include "render/renderer.h"
#include "render/shader_program.h"
#include "runtime/frame_info.h"
#include "show/drawing.h"
#include "show/fade_cues.h"
#include "show/frame_plan.h"
#include "show/parts.h"
#include "show/resources.h"
#include "show/shader_features.h"

#include <memory>
#include <vector>

class ShowGrids;

class part_start : public parts
{
  public:
    void draw(const double *step, RenderTargets &ctx, FrameInfo *info) override;
    // The draw's first lines: takes the caller's record and advances the
    // scene clock by *step. A draw runs it first; the offline runs call it
    // to bring the segment to the state its passes start from.
    void begin_draw(const double *step, RenderTargets &ctx, FrameInfo *info);
    part_start();
    ~part_start() override;
    void setup(RenderTargets &ctx) override;
    // setup() in steps, for a caller that presents the loading screen
    // between them: each call runs the next; false after the last.
    bool setup_step(RenderTargets &ctx);

    // The scene renderer (part_start_scene.cpp): draws the point clouds into
    // whatever framebuffer is bound, with the main or the second camera.
    // Its projection, programs, uniforms and textures come from the plan.
    void draw_particle_scene(RenderTargets &ctx, const FramePlan &plan, int use_second_camera,
                             int velocity_mode);
    // The top-view pass (part_start_top_view.cpp): renders the meshes of the current
    // scene from above and copies the result into the height map.
    // `plan` is plan_top_view at the scene time (it draws nothing when the
    // pass does not run then).
    void draw_top_view(RenderTargets &ctx, const TopViewPlan &plan);
    // One pass of the frame plan (part_start_draw.cpp).
    void draw_pass(FramePass pass, const FramePlan &plan, Renderer &r, RenderTargets &ctx);
    // Makes the lit-mesh program current with its uniforms and five
    // textures (part_start_lit_mesh.cpp); both passes above start with it.
    void use_lit_mesh_program(Renderer &r, double a1) const;
    // The drawing interface with this segment's programs.
    ShowRenderer renderer(RenderTargets &ctx) const { return renderer_for(ctx, &shaders); }
    // The set-up's remainder, which nothing needs for the opening: the later
    // scenes' warm-up and the two grids the show never calls
    // (part_start_late_setup.cpp). One bounded step per call, run between
    // frames from the second frame on; true while steps remain.
    bool continue_setup(RenderTargets &ctx);
    void finish_setup(RenderTargets &ctx)
    {
        while (continue_setup(ctx)) {
        }
    }
    // For a show that starts or resumes at scene time t: where t lies in a
    // window in which the top view does not run, renders the height map as
    // the pass last left it before t. The clocks are left alone.
    void bring_height_map_to(double scene_time, RenderTargets &ctx);

    double scene_time = 0.0;
    double raw_time = 0.0;
    int frame_counter = 0;
    int texture_base = 0;
    ProgramSlot billboard_program = program::billboards;
    // What the data folder's programs offer, found by setup; every frame
    // plan follows it.
    ShaderFeatures features = ShaderFeatures::ours();

    ShaderProgram shaders;
    std::unique_ptr<ShowGrids> grids; // made by setup
    int setup_steps_done = 0;
    int late_setup_steps_done = 0;
    // Declared in load order; destroyed in reverse.
    ObjMesh city;
    ObjMesh title;
    ObjMesh vannel; // the insect
    ObjMesh leaves;

    std::vector<Cue> fade_in_cues;
    std::vector<Cue> fade_out_cues;
    FrameInfo frame; // private copy: in at the start of draw, out at the end
    // Watches each pass of the draw (author mode's timer, the frame bench);
    // null in the show.
    PassHook *pass_hook = nullptr;
};
