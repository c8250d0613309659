#version 120
// Blurred highlights: only what is brighter than "Limit" (0.6 when unset)
// passes, spread over a soft disc. The result is meant to be added on top
// of the picture.
uniform sampler2D texture2d_1;
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float threshold = Limit > 0.0 ? Limit : 0.6;
    vec3 sum = vec3(0.0);
    for (int i = 0; i < 16; ++i) {
        float a = float(i) * 2.3998;
        float r = sqrt((float(i) + 0.5) / 16.0);
        vec3 s = texture2D(texture2d_1, uv + vec2(cos(a), sin(a)) * r * vec2(0.01, 0.018)).rgb;
        sum += max(s - vec3(threshold), vec3(0.0)) * (1.0 - 0.5 * r);
    }
    gl_FragColor = vec4(sum / 8.0, 1.0);
}
