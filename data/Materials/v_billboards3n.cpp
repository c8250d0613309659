#version 120
// Main cloud, the falling leaves. The grid is lifted by the leaves in the
// height map and painted in the warm half of the palette (amber, rose);
// the ground is a forest floor that sways in a slow wind, and a few of its
// points come loose as motes that drift down from above, swaying.
uniform float ttime;
uniform float realttime;
uniform float rttime;
uniform float PosY;
uniform float particlesize;
uniform float magnifier;
uniform sampler2D texture2d_1;  // palette picture
uniform sampler2D texture2d_2;  // height map: r height, g shading, b tint, a covered
uniform sampler1D textureDSP;   // spectrum, low bins on the left

varying vec3 colour;
varying vec4 glow;

// A point that can give no light: not rasterised, no further work.
void skip_point()
{
    gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
    gl_PointSize = 1.0;
    colour = vec3(0.0);
    glow = vec4(0.0);
}

void main()
{
    vec2 uv = gl_Vertex.xy;
    vec2 xy = (uv - 0.5) * 64.0;
    float radius = length(xy);
    // The point's own random values, made once on the processor (the same on
    // every card).
    float r1 = gl_MultiTexCoord0.x;
    float r2 = gl_MultiTexCoord0.y;
    // The island ends at radius 32; beyond it nothing gives light.
    if (radius >= 32.0) {
        skip_point();
        return;
    }
    vec4 map = texture2DLod(texture2d_2, uv + vec2(0.5 / 512.0), 0.0);
    float leaf = step(0.5, map.a);
    // The floor lights only the points with r1 <= 0.4 (motes are among
    // them): the rest skip the work.
    if (leaf < 0.5 && r1 > 0.4) {
        skip_point();
        return;
    }
    float bass = texture1DLod(textureDSP, 0.006, 0.0).r;
    float mids = texture1DLod(textureDSP, 0.05 + 0.1 * r2, 0.0).r;

    float z = map.r * 24.0 * clamp(magnifier / 6.0, 0.1, 1.0);
    // Wind over the floor.
    float wind = sin(xy.x * 0.18 + ttime * 0.9) * cos(xy.y * 0.13 - ttime * 0.7);
    z += (1.0 - leaf) * (0.25 * wind + 0.8 * mids * mids);
    xy += (1.0 - leaf) * vec2(0.35 * wind, 0.2 * wind);

    // Motes: one point in forty falls from above, swaying as it goes.
    float mote = (1.0 - leaf) * step(r1, 0.025);
    float fall = fract(r2 - ttime * (0.03 + 0.03 * r1));
    z += mote * fall * 34.0;
    xy += mote * 1.5 * vec2(sin(ttime * 1.3 + r2 * 40.0), cos(ttime * 1.1 + r2 * 30.0));

    vec4 eye = gl_ModelViewMatrix * vec4(xy, z + PosY, 1.0);
    gl_Position = gl_ProjectionMatrix * eye;
    float dist = max(-eye.z, 0.05);
    float world = particlesize * (0.5 + 0.3 * leaf + 0.6 * mote);
    float px = world * gl_ProjectionMatrix[1][1] * 360.0 * gl_Point.size / dist;
    gl_PointSize = clamp(px, 1.0, 1.0 + 26.0 * gl_Point.size);  // near points stay moderate
    float energy = min(px * px, 1.0);

    // The warm half of the palette, picked per leaf by its tint.
    vec3 paint = texture2DLod(texture2d_1, vec2(0.55 + 0.4 * map.b, 0.5 + 0.45 * uv.y), 0.0).rgb;
    vec3 warm = mix(paint, vec3(1.0, 0.55, 0.25), 0.35);
    vec3 leaves = warm * (0.3 + 1.2 * map.g) * (0.9 + 0.5 * bass);
    vec3 floorc = texture2DLod(texture2d_1, uv * 0.8 + 0.1, 0.0).rgb * vec3(0.9, 0.7, 0.5) *
                  (0.04 + 0.3 * mids) * step(r1, 0.4);
    vec3 c = mix(floorc, leaves, leaf);
    c += mote * vec3(1.0, 0.8, 0.6) * 0.9 * smoothstep(0.0, 0.15, fall);

    float fog = exp(-dist * 0.0035) * smoothstep(0.3, 2.5, dist);
    float island = 1.0 - smoothstep(22.0, 32.0, radius);
    float light = energy * fog * island;
    colour = c * light * 0.11;
    glow = vec4((leaf * (0.1 + 0.4 * bass) * warm * map.g + mote * vec3(1.0, 0.7, 0.4) * 0.8) * light * 0.12,
                0.02 * light);

    // Points that give no light are not rasterised at all.
    if (dot(colour, vec3(1.0)) + dot(glow.rgb, vec3(1.0)) < 1e-4)
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
}
