#version 120
// Stars: the sparse grid scattered high above the field, twinkling with time
// and the spectrum.
uniform float ttime;
uniform float realttime;
uniform float PosY;
uniform float particlesize;
uniform float magnifier;
uniform sampler2D texture2d_1;  // background picture
uniform sampler2D texture2d_2;  // height map
uniform sampler1D textureDSP;   // spectrum

varying vec4 colour;
varying float glow;

float hash(vec2 q) { return fract(sin(dot(q, vec2(12.9898, 78.233))) * 43758.5453); }

void main()
{
    vec2 uv = gl_Vertex.xy;
    float r = hash(uv);
    vec3 p = vec3((uv - 0.5) * 160.0, 40.0 + r * 40.0 + PosY);
    vec4 eye = gl_ModelViewMatrix * vec4(p, 1.0);
    gl_Position = gl_ProjectionMatrix * eye;
    float dsp = texture1DLod(textureDSP, r, 0.0).r;
    float twinkle = 0.5 + 0.5 * sin(realttime * (1.0 + r * 3.0) + r * 40.0);
    gl_PointSize = clamp(particlesize * (1.0 + magnifier * 0.1) * 4.0, 0.0, 4.0);
    vec4 paint = texture2DLod(texture2d_1, uv, 0.0) + texture2DLod(texture2d_2, uv, 0.0) * 0.0;
    colour = vec4(paint.rgb * (0.1 + 0.2 * twinkle + dsp * 0.3), 1.0) * step(0.6, r) + ttime * 0.0;
    glow = 0.0;
}
