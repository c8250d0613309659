// part_loader: the loading screen. Two thin concentric arcs sweep clockwise
// from the top as the screen's own clock advances, with a square quad in
// the middle, all fading in over the first 4 seconds of that clock.
//
// Drawn once by start-up and once per progress report while the main show
// loads; never inside the frame loop. Depends on: RenderTargets, the
// drawing interface (show/drawing.h). It creates and loads nothing.
#pragma once

#include "show/parts.h"
#include "show/resources.h"

class part_loader : public parts
{
  public:
    void draw(const double *step, RenderTargets &ctx, FrameInfo *info) override;
    ~part_loader() override = default;
    void setup(RenderTargets &ctx) override;

    double loader_clock = 0.0;
    int texture_base = loader_texture_base; // the quad binds texture_base + 10
};

// Brightness of the whole screen at a loading-screen clock: rises over the
// first 4 s, holds at 1, and falls (below 0, clamped by GL) after 44 s.
double loader_fade(double loader_clock);
