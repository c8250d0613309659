// The main camera's vertical field of view, in degrees, built from timed
// swings on top of 65 degrees: a widening before the flash at 103, the
// narrowing from 128.5, the 20-degree kick at 141.7 and smaller drifts.
// Depends on: runtime/shaping.h. Pure, no GL.
#pragma once

double field_of_view(double scene_time);
