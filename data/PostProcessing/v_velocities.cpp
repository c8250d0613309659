#version 120
// Velocity output for the main cloud: each grid point is placed as the
// city program places it (height map, ground ripple) at "ttime" and a
// frame (1/60 s) earlier; the fragment writes the screen-space motion.
uniform float ttime;
uniform float realttime;
uniform float PosY;
uniform float particlesize;
uniform float magnifier;
uniform sampler2D texture2d_2;  // height map

varying vec2 motion;

vec4 place(float t, float flow)
{
    vec2 uv = gl_Vertex.xy;
    vec4 map = texture2DLod(texture2d_2, uv + vec2(0.5 / 512.0), 0.0);
    vec2 xy = (uv - 0.5) * 64.0;
    float rise = clamp(magnifier / 6.0, 0.1, 1.0);
    float z = map.r * 24.0 * rise + (1.0 - step(0.5, map.a)) * 0.12 * sin(length(xy) * 0.55 - flow * 1.9);
    xy += 0.06 * vec2(sin(t * 0.7), cos(t * 0.6));
    return gl_ModelViewProjectionMatrix * vec4(xy, z + PosY, 1.0);
}

void main()
{
    vec4 now = place(ttime, realttime);
    vec4 before = place(ttime - 1.0 / 60.0, realttime - 1.0 / 60.0);
    gl_Position = now;
    motion = now.xy / max(now.w, 1e-4) - before.xy / max(before.w, 1e-4);
    gl_PointSize = max(particlesize * 4.0, 1.0);
}
