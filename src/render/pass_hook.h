// What watches the passes of a frame as the director runs them: author
// mode's per-pass timer, the frame bench's wall-clock brackets. The director
// calls frame_begins, then pass_begins before each pass (by its name, in
// pass order), then frame_ends after the last; a hook that waits for the GL
// work at each boundary times each pass on its own.
// Depends on: nothing.
#pragma once

class PassHook
{
  public:
    virtual void frame_begins() = 0;
    virtual void pass_begins(const char *name) = 0;
    virtual void frame_ends() = 0;

  protected:
    ~PassHook() = default;
};
