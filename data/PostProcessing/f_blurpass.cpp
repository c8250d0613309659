#version 120
// Final pass to the window: a soft, depth-aware blur (taps at a different
// depth count less, so edges in depth stay sharp), a bloom of the
// highlights, a gentle vignette and tone curve. "Limit" widens the blur
// (0 in playback).
uniform sampler2D texture2d_1;  // combined image
uniform sampler2D texture2d_2;  // scene depth
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 centre = texture2D(texture2d_1, uv).rgb;
    float depth = texture2D(texture2d_2, uv).r;
    float radius = 1.0 + max(Limit, 0.0);

    vec3 soft = centre;
    float total = 1.0;
    vec3 bloom = vec3(0.0);
    for (int i = 0; i < 10; ++i) {
        float a = float(i) * 2.3998;
        float r = sqrt((float(i) + 0.5) / 10.0);
        vec2 o = vec2(cos(a), sin(a)) * r;
        vec2 near = uv + o * vec2(0.0016, 0.0028) * radius;
        float w = 1.0 / (1.0 + abs(texture2D(texture2d_2, near).r - depth) * 300.0);
        soft += texture2D(texture2d_1, near).rgb * w;
        total += w;
        vec3 far = texture2D(texture2d_1, uv + o * vec2(0.014, 0.025) * radius).rgb;
        bloom += max(far - vec3(0.45), vec3(0.0)) * (1.0 - 0.5 * r);
    }
    soft /= total;
    bloom /= 10.0;

    vec3 c = mix(centre, soft, 0.35) + bloom * 1.4;
    // Tone: lift the blacks a hair, roll off the highlights.
    c = c * (1.0 + 0.12 * c) / (1.0 + 0.35 * c) * 1.2;
    vec2 q = uv - 0.5;
    c *= 1.0 - 0.55 * dot(q, q) * 1.6;
    gl_FragColor = vec4(clamp(c, 0.0, 1.0), 1.0);
}
