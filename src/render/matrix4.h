// 4 x 4 matrices as the fixed-function stacks hold them (column-major,
// element [c * 4 + r] in column c, row r), made by our own functions: the
// perspective and look-at that GLU makes, the rotation, scale and
// translation that the matrix stack applies, and their product. A backend
// without fixed-function matrices loads these; the GL backend keeps making
// the same calls (and the tests check the two agree).
// Depends on: nothing. Pure.
#pragma once

#include <array>

using Matrix4 = std::array<double, 16>;
using Vector3 = std::array<double, 3>;

Matrix4 identity_matrix();
// a x b: what the stack holds after loading a and multiplying by b.
Matrix4 multiply(const Matrix4 &a, const Matrix4 &b);

// gluPerspective: vertical field of view in degrees.
Matrix4 perspective_matrix(double fovy_degrees, double aspect, double z_near, double z_far);
// gluLookAt.
Matrix4 look_at_matrix(const Vector3 &eye, const Vector3 &centre, const Vector3 &up);
// glTranslate, glScale, glRotate (degrees about an axis, normalised here).
Matrix4 translation_matrix(double x, double y, double z);
Matrix4 scale_matrix(double x, double y, double z);
Matrix4 rotation_matrix(double degrees, double x, double y, double z);
// Maps clip coordinates [-1, 1] to texture coordinates [0, 1].
Matrix4 texture_bias_matrix();
