#version 120
// Screen-space motion per point, encoded around mid grey: (0.5, 0.5) is
// still; red and green carry the x and y motion in clip units / 2.
varying vec2 motion;

void main()
{
    gl_FragColor = vec4(clamp(motion * 0.5 + 0.5, 0.0, 1.0), 0.0, 1.0);
}
