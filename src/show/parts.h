// The segment interface: the frame loop reaches segments only through it.
// Slot order matters to nobody here, but it is kept as designed: draw,
// destructor, setup.
#pragma once

struct FrameInfo;
class RenderTargets;

class parts
{
  public:
    // Renders one frame into the current back buffer. Reads *step only.
    virtual void draw(const double *step, RenderTargets &ctx, FrameInfo *info) = 0;
    virtual ~parts() = default;
    // Creates or loads the segment's resources; once, before the first draw.
    virtual void setup(RenderTargets &ctx) = 0;

    int active = 0; // set to 1 by start-up after setup
};
