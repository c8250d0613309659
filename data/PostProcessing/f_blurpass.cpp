#version 120
// Final pass to the window: a soft blur, the bloom of the highlights
// (what is brighter than 0.45, reduced and blurred at quarter size before
// this pass), a gentle vignette and tone curve. "Limit" widens the blur
// (0 in playback).
uniform sampler2D texture2d_1;  // combined image
uniform sampler2D texture2d_2;  // bloom of the highlights, quarter size
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 centre = texture2D(texture2d_1, uv).rgb;
    float radius = 1.0 + max(Limit, 0.0);

    // A disk of about 2 pixels' radius at 1280 x 720: four filtered taps in
    // a pinwheel (each reads 2 x 2 pixels between them) around the centre.
    vec2 unit = vec2(0.0016, 0.0028) * radius;
    vec2 pa = vec2(0.22, 0.645) * unit;
    vec2 pb = vec2(-0.645, 0.22) * unit;
    vec3 ring = texture2D(texture2d_1, uv + pa).rgb + texture2D(texture2d_1, uv - pa).rgb +
                texture2D(texture2d_1, uv + pb).rgb + texture2D(texture2d_1, uv - pb).rgb;
    vec3 soft = 0.175 * centre + 0.20625 * ring;
    // The strength keeps the mean brightness of the frames drawn with the
    // earlier ring of wide taps.
    vec3 bloom = texture2D(texture2d_2, uv).rgb * 0.75;

    vec3 c = mix(centre, soft, 0.35) + bloom;
    // Tone: lift the blacks a hair, roll off the highlights.
    c = c * (1.0 + 0.12 * c) / (1.0 + 0.35 * c) * 1.2;
    vec2 q = uv - 0.5;
    c *= 1.0 - 0.55 * dot(q, q) * 1.6;
    gl_FragColor = vec4(clamp(c, 0.0, 1.0), 1.0);
}
