#version 120
// Main cloud (leaves scene): a soft round sprite; the second output is the glow mask.
varying vec4 colour;
varying float glow;

void main()
{
    vec2 d = gl_PointCoord - vec2(0.5);
    float a = max(0.0, 1.0 - dot(d, d) * 4.0);
    gl_FragData[0] = colour * a;
    gl_FragData[1] = vec4(glow * a);
}
