// Shaping functions of every timed motion in the show: pure, no state.
#pragma once

// c = clamp(x, 0, 1); h = (1 + cos(pi c)) / 2; (1 - h^((k+1)/2))^k.
// With k = 1 the cosine step: 0 for x <= 0, 1 for x >= 1.
double ease(double x, double k);

// Starts flat at 0 and joins the straight line max(x, 0) from 3.33 on.
double ramp_in(double x);
