#include "render/matrix4.h"

#include <cmath>
#include <numbers>

namespace
{

Vector3 normalised(const Vector3 &v)
{
    const double l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (l == 0.0)
        return v;
    return {v[0] / l, v[1] / l, v[2] / l};
}

Vector3 cross(const Vector3 &a, const Vector3 &b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

} // namespace

Matrix4 identity_matrix()
{
    Matrix4 m{};
    m[0] = m[5] = m[10] = m[15] = 1.0;
    return m;
}

Matrix4 multiply(const Matrix4 &a, const Matrix4 &b)
{
    Matrix4 m{};
    for (int c = 0; c < 4; ++c)
        for (int r = 0; r < 4; ++r)
            for (int k = 0; k < 4; ++k)
                m[c * 4 + r] += a[k * 4 + r] * b[c * 4 + k];
    return m;
}

Matrix4 perspective_matrix(double fovy_degrees, double aspect, double z_near, double z_far)
{
    const double radians = fovy_degrees / 2.0 * std::numbers::pi / 180.0;
    const double depth = z_far - z_near;
    const double sine = std::sin(radians);
    // GLU leaves the matrix alone for a degenerate frustum.
    if (depth == 0.0 || sine == 0.0 || aspect == 0.0)
        return identity_matrix();
    const double cotangent = std::cos(radians) / sine;
    Matrix4 m{};
    m[0] = cotangent / aspect;
    m[5] = cotangent;
    m[10] = -(z_far + z_near) / depth;
    m[11] = -1.0;
    m[14] = -2.0 * z_near * z_far / depth;
    return m;
}

Matrix4 look_at_matrix(const Vector3 &eye, const Vector3 &centre, const Vector3 &up)
{
    const Vector3 f = normalised({centre[0] - eye[0], centre[1] - eye[1], centre[2] - eye[2]});
    const Vector3 s = normalised(cross(f, up));
    const Vector3 u = cross(s, f);
    Matrix4 m = identity_matrix();
    for (int i = 0; i < 3; ++i) {
        m[i * 4 + 0] = s[i];
        m[i * 4 + 1] = u[i];
        m[i * 4 + 2] = -f[i];
    }
    return multiply(m, translation_matrix(-eye[0], -eye[1], -eye[2]));
}

Matrix4 translation_matrix(double x, double y, double z)
{
    Matrix4 m = identity_matrix();
    m[12] = x;
    m[13] = y;
    m[14] = z;
    return m;
}

Matrix4 scale_matrix(double x, double y, double z)
{
    Matrix4 m{};
    m[0] = x;
    m[5] = y;
    m[10] = z;
    m[15] = 1.0;
    return m;
}

Matrix4 rotation_matrix(double degrees, double x, double y, double z)
{
    const Vector3 a = normalised({x, y, z});
    const double radians = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(radians), s = std::sin(radians), t = 1.0 - c;
    Matrix4 m = identity_matrix();
    m[0] = a[0] * a[0] * t + c;
    m[1] = a[1] * a[0] * t + a[2] * s;
    m[2] = a[0] * a[2] * t - a[1] * s;
    m[4] = a[0] * a[1] * t - a[2] * s;
    m[5] = a[1] * a[1] * t + c;
    m[6] = a[1] * a[2] * t + a[0] * s;
    m[8] = a[0] * a[2] * t + a[1] * s;
    m[9] = a[1] * a[2] * t - a[0] * s;
    m[10] = a[2] * a[2] * t + c;
    return m;
}

Matrix4 texture_bias_matrix()
{
    return multiply(translation_matrix(0.5, 0.5, 0.5), scale_matrix(0.5, 0.5, 0.5));
}
