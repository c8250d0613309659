#version 120
// Letter sprite: a soft round point; the second output carries the
// glow mask (rgb) and the point density (alpha) for the combine pass.
varying vec3 colour;
varying vec4 glow;

void main()
{
    vec2 d = gl_PointCoord - vec2(0.5);
    float a = exp(-dot(d, d) * 14.0);
    gl_FragData[0] = vec4(colour * a, a);
    gl_FragData[1] = glow * a;
}
