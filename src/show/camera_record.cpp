#include "show/camera_record.h"

#include <GL/glu.h>

namespace
{

CameraVector flagged(const Vec3 &v)
{
    return {1, static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z)};
}

} // namespace

CameraRecord to_camera_record(const Shot &shot)
{
    return {flagged(shot.eye), flagged(shot.centre), flagged(shot.up)};
}

void look_at(const CameraRecord &c)
{
    gluLookAt(c.eye.x, c.eye.y, c.eye.z, c.centre.x, c.centre.y, c.centre.z, c.up.x, c.up.y, c.up.z);
}
