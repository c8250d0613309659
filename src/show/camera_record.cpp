#include "show/camera_record.h"

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
