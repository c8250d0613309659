// Reading a drawn picture back from GL: the window's back buffer and the
// textures of the render context, as plain bytes for files and tests.
// Depends on: GL through GLEW, RenderTargets. GL thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "render/resource_numbers.h"

class RenderTargets;

// Blocks until every GL command issued so far has finished, so that a
// frame's time includes its drawing.
void wait_for_gl();

// The window's back buffer (width x height from the lower-left corner) as
// RGB rows, top row first (width * height * 3 bytes).
std::vector<std::uint8_t> read_back_frame_rgb(int width, int height);
// The same for the rectangle at (x, y) (lower-left corner, window pixels):
// a picture that sits centred in a larger window.
std::vector<std::uint8_t> read_back_rect_rgb(int x, int y, int width, int height);

// Level 0 of table texture `number` (width x height) as RGBA rows, bottom
// row first, as GL keeps them. Leaves it bound on texture unit 0.
std::vector<std::uint8_t> read_back_table_texture_rgba(const RenderTargets &ctx, TextureNumber number,
                                                       int width, int height);

// Frames read back through two pixel-buffer objects, so that the copy of
// one frame can run while the next one is drawn: start() after drawing a
// frame queues its read; take() maps the oldest queued read (waiting for it
// only if it has not finished) and hands back its RGB rows, top row first.
class FrameReadbackRing
{
  public:
    FrameReadbackRing(int width, int height);
    ~FrameReadbackRing();
    FrameReadbackRing(const FrameReadbackRing &) = delete;
    FrameReadbackRing &operator=(const FrameReadbackRing &) = delete;

    // False when both buffers hold reads not yet taken.
    bool start();
    // False when no read is queued.
    bool take(std::vector<std::uint8_t> &rgb);
    int queued() const { return queued_; }

  private:
    int width_, height_;
    unsigned buffers_[2] = {0, 0};
    int next_ = 0;   // the buffer start() fills next
    int queued_ = 0; // reads started and not taken
};
