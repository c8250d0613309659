#version 120
// Lit mesh into the height map: red = height / 32, green = lit shading with
// detail from the normal map, alpha = 1 where a mesh covers the texel.
uniform sampler2D texture2d_1;     // normal map
uniform sampler2D texture2d_2;     // depth texture (nothing renders into it)
uniform sampler2D texture2d_3;     // background picture
uniform sampler2D texture2d_blob;  // never created
uniform samplerCube texture2d_cube;  // never created

varying float height;
varying vec3 normal;
varying vec2 ground;

void main()
{
    vec3 detail = texture2D(texture2d_1, ground).rgb * 2.0 - 1.0;
    vec3 n = normalize(normalize(normal) + 0.3 * detail);
    float shade = clamp(dot(n, normalize(vec3(0.4, 1.0, 0.3))), 0.0, 1.0);
    gl_FragColor = vec4(clamp(height / 32.0, 0.0, 1.0), 0.2 + 0.8 * shade, 0.0, 1.0);
}
