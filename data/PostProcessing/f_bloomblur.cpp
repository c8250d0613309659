#version 120
// One direction of a separable Gaussian blur, two at once: the first
// output blurs texture2d_1 along "Step0", the second texture2d_2 along
// "Step1" (a zero step leaves the second output black). Each step is the
// distance in texture coordinates between two of the 13 taps, which cover
// three standard deviations either side. Alpha is not blurred: it is the
// centre's, so a density carried in it keeps its detail.
uniform sampler2D texture2d_1;
uniform sampler2D texture2d_2;
uniform vec2 Step0;
uniform vec2 Step1;

vec3 blur(sampler2D source, vec2 uv, vec2 step_)
{
    vec3 sum = vec3(0.0);
    float total = 0.0;
    for (int k = -6; k <= 6; ++k) {
        float w = exp(-0.125 * float(k * k));
        sum += texture2D(source, uv + float(k) * step_).rgb * w;
        total += w;
    }
    return sum / total;
}

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    gl_FragData[0] = vec4(blur(texture2d_1, uv, Step0), texture2D(texture2d_1, uv).a);
    gl_FragData[1] = vec4(0.0);
    if (Step1 != vec2(0.0))
        gl_FragData[1] = vec4(blur(texture2d_2, uv, Step1), texture2D(texture2d_2, uv).a);
}
