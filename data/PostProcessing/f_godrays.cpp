#version 120
// God rays: a radial blur of the bright parts toward a light position.
// The light is the origin of the scene seen through texture unit 2's
// projective matrix when one is set, else the upper middle of the screen.
uniform sampler2D texture2d_1;
uniform float Limit;  // ray strength, 1 when unset

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec4 projected = gl_TextureMatrix[2] * vec4(0.0, 0.0, 0.0, 1.0);
    vec2 light = projected.w > 0.001 ? projected.xy / projected.w : vec2(0.5, 0.65);
    light = clamp(light, vec2(-0.5), vec2(1.5));
    vec2 delta = (uv - light) / 32.0;
    vec2 p = uv;
    float decay = 1.0;
    vec3 rays = vec3(0.0);
    for (int i = 0; i < 32; ++i) {
        p -= delta;
        vec3 s = texture2D(texture2d_1, p).rgb;
        rays += max(s - vec3(0.3), vec3(0.0)) * decay;
        decay *= 0.94;
    }
    float strength = Limit > 0.0 ? Limit : 1.0;
    gl_FragColor = vec4(texture2D(texture2d_1, uv).rgb + rays * 0.08 * strength, 1.0);
}
