// A test fixture for the show's own frame tick on a stepped clock: the run
// (clock, music of type Music, no loading screen) in the show's data folder,
// one tick at a time, and the show closed after each test. The test opens
// the show itself.
#pragma once

#include "app/show_spine.h"
#include "runtime/show_sources.h"
#include "runtime/show_state.h"
#include "support/whole_show.h"

#include <gtest/gtest.h>

template <class Music> class SteppedShow : public WholeShowTest
{
  protected:
    SteppedClock clock;
    Music music;
    ShowRun run{clock, music, false};

    void TearDown() override
    {
        close_show();
        WholeShowTest::TearDown();
    }

    // One tick `step` seconds on; returns how far the show clock moved.
    double tick(double step)
    {
        const double before = show_time;
        clock.advance(step);
        show_frame();
        return show_time - before;
    }
};
