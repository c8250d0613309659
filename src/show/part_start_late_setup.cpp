// part_start::continue_setup: what the set-up leaves for the first frames.
//
// Nothing here is needed by the opening: the programs of the later scenes
// (insect cloud from 160.8 s, leaves cloud and the letters on the logo from
// 185 s) meet their states in a warm-up draw each, and grids 668 and 667,
// which the show never calls, are compiled a few pieces at a time. Each step
// costs a small part of a frame on llvmpipe, so no frame of the show stands
// out. A run that draws frames out of order (stills, export, benches)
// finishes it all at once after the set-up instead.
// Depends on: warm_up_show_at, show/grid_lists.h. GL thread only, between
// frames (a warm-up draw uses the window's back buffer).
#include "show/grid_lists.h"
#include "show/part_start.h"
#include "show/part_start_setup.h"

#include <array>

namespace
{

// The later scenes' programs, each in the state the show first draws it:
// the insect cloud with the top view, then the closing letters on the logo
// with the leaves cloud.
constexpr std::array<double, 2> later_scene_times{170.0, 210.0};

// Pieces of 4096 vertices per step: about 5 ms of llvmpipe's list compiler.
constexpr int pieces_per_step = 8;

} // namespace

bool part_start::continue_setup(RenderTargets &ctx)
{
    if (grids == nullptr)
        return false; // no set-up has run
    const auto warm_ups = static_cast<int>(later_scene_times.size());
    if (late_setup_steps_done < warm_ups) {
        warm_up_show_at(*this, ctx, later_scene_times[static_cast<std::size_t>(late_setup_steps_done)]);
        ++late_setup_steps_done;
        return true;
    }
    for (GridListBuild *build : {&grids->offset, &grids->lines}) {
        if (!build->complete()) {
            build->compile_pieces(pieces_per_step);
            ++late_setup_steps_done;
            return !grids->lines.complete();
        }
    }
    return false;
}
