// Author mode's overlay (F1) in the show's own window: Dear ImGui, as the
// set-up dialog, drawn over the finished frame before it is presented.
// It takes no input (the show's keys stay the show's); what it says comes
// ready-made (show/dev_overlay_text.h), plus the spectrum as bars and the
// whole log of the last shader error.
// Depends on: SDL2 (the window the shell opened), Dear ImGui with its SDL2
// and OpenGL2 backends, GL. Main thread, while the show's context is current.
#pragma once

#include <array>
#include <string>
#include <vector>

class DevOverlay
{
  public:
    DevOverlay() = default;
    ~DevOverlay();
    DevOverlay(const DevOverlay &) = delete;
    DevOverlay &operator=(const DevOverlay &) = delete;

    // Binds ImGui to the show's window and current context; false when
    // there is no window (the overlay then stays off).
    bool open();
    // Releases ImGui; safe when never opened, and before the window closes.
    void close();

    // One overlay frame over what the window's back buffer holds: the
    // lines, the spectrum as bars (when given) and the shader log (when not
    // empty). Leaves no program current and the window's framebuffer bound
    // (the OpenGL2 backend restores the state it changes).
    void draw(const std::vector<std::string> &lines, const std::array<float, 512> *spectrum,
              const std::string &shader_log);

  private:
    bool open_ = false;
};
