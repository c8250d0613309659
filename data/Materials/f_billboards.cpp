#version 120
// Main cloud sprite: a soft round point; the second output carries the
// glow mask (rgb) and the point density (alpha) for the combine pass.
varying vec3 colour;
varying vec4 glow;
// How many passes of the cloud this draw stands for (one unless set): they
// would land on the same pixels, each rounded to the scene's 8-bit targets
// by its blend, so the sprite is rounded to them here and then counted that
// many times.
uniform float passes = 1.0;

vec4 as_passes(vec4 v)
{
    return passes * floor(v * 255.0 + 0.5) / 255.0;
}

void main()
{
    vec2 d = gl_PointCoord - vec2(0.5);
    float a = exp(-dot(d, d) * 14.0);
    gl_FragData[0] = as_passes(vec4(colour * a, a));
    gl_FragData[1] = as_passes(glow * a);
}
