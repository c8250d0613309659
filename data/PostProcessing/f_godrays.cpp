#version 120
// Radial light streaks from the screen centre (built, not drawn with).
uniform sampler2D texture2d_1;
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec2 step_uv = (uv - vec2(0.5)) * (0.02 + Limit * 0.0);
    vec3 c = vec3(0.0);
    float weight = 1.0;
    vec2 q = uv;
    for (int i = 0; i < 16; ++i) {
        c += texture2D(texture2d_1, q).rgb * weight;
        q -= step_uv;
        weight *= 0.9;
    }
    gl_FragColor = vec4(c * 0.12, 1.0);
}
