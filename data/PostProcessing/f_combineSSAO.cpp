#version 120
// Combine pass over the resolved scene:
// - contact darkening from point density (alpha of the second output):
//   gaps beside dense clusters fall a little darker, which keeps edges
//   crisp where additive points would otherwise melt together; the local
//   density comes from the quarter-size reduction;
// - glow: a wide, soft bloom of the second output's glow mask, blurred at
//   quarter size before this pass (a wide and a medium Gaussian, mixed
//   0.4 : 0.6 there);
// - fine film grain, moved by "Limit" each frame.
// The points write no depth (they are drawn additively with the depth test
// off), so there is no occlusion term.
// Runs with the fixed-function vertex stage (full-screen quad).
uniform sampler2D texture2d_1;       // scene colour
uniform sampler2D texture2d_2;       // glow bloom (rgb), local density (a), quarter size
uniform sampler2D texture2d_3;       // glow (rgb) and density (a)
uniform float Limit;

// Grain: a value in -0.33..0.33 for each pixel (an arithmetic hash, the
// cost of a few multiplies where a texture read costs more on a software
// renderer); its spread matches that of the random texture read between
// its texels, as this pass once did.
float grain(vec2 p)
{
    vec3 p3 = fract(p.xyx * 0.1031);
    p3 += dot(p3, p3.yzx + 33.33);
    return (fract((p3.x + p3.y) * p3.z) - 0.5) * 0.667;
}

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 c = texture2D(texture2d_1, uv).rgb;
    vec4 here = texture2D(texture2d_3, uv);
    vec4 bloom = texture2D(texture2d_2, uv);

    float contact = clamp((bloom.a - here.a) * 6.0, 0.0, 0.35);
    c *= 1.0 - contact;
    // 1.9: the smooth bloom keeps the mean brightness of the frames drawn
    // with the earlier ring of taps.
    c += bloom.rgb * 1.9 + here.rgb * 0.6;

    // Grain: fine, strongest in the mid tones, faint in deep black.
    float luma = dot(c, vec3(0.299, 0.587, 0.114));
    float g = grain(gl_FragCoord.xy + vec2(Limit, fract(Limit * 7.31)) * 1024.0);
    c += g * (0.012 + 0.05 * luma * (1.0 - luma));
    gl_FragColor = vec4(max(c, 0.0), 1.0);
}
