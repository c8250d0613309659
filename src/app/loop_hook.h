// What may run around each tick of the message loop: author mode is one.
// The loop hands it the key-downs since the last tick before the tick, and
// calls it again after the tick drew the frame, before the frame is
// presented. The loop knows nothing else of it, so neither side includes
// the other.
// Depends on: nothing.
#pragma once

#include <vector>

class LoopHook
{
  public:
    virtual void before_frame(const std::vector<int> &key_downs) = 0;
    virtual void after_frame() = 0;

  protected:
    ~LoopHook() = default;
};
