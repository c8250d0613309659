#version 120
// A plain 3 x 3 box blur of texture2d_1 (built, not drawn with).
uniform sampler2D texture2d_1;
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float r = 0.002 * (1.0 + Limit);
    vec3 c = vec3(0.0);
    for (int i = -1; i <= 1; ++i) {
        for (int j = -1; j <= 1; ++j) {
            c += texture2D(texture2d_1, uv + vec2(float(i), float(j)) * r).rgb;
        }
    }
    gl_FragColor = vec4(c / 9.0, 1.0);
}
