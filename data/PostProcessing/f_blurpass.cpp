#version 120
// Final pass to the window: a soft blur (the point itself with a faint
// halo about 1.4 pixels out, made at half size before this pass), the
// bloom of the highlights (what is brighter than 0.45, reduced and blurred
// at quarter size before this pass), a gentle vignette and tone curve.
// The combined image is read at texel centres only.
uniform sampler2D texture2d_1;  // combined image
uniform sampler2D texture2d_2;  // bloom of the highlights, quarter size
uniform sampler2D texture2d_3;  // the soft blur's halo, half size

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 centre = texture2D(texture2d_1, uv).rgb;
    vec3 soft = 0.175 * centre + 0.825 * texture2D(texture2d_3, uv).rgb;
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
