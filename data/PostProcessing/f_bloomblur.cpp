#version 120
// One direction of a separable Gaussian blur, two at once: a wide blur of
// texture2d_1 along "Step0" (the centre and 6 reads either side, at
// "Offset0" steps with "Weight0") and a narrow blur of texture2d_2 along
// "Step1" (3 reads either side, "Offset1", "Weight1"). A step is one texel
// along the direction; the reads are filtered, so one read between two
// texels takes both. The first output is the wide blur; the second is
// mix(wide, narrow, Mix) ("Mix" 1: the narrow blur alone), with the narrow
// blur's alpha. Alpha is not blurred: it is the centre's, so a density
// carried in it keeps its detail. The loops have fixed lengths, which a
// software renderer runs unrolled, and a pass that binds one draw buffer
// pays for the wide blur only: the second output's work is dropped.
uniform sampler2D texture2d_1;
uniform sampler2D texture2d_2;
uniform vec2 Step0;
uniform vec2 Step1;
uniform float Offset0[6];
uniform float Weight0[7];
uniform float Offset1[3];
uniform float Weight1[4];
uniform float Mix;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec4 wide = texture2D(texture2d_1, uv);
    vec3 sum = wide.rgb * Weight0[0];
    for (int k = 0; k < 6; ++k) {
        vec2 d = Offset0[k] * Step0;
        sum += (texture2D(texture2d_1, uv + d).rgb + texture2D(texture2d_1, uv - d).rgb) * Weight0[k + 1];
    }
    wide.rgb = sum;

    vec4 narrow = texture2D(texture2d_2, uv);
    sum = narrow.rgb * Weight1[0];
    for (int k = 0; k < 3; ++k) {
        vec2 d = Offset1[k] * Step1;
        sum += (texture2D(texture2d_2, uv + d).rgb + texture2D(texture2d_2, uv - d).rgb) * Weight1[k + 1];
    }
    gl_FragData[0] = wide;
    gl_FragData[1] = vec4(mix(wide.rgb, sum, Mix), narrow.a);
}
