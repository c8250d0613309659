#version 120
// Combine pass over the resolved scene:
// - contact darkening from point density (alpha of the second output):
//   gaps beside dense clusters fall a little darker, which keeps edges
//   crisp where additive points would otherwise melt together; the local
//   density comes from the quarter-size reduction;
// - glow: a wide, soft bloom of the second output's glow mask, blurred at
//   quarter size before this pass (a wide and a medium Gaussian);
// - fine film grain from the random texture, moved by "Limit" each frame.
// The points write no depth (they are drawn additively with the depth test
// off), so there is no occlusion term.
// Runs with the fixed-function vertex stage (full-screen quad).
uniform sampler2D texture2d_1;       // scene colour
uniform sampler2D texture2d_2;       // wide glow bloom, quarter size
uniform sampler2D texture2d_3;       // glow (rgb) and density (a)
uniform sampler2D texture2d_4;       // medium glow bloom (rgb), local density (a), quarter size
uniform sampler2D texture2d_random;  // 1024 x 1024 noise
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 c = texture2D(texture2d_1, uv).rgb;
    vec4 here = texture2D(texture2d_3, uv);
    vec4 medium = texture2D(texture2d_4, uv);
    vec3 bloom = 0.4 * texture2D(texture2d_2, uv).rgb + 0.6 * medium.rgb;

    float contact = clamp((medium.a - here.a) * 6.0, 0.0, 0.35);
    c *= 1.0 - contact;
    // 1.9: the smooth bloom keeps the mean brightness of the frames drawn
    // with the earlier ring of taps.
    c += bloom * 1.9 + here.rgb * 0.6;

    // Grain: fine, strongest in the mid tones, faint in deep black.
    float luma = dot(c, vec3(0.299, 0.587, 0.114));
    float g = texture2D(texture2d_random, uv * vec2(2.5, 1.4) + vec2(Limit, fract(Limit * 7.31))).b - 0.5;
    c += g * (0.012 + 0.05 * luma * (1.0 - luma));
    gl_FragColor = vec4(max(c, 0.0), 1.0);
}
