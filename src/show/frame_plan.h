// The frame plan: everything the director decides for one frame, as plain
// values, in pass order. plan_frame is a function of the scene clock, the
// frame's record (spectrum, adjustments) and the sizes; the passes then
// only hand these values to the drawing interface (render/renderer.h), so
// a second backend draws the same frame from the same plan.
//
// Cameras are values too (eye, centre, up, field of view, aspect, near,
// far), with their matrices and the projective texture matrices computed by
// our own matrix functions (render/matrix4.h). A new pass adds its values
// here (a member and a FramePass entry in `passes`), is planned in
// plan_frame and drawn by a function of its own.
//
// plan_frame uses the shared generator as the frame always has: the top
// view's leaves (seeded with a fixed value) and then the combine pass's
// grain (reseeded from the scene time), so whatever reads the generator
// afterwards sees the same state.
// Depends on: show/ plain-value functions (camera script, field of view,
// fades, clouds, top view, screen passes, letterbox), render/matrix4.h,
// render/resource_numbers.h. Pure, no GL.
#pragma once

#include "render/matrix4.h"
#include "render/renderer.h"
#include "render/resource_numbers.h"
#include "show/camera_script.h"
#include "show/cloud_passes.h"
#include "show/letterbox.h"
#include "show/screen_passes.h"
#include "show/screen_step.h"
#include "show/shader_features.h"
#include "show/top_view_plan.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct FrameInfo;

// A camera as the drawing sees it: the look-at vectors as the render
// context's records hold them (floats) and the projection.
struct CameraPlan {
    Vector3 eye{}, centre{}, up{};
    double fovy = 65.0, aspect = 1.0, z_near = 0.1, z_far = 1000.0;
    Matrix4 projection() const { return perspective_matrix(fovy, aspect, z_near, z_far); }
    Matrix4 view() const { return look_at_matrix(eye, centre, up); }
    // Texture unit 2's matrix for projective texturing from this camera.
    Matrix4 projective_texture() const
    {
        return multiply(multiply(texture_bias_matrix(), projection()), view());
    }
};

// A camera shot seen through a projection; the vectors rounded to floats.
CameraPlan camera_plan(const Shot &shot, double fovy, double aspect, double z_near, double z_far);

struct UniformValue {
    std::string name;
    float value = 0.0f;
};

struct SamplerPlan {
    int unit = 0;
    std::string name;
    TextureNumber texture;
    TextureKind kind = TextureKind::two_d;
};

// One cloud of point sprites: its program, the uniforms set once in their
// order, its three textures, the grid, and each draw of the grid with the
// uniforms set right before it. `stands_for` holds the cloud's passes: a
// program that declares "passes" draws once for all of them (at their mean,
// weighted by their number), any other draws each pass
// (show/shader_features.h).
struct CloudDrawPlan {
    ProgramSlot program;
    std::vector<UniformValue> uniforms;
    std::vector<SamplerPlan> textures;
    std::size_t uniforms_before_textures = 1; // the textures are bound after this many uniforms
    DisplayListNumber grid;
    std::vector<std::vector<UniformValue>> draws;
    std::vector<ParticleUniforms> stands_for;
    // The value last set for `name` (the last draw's, when a draw sets it);
    // nothing when it is not set.
    std::optional<float> uniform(const std::string &name) const;
};

// The passes of a frame, in the order they run, each named as the pass
// hook hears it.
enum class FramePass {
    spectrum,
    top_view,
    scene,
    glow_bloom,
    combine,
    highlight_bloom,
    soft_halo,
    blur,
    fade
};
const char *pass_name(FramePass pass);

struct FramePlan {
    double scene_time = 0.0;
    int render_width = 0, render_height = 0, window_width = 0, window_height = 0;
    std::vector<FramePass> passes;

    // Spectrum upload: 512 RGB texels into the 1-D texture.
    std::array<std::uint8_t, 512 * 3> spectrum_texels{};

    // Cameras: the main one from the script, the second one for the
    // projective texture matrix.
    Shot main_camera, second_camera;

    // Top view into render set 3, copied into the height map.
    TopViewPlan top_view;
    CameraPlan top_view_camera;
    // Each mesh's placement (texture matrix 0) in drawing order: the city,
    // the insect, then the leaves.
    std::vector<Matrix4> top_view_placements;

    // The scene into render set 0 (two outputs).
    // Without depth no pass reads it: the scene's points write none.
    bool scene_resolves_depth = false;
    CameraPlan scene_camera;
    CameraPlan scene_projective_camera; // the second camera, 65 degrees, near 1, far 100
    float point_size = 1.0f;            // render height / 720
    double lit_mesh_a1 = 0.0;           // "PosY", "PP" of the preparation step
    ProgramSlot billboard_program;
    CloudDrawPlan main_cloud, stars;
    std::optional<CloudDrawPlan> letters; // only while t < 21.8 or t > 204
    TextureNumber letters_picture;

    // The glow's bloom at quarter size in render set 2: a reduction, then
    // two blur directions (none without the reduced-size passes).
    std::vector<ScreenStep> glow_bloom;

    // Combine pass into render set 0, resolved into texture 0: "Limit" (the
    // grain), the scene's colour, the glow's bloom and the scene's glow, and
    // the projective matrix of the main camera. Without the reduced-size
    // passes: the scene's colour, depth, glow and the random texture.
    float combine_limit = 0.0f;
    ScreenStep combine;
    CameraPlan combine_camera;

    // Highlights' bloom and the soft blur's halo, widened by adjustment 1.
    BloomWidth highlight_width{};
    std::vector<ScreenStep> highlight_bloom;
    HaloSize halo{};
    float halo_radius = 1.0f;
    ScreenStep soft_halo;

    // Blur pass to the window: the picture's place (letterbox) and whether
    // the bars around it are cleared first; its program's textures (the
    // highlights' bloom and the halo, or the scene's depth without the
    // reduced-size passes) and "Limit" (adjustment 1).
    Viewport picture;
    bool clear_bars = false;
    float blur_limit = 0.0f;
    ScreenStep blur;

    // Fade overlay: black at this alpha over the picture, drawn above the
    // threshold.
    double fade_alpha = 0.0;
    bool fade_drawn = false;
};

// The frame at scene time t (the director's clock after its advance), for
// the programs `features` describes (our data folder's by default).
FramePlan plan_frame(double scene_time, const FrameInfo &frame, int render_width, int render_height,
                     int window_width, int window_height,
                     const ShaderFeatures &features = ShaderFeatures::ours());
