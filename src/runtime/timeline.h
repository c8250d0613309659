// The Timeline: a fixed table of show-clock intervals, each with a small id,
// looked up once per frame; the id is published in FrameInfo.
// Depends on: nothing.
#pragma once

#include <array>

class Timeline
{
  public:
    struct Interval {
        double start, end;
        int id;
    };
    static constexpr int capacity = 31;

    // Writes the fixed table (unsorted, some entries overlapping).
    void fill();

    // Id of the last entry with start <= t <= end, or 0 when none matches.
    int lookup(double t) const;

    int count() const { return count_; }

  private:
    std::array<Interval, capacity> intervals_{};
    int count_ = 0;
};
