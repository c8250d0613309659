#version 120
// Velocity mode: writes the screen position as colour, nothing as glow.
varying vec4 screen;

void main()
{
    vec2 ndc = screen.xy / max(screen.w, 0.0001);
    gl_FragData[0] = vec4(ndc * 0.5 + 0.5, 0.0, 1.0);
    gl_FragData[1] = vec4(0.0);
}
