#version 120
// The soft blur's halo: the mean of four filtered reads of the combined
// image in a pinwheel about 1.4 pixels from the point (at 1280 x 720; the
// same share of the picture at any size). Made at half size for large
// pictures, where the blur pass to the window reads it back between its
// texels; "Radius" then shrinks the pinwheel by the spread that adds. It
// also carries the widening by the blur pass's "Limit" (0 in playback).
uniform sampler2D texture2d_1;  // combined image
uniform float Radius;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec2 unit = vec2(0.0016, 0.0028) * Radius;
    vec2 pa = vec2(0.22, 0.645) * unit;
    vec2 pb = vec2(-0.645, 0.22) * unit;
    vec3 ring = texture2D(texture2d_1, uv + pa).rgb + texture2D(texture2d_1, uv - pa).rgb +
                texture2D(texture2d_1, uv + pb).rgb + texture2D(texture2d_1, uv - pb).rgb;
    gl_FragColor = vec4(ring * 0.25, 1.0);
}
