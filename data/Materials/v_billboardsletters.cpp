#version 120
// Letters: the grid stands upright in the x-z plane; a point is kept where
// the letters picture (or the logo picture at the close) is bright.
uniform float ttime;
uniform float realttime;
uniform float PosY;
uniform float particlesize;
uniform float magnifier;
uniform sampler2D texture2d_1;  // background picture: the palette
uniform sampler2D texture2d_2;  // letters or logo picture
uniform sampler1D textureDSP;   // spectrum

varying vec4 colour;
varying float glow;

void main()
{
    vec2 uv = gl_Vertex.xy;
    float ink = texture2DLod(texture2d_2, uv, 0.0).r;
    float dsp = texture1DLod(textureDSP, uv.x * 0.5, 0.0).r;
    vec3 p = vec3((uv.x - 0.5) * 24.0, PosY, (uv.y - 0.5) * 24.0 + 8.0);
    p.y += 0.3 * sin(ttime * 0.5 + uv.x * 6.0);
    vec4 eye = gl_ModelViewMatrix * vec4(p, 1.0);
    gl_Position = gl_ProjectionMatrix * eye;
    float dist = max(-eye.z, 0.1);
    float size = particlesize * (1.0 + magnifier * 0.1) * 40.0 / dist;
    gl_PointSize = clamp(size * step(0.35, ink), 0.0, 8.0);
    vec4 paint = texture2DLod(texture2d_1, uv, 0.0);
    float rise = clamp(realttime * 0.25, 0.0, 1.0);
    colour = vec4(mix(vec3(1.0), paint.rgb, 0.5) * ink * rise * (0.25 + dsp * 0.2), 1.0);
    glow = ink * rise * 0.5;
}
