// Renderer: the drawing interface. Everything the show draws, and every GL
// resource it makes after the toolkit's factories, goes through these
// operations: targets (a render set or the window), programs and their
// uniforms, textures on units, the matrix stacks, fixed-function state,
// and the things drawn (display lists or their pieces, meshes, the
// billboard, a coloured strip), resolves and copies.
//
// The show decides what a frame is (show/); a backend only issues it. The
// one backend now is GlRenderer (gl_renderer.h), OpenGL 2 with the
// compatibility profile; a backend without fixed-function matrices keeps
// its own stacks behind the same operations. Resources are named by the
// show's typed numbers (resource_numbers.h), never by GL names.
// Operations that change a binding leave it changed, as GL does: the caller
// sets what it needs next.
// Depends on: resource_numbers.h, render_targets.h (camera records),
// assets/mesh (ObjMesh). GL thread only.
#pragma once

#include "render/resource_numbers.h"

#include <cstdint>
#include <span>
#include <string>

struct ObjMesh;
class GridListBuild;
struct CameraRecord;

enum class MatrixStack { projection, modelview, texture };
enum class TextureKind { one_d, two_d, cube };
enum class TextureFilter { nearest, linear };
enum class Capability {
    blend,
    depth_test,
    texture_2d,
    scissor_test,
    cull_face,
    lighting,
    point_smooth,
    program_point_size,
    point_sprite
};
enum class BlendFactor { one, src_alpha, one_minus_src_alpha };
// Which attribute groups push_state saves: all, the texture bindings, or
// the scissor box with the enables.
enum class StateGroups { all, textures, scissor_and_enables };

// A vertex of a coloured strip: its colour, then its position.
struct ColouredVertex {
    double r, g, b;
    double x, y, z;
};

class Renderer
{
  public:
    virtual ~Renderer() = default;

    // ---- Targets --------------------------------------------------------
    // Draws into render set `set`'s framebuffer with `colours` outputs.
    virtual void bind_render_set(RenderSetNumber set, int colours) = 0;
    // The window's own framebuffer.
    virtual void bind_window() = 0;
    virtual void attach_colour(RenderSetNumber set, int attachment, TextureNumber texture) = 0;
    virtual void attach_depth(RenderSetNumber set, TextureNumber texture) = 0;
    // Copies a set's drawing into its attached textures (width x height).
    virtual void resolve(RenderSetNumber set, int width, int height, int colours, bool depth) = 0;
    // The bound framebuffer's first colour output, width x height from the
    // origin, into level 0 of `texture`.
    virtual void copy_to_texture(TextureNumber texture, int width, int height) = 0;
    virtual void viewport(int x, int y, int width, int height) = 0;
    virtual void clear_colour(float r, float g, float b, float a) = 0;
    // Clears colour and depth of the bound target.
    virtual void clear() = 0;

    // ---- Programs -------------------------------------------------------
    virtual void use_program(ProgramSlot slot) = 0;
    virtual void no_program() = 0;
    virtual void uniform(ProgramSlot slot, const std::string &name, float value) = 0;
    virtual void uniform2(ProgramSlot slot, const std::string &name, float x, float y) = 0;
    virtual void uniform_array(ProgramSlot slot, const std::string &name, std::span<const float> values) = 0;
    // `texture` as `kind` on `unit`, sampler `name` of the slot's program
    // pointed at it; `unit` stays active.
    virtual void bind_sampler(ProgramSlot slot, int unit, const std::string &name, TextureNumber texture,
                              TextureKind kind) = 0;
    // Texture unit 2's matrix := bias x perspective x look-at of `camera`.
    virtual void projective_texture_matrix(ProgramSlot slot, const std::string &name,
                                           const CameraRecord &camera, double fovy, double aspect,
                                           double z_near, double z_far) = 0;

    // ---- Textures -------------------------------------------------------
    virtual void active_texture(int unit) = 0;
    // Binds the 2-D texture on the active unit.
    virtual void bind_texture(TextureNumber texture) = 0;
    // Binds it with `filter` for magnification and minification.
    virtual void texture_filter(TextureNumber texture, TextureFilter filter) = 0;
    // Uploads `width` RGB texels into a 1-D texture.
    virtual void update_texture_1d(TextureNumber texture, int width, const unsigned char *rgb) = 0;
    // Settings of the texture a factory has just left bound: wrap S and T
    // clamped to the edge; nearest filters for both directions.
    virtual void clamp_bound_texture_to_edge() = 0;
    virtual void nearest_filters_on_bound_texture() = 0;
    // Until restore_texture, table entry `texture` names a new, empty RGBA
    // texture of width x height with nearest filters; the texture bindings
    // are left as they were. Returns what restore_texture needs to put the
    // entry back (the stand-in is then deleted).
    virtual unsigned swap_in_empty_texture(TextureNumber texture, int width, int height) = 0;
    virtual void restore_texture(TextureNumber texture, unsigned kept) = 0;

    // ---- Matrices -------------------------------------------------------
    virtual void matrix_mode(MatrixStack stack) = 0;
    virtual void load_identity() = 0;
    virtual void push_matrix() = 0;
    virtual void pop_matrix() = 0;
    virtual void perspective(double fovy, double aspect, double z_near, double z_far) = 0;
    virtual void look_at(double eye_x, double eye_y, double eye_z, double centre_x, double centre_y,
                         double centre_z, double up_x, double up_y, double up_z) = 0;
    virtual void look_at(const CameraRecord &camera) = 0;
    virtual void scale(double x, double y, double z) = 0;
    virtual void rotate(double degrees, double x, double y, double z) = 0;
    virtual void translate(double x, double y, double z) = 0;

    // ---- Fixed-function state -------------------------------------------
    // Saves the attribute groups (every one by default); pop_state restores
    // the last saved.
    virtual void push_state(StateGroups groups = StateGroups::all) = 0;
    virtual void pop_state() = 0;
    virtual void scissor(int x, int y, int width, int height) = 0;
    virtual void set(Capability capability, bool on) = 0;
    virtual void blend_function(BlendFactor source, BlendFactor destination) = 0;
    virtual void colour(float r, float g, float b, float a = 1.0f) = 0;
    virtual void point_size(float size) = 0;
    // Blending, lighting, colour material, light 0, 2-D texturing and fog
    // off, colour (1, 1, 1, 1).
    virtual void reset_fixed_state() = 0;

    // ---- Drawing --------------------------------------------------------
    virtual void call_list(DisplayListNumber list) = 0;
    // Pieces [from, to) of a grid built in pieces.
    virtual void call_pieces(const GridListBuild &grid, int from, int to) = 0;
    // Object `object` of the mesh (negative: every object).
    virtual void draw_mesh(const ObjMesh &mesh, std::int32_t object) = 0;
    // The camera-facing quad (gl_helpers.h draw_billboard).
    virtual void billboard(double rotation, double half_width, double half_height, bool face_viewer,
                           float texture_repeat) = 0;
    virtual void quad_strip(std::span<const ColouredVertex> vertices) = 0;

    // ---- Completion -----------------------------------------------------
    virtual void flush() = 0;
    // Waits for every command issued so far.
    virtual void finish() = 0;
};
