// Copies a plain camera shot into the render context's camera record (all
// three vectors flagged as set), and back into GLU's look-at.
// Depends on: render/render_targets.h, show/camera_script.h, GLU.
#pragma once

#include "render/render_targets.h"
#include "show/camera_script.h"

CameraRecord to_camera_record(const Shot &shot);

// gluLookAt with the record's eye, centre and up.
void look_at(const CameraRecord &camera);
