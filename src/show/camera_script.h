// The camera script of the main show: a fixed table of timed shots, each a
// function of scene time. Every row whose threshold the scene time exceeds
// strictly replaces the whole camera; the last matching row wins, so a
// frame exactly on a threshold keeps the earlier shot.
// Depends on: runtime/shaping.h. Pure, no GL: the director copies the
// result into the render context's camera records.
#pragma once

struct Vec3 {
    double x = 0, y = 0, z = 0;
};

struct Shot {
    Vec3 eye, centre, up;
};

// The main camera at scene time t; a2 is the third FrameInfo adjustment
// value (0 during normal playback).
Shot camera_for(double t, double a2);

// The second camera (used for the projective texture matrix of the
// lit-mesh program): eye (0, 1, 0), centre (0, -35 a2, 0), up (1, 0, 0).
Shot second_camera_for(double a2);

// The threshold of the row that is in force at t (0 for the opening
// row): lets tests and tools name the shot without comparing floats.
double camera_row_for(double t);
