// The middle-button capture: the adjusts, the point and the main camera's
// eye as three labelled text lines, collected for the clipboard.
// Pure functions; no SDL, no GL.
#pragma once

#include <string>

// Six significant digits. Fixed-point when the decimal exponent (after
// rounding) lies in -1..5, else one digit, five decimals and a signed
// three-digit exponent; trailing zeros dropped, the point kept:
// 2 -> "2.", 0 -> "0.", 0.05 -> "5.e-002", 1.5 -> "1.5".
std::string format_capture_number(double x);

// "Cam :a0,a1,a2  \nPnt :x,y,z  \n \nMCr :ex,ey,ez  \n \n".
std::string capture_lines(const double adjust[3], const double point[3], const float eye[3]);
