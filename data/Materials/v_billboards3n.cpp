#version 120
// Main cloud during the falling leaves: as the first cloud, warmer and brighter.
uniform float ttime;
uniform float realttime;
uniform float rttime;
uniform float PosY;
uniform float particlesize;
uniform float magnifier;
uniform sampler2D texture2d_1;  // background picture: the palette
uniform sampler2D texture2d_2;  // height map (top view of the meshes)
uniform sampler1D textureDSP;   // music spectrum, low bins on the left

varying vec4 colour;
varying float glow;

void main()
{
    vec2 uv = gl_Vertex.xy;
    vec4 map = texture2DLod(texture2d_2, uv, 0.0);
    float dsp = texture1DLod(textureDSP, fract(uv.x * 0.5), 0.0).r;
    float height = map.r * 32.0 + dsp * 0.6 * map.a + PosY;
    vec3 p = vec3((uv - 0.5) * 64.0, height + rttime * 0.0);
    p.xy += 0.02 * vec2(sin(ttime * 0.7 + uv.y * 40.0), cos(ttime * 0.6 + uv.x * 40.0));
    vec4 eye = gl_ModelViewMatrix * vec4(p, 1.0);
    gl_Position = gl_ProjectionMatrix * eye;
    float dist = max(-eye.z, 0.1);
    gl_PointSize = clamp(particlesize * (1.0 + magnifier * 0.25) * 60.0 / dist, 0.0, 12.0);
    vec4 paint = texture2DLod(texture2d_1, uv, 0.0);
    float light = mix(0.12, 0.25 + 0.75 * map.g, map.a);
    float fog = exp(-dist * 0.012);
    colour = vec4(paint.rgb * 1.3 * light * fog * (0.9 + dsp + realttime * 0.0), 1.0) * 0.35;
    glow = dsp * map.a * fog;
}
