#version 120
// Combine pass over the resolved scene:
// - ambient occlusion from depth: neighbours nearer than the centre darken
//   it (a ring of taps, turned per pixel by the random texture); where the
//   scene wrote no depth the term is neutral;
// - contact darkening from point density (alpha of the second output):
//   gaps beside dense clusters fall a little darker, which keeps edges
//   crisp where additive points would otherwise melt together;
// - glow: a wide, soft bloom of the second output's glow mask;
// - fine film grain from the random texture, moved by "Limit" each frame.
// Runs with the fixed-function vertex stage (full-screen quad).
uniform sampler2D texture2d_1;       // scene colour
uniform sampler2D texture2d_2;       // scene depth
uniform sampler2D texture2d_3;       // glow (rgb) and density (a)
uniform sampler2D texture2d_random;  // 1024 x 1024 noise
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 c = texture2D(texture2d_1, uv).rgb;
    float depth = texture2D(texture2d_2, uv).r;
    vec4 here = texture2D(texture2d_3, uv);
    vec2 rnd = texture2D(texture2d_random, uv * vec2(1.25, 0.7)).rg;
    float turn = rnd.x * 6.2832;
    mat2 spin = mat2(cos(turn), sin(turn), -sin(turn), cos(turn));

    float occlusion = 0.0;
    float density = 0.0;
    vec3 bloom = vec3(0.0);
    float weight = 0.0;
    for (int i = 0; i < 8; ++i) {
        float a = float(i) * 2.3998;  // golden angle
        float r = sqrt((float(i) + 0.5) / 8.0);
        vec2 o = spin * vec2(cos(a), sin(a)) * r;
        float d = texture2D(texture2d_2, uv + o * 0.006).r;
        float step_ = depth - d;
        occlusion += clamp(step_ * 400.0, 0.0, 1.0) * (1.0 - smoothstep(0.002, 0.02, step_));
        density += texture2D(texture2d_3, uv + o * 0.004).a;
        float w = 1.0 - 0.6 * r;
        bloom += texture2D(texture2d_3, uv + o * vec2(0.028, 0.05)).rgb * w;
        bloom += texture2D(texture2d_3, uv + o * vec2(0.009, 0.016)).rgb * w * 1.5;
        weight += w * 2.5;
    }
    occlusion /= 8.0;
    density /= 8.0;
    bloom /= weight;

    float contact = clamp((density - here.a) * 6.0, 0.0, 0.35);
    c *= (1.0 - 0.6 * occlusion) * (1.0 - contact);
    c += bloom * 2.2 + here.rgb * 0.6;

    // Grain: fine, strongest in the mid tones, faint in deep black.
    float luma = dot(c, vec3(0.299, 0.587, 0.114));
    float g = texture2D(texture2d_random, uv * vec2(2.5, 1.4) + vec2(Limit, fract(Limit * 7.31))).b - 0.5;
    c += g * (0.012 + 0.05 * luma * (1.0 - luma));
    gl_FragColor = vec4(max(c, 0.0), 1.0);
}
