#version 120
// A plain 3 x 3 box blur of texture2d_1 (about a pixel and a half wide at
// 1280 x 720), for the fixed-function vertex stage.
uniform sampler2D texture2d_1;
uniform float Limit;  // extra width, 0 for the plain blur

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec2 step_ = vec2(0.0012, 0.0021) * (1.0 + max(Limit, 0.0));
    vec3 sum = vec3(0.0);
    for (int y = -1; y <= 1; ++y) {
        for (int x = -1; x <= 1; ++x) {
            sum += texture2D(texture2d_1, uv + vec2(float(x), float(y)) * step_).rgb;
        }
    }
    gl_FragColor = vec4(sum / 9.0, 1.0);
}
