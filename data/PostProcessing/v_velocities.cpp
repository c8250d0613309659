#version 120
// Velocity mode of the scene renderer (left off by the show): passes the
// screen position on so the fragment stage can write it.
uniform float ttime;
uniform float PosY;

varying vec4 screen;

void main()
{
    gl_Position = ftransform();
    gl_Position.y += PosY * 0.0 + ttime * 0.0;
    screen = gl_Position;
}
