// RenderTargets: the render context, one per process, handed to every
// segment's setup and draw.
//
// It holds the sixteen render sets (off-screen framebuffers resolved into
// textures by blits), the TextureTable through which every texture is named
// by a small number, the progress callback and current FrameInfo, the two
// camera records and the field-of-view offset. The texture factories and
// loaders are its operations; each one overwrites the table entry and never
// deletes a texture. GL objects are created once and go with the context.
//
// Texture and render-set numbers are their own types (resource_numbers.h).
// Depends on: GL through GLEW (in its sources only; this header names GL
// objects as plain unsigned numbers). Main (GL) thread only.
#pragma once

#include "render/load_failures.h"
#include "render/resource_numbers.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

struct FrameInfo;

using ProgressCallback = void (*)(double step);

// One camera vector: flag 1 marks it as set.
struct CameraVector {
    int flag = 0;
    float x = 0, y = 0, z = 0;
};

struct CameraRecord {
    CameraVector eye, centre, up;
};

// The five GL objects of a render set. The set does not store its size:
// callers pass it again when they resolve.
struct RenderSet {
    unsigned colour0 = 0; // renderbuffer, GL_RGBA8
    unsigned colour1 = 0; // renderbuffer, GL_RGBA8
    unsigned depth = 0;   // renderbuffer, GL_DEPTH_COMPONENT24
    unsigned render_framebuffer = 0;
    unsigned texture_framebuffer = 0; // textures attached on demand
};

// 10000 GL texture names indexed by texture number.
class TextureTable
{
  public:
    static constexpr int size = 10000;
    unsigned &operator[](TextureNumber n) { return names_[static_cast<std::size_t>(n.value)]; }
    unsigned operator[](TextureNumber n) const { return names_[static_cast<std::size_t>(n.value)]; }
    const unsigned *data() const { return names_.data(); }
    void fill(unsigned name) { names_.fill(name); }

  private:
    std::array<unsigned, size> names_{};
};

class RenderTargets
{
  public:
    static constexpr int set_count = 16;

    // Stored first: loaders call it while the main show's setup runs.
    ProgressCallback progress_callback = nullptr;

    TextureTable textures{};
    std::array<RenderSet, set_count> sets{};
    FrameInfo *frame_info = nullptr; // the record of the current draw
    void *device_context = nullptr;  // the shell's window, opaque here
    CameraRecord main_camera{};
    CameraRecord second_camera{};
    double fov_offset = 0.0; // added to the loading screen's 65 degrees
    bool multisample = false;

    // Files the set-up could not load, in the order met (programs,
    // pictures, meshes): the caller reads them once the set-up returns.
    LoadFailures load_failures;
    // The show: a picture that cannot be read ends the process (message
    // box, exit 0). Stills and exports clear it: the picture is only
    // listed above and the set-up goes on.
    bool pictures_are_fatal = true;

    // ---- Number checks -------------------------------------------------------
    // Texture and render-set numbers come from the show's tables, but one
    // outside them would write past the arrays (a negative texture number
    // lands on the progress callback), so every build checks them: false,
    // with a message on standard error, when the number has no entry.
    static bool valid_texture_number(TextureNumber number);
    static bool valid_set_number(RenderSetNumber set);

    // ---- Render sets -------------------------------------------------------
    // Set numbers are clamped to 0..15 by create and bind. Attach and resolve
    // refuse a set or texture number outside the tables: nothing is bound
    // and they return 0 (no framebuffer status). create_render_set leaves
    // the window's framebuffer bound; the others leave theirs bound.
    void create_render_set(RenderSetNumber set, int width, int height, int samples);
    void bind_render_set(RenderSetNumber set, int colour_count);
    unsigned attach_colour_texture(RenderSetNumber set, int attachment, TextureNumber texture);
    unsigned attach_depth_texture(RenderSetNumber set, TextureNumber texture);
    unsigned resolve_render_set(RenderSetNumber set, int width, int height, int colour_count,
                                bool copy_depth);
    void unbind_render_targets();

    // ---- Procedural textures -------------------------------------------------
    // Each leaves its texture bound to its target on the active unit.
    void create_texture_1d(TextureNumber number, int width);
    void update_texture_1d(TextureNumber number, int width, const unsigned char *rgb);
    void create_depth_texture(TextureNumber number, int width, int height);
    void create_noise_texture_rgb(TextureNumber number, int width, int height);
    void create_noise_texture_rgba(TextureNumber number, int width, int height);

    // ---- Textures from JPEG files -------------------------------------------
    // A file that cannot be read is listed in load_failures and, while
    // pictures_are_fatal, ends the process (stderr line, message box, exit 0).
    // A number outside the table is refused before anything is read.
    void load_texture(TextureNumber number, const std::string &file_name);
    void load_normal_map_texture(TextureNumber number, const std::string &file_name);

    // glBindTexture(GL_TEXTURE_2D, textures[number]) on the active unit; a
    // number outside the table binds nothing.
    void bind_table_texture(TextureNumber number) const;
};
