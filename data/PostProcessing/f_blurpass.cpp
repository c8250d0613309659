#version 120
// Final pass to the window: a slight blur mixed with the sharp image; "Limit"
// (the live adjustment value, 0 in playback) widens it.
uniform sampler2D texture2d_1;  // combined image
uniform sampler2D texture2d_2;  // scene depth
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float r = 0.0015 * (1.0 + Limit);
    vec3 c = texture2D(texture2d_1, uv).rgb * 0.4;
    c += texture2D(texture2d_1, uv + vec2(r, 0.0)).rgb * 0.15;
    c += texture2D(texture2d_1, uv - vec2(r, 0.0)).rgb * 0.15;
    c += texture2D(texture2d_1, uv + vec2(0.0, r)).rgb * 0.15;
    c += texture2D(texture2d_1, uv - vec2(0.0, r)).rgb * 0.15;
    float depth = texture2D(texture2d_2, uv).r;
    gl_FragColor = vec4(c * (1.0 - 0.1 * depth), 1.0);
}
