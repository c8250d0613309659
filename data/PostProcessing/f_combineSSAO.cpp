#version 120
// Combine pass: scene colour, a soft bloom of the glow mask, a light depth
// fog and fine film grain from the random texture ("Limit" moves the grain).
uniform sampler2D texture2d_1;       // scene colour
uniform sampler2D texture2d_2;       // scene depth
uniform sampler2D texture2d_3;       // glow mask
uniform sampler2D texture2d_random;  // 1024 x 1024 noise
uniform float Limit;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 c = texture2D(texture2d_1, uv).rgb;
    vec3 bloom = vec3(0.0);
    for (int i = -2; i <= 2; ++i) {
        for (int j = -2; j <= 2; ++j) {
            bloom += texture2D(texture2d_3, uv + vec2(float(i), float(j)) * 0.004).rgb;
        }
    }
    bloom /= 25.0;
    float depth = texture2D(texture2d_2, uv).r;
    float grain = texture2D(texture2d_random, uv * 3.0 + vec2(Limit, Limit * 0.7)).r - 0.5;
    vec3 result = c + bloom * 0.6 + grain * 0.03;
    result *= mix(1.0, 0.85, depth * depth);
    gl_FragColor = vec4(result, 1.0);
}
