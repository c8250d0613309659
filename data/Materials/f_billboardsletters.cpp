#version 120
// Letters: a soft round sprite with a strong glow.
varying vec4 colour;
varying float glow;

void main()
{
    vec2 d = gl_PointCoord - vec2(0.5);
    float a = max(0.0, 1.0 - dot(d, d) * 4.0);
    gl_FragData[0] = colour * a;
    gl_FragData[1] = vec4(glow * a);
}
