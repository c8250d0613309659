#version 120
// Quarter-size reduction for the blooms: each output pixel is the mean of
// the 4 x 4 source texels it covers, where each texel counts only by what
// it has above "Limit" (nothing is cut at 0 or below). Alpha is the plain
// mean. Runs with the fixed-function vertex stage over a quarter-size
// viewport.
uniform sampler2D texture2d_1;
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    // One source texel: a quarter of this pass's pixel.
    vec2 texel = vec2(dFdx(uv.x), dFdy(uv.y)) * 0.25;
    float cut = max(Limit, 0.0);
    vec4 sum = vec4(0.0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            vec4 s = texture2D(texture2d_1, uv + (vec2(float(x), float(y)) - 1.5) * texel);
            sum += vec4(max(s.rgb - vec3(cut), vec3(0.0)), s.a);
        }
    }
    gl_FragData[0] = sum / 16.0;
}
