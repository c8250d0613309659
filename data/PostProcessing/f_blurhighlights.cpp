#version 120
// Bright parts only, blurred (built, not drawn with).
uniform sampler2D texture2d_1;
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 c = vec3(0.0);
    for (int i = -2; i <= 2; ++i) {
        vec3 s = texture2D(texture2d_1, uv + vec2(float(i) * 0.003, 0.0)).rgb;
        c += max(s - vec3(0.6 + Limit * 0.0), vec3(0.0));
    }
    gl_FragColor = vec4(c * 0.2, 1.0);
}
