#version 120
// Star sprite: a tight point with a faint halo.
varying vec3 colour;
varying vec4 glow;

void main()
{
    vec2 d = gl_PointCoord - vec2(0.5);
    float r2 = dot(d, d);
    float a = exp(-r2 * 40.0) + 0.15 * exp(-r2 * 8.0);
    gl_FragData[0] = vec4(colour * a, a);
    gl_FragData[1] = glow * a;
}
