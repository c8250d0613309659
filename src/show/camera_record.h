// Copies a plain camera shot into the render context's camera record (all
// three vectors flagged as set).
// Depends on: render/render_targets.h, show/camera_script.h. Pure.
#pragma once

#include "render/render_targets.h"
#include "show/camera_script.h"

CameraRecord to_camera_record(const Shot &shot);
