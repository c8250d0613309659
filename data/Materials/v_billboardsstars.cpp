#version 120
// Stars: the sparse grid becomes a dome of twinkling points at a great
// distance (rotation only: they keep still however the camera moves).
// They fade in with "magnifier" after the opening; a few are tinted from
// the palette and the high notes make some of them flare.
uniform float ttime;
uniform float realttime;
uniform float PosY;
uniform float particlesize;
uniform float magnifier;
uniform sampler2D texture2d_1;  // palette picture
uniform sampler2D texture2d_2;  // height map (unused by the sky)
uniform sampler1D textureDSP;   // spectrum

varying vec3 colour;
varying vec4 glow;

void main()
{
    vec2 uv = gl_Vertex.xy;
    // The point's own random values, made once on the processor (the same on
    // every card).
    float r1 = gl_MultiTexCoord0.x;
    float r2 = gl_MultiTexCoord0.y;
    float r3 = gl_MultiTexCoord0.z;
    // Jitter the grid so no rows show, then spread over the upper dome
    // (a little below the horizon too).
    vec2 s = uv + (vec2(r1, r2) - 0.5) * vec2(3.0 / 512.0, 4.0 / 512.0);
    float azimuth = s.x * 6.2832;
    float elevation = asin(mix(-0.12, 1.0, s.y));
    vec3 dir = vec3(cos(elevation) * cos(azimuth), cos(elevation) * sin(azimuth), sin(elevation));
    vec3 eye = mat3(gl_ModelViewMatrix) * dir * 500.0;
    gl_Position = gl_ProjectionMatrix * vec4(eye, 1.0);

    float fade = clamp(magnifier / 6.0, 0.0, 1.0);
    float highs = texture1DLod(textureDSP, 0.1 + 0.3 * r3, 0.0).r;
    float twinkle = 0.55 + 0.45 * sin(ttime * (1.5 + 4.0 * r2) + r1 * 50.0);
    // In the wide orbit before the insect the sky fills: more bright stars,
    // and all of them brighter as the music builds.
    float orbit = smoothstep(140.8, 142.4, ttime) * (1.0 - smoothstep(159.6, 160.6, ttime));
    float build_up = smoothstep(143.0, 157.0, ttime);
    float bright = pow(r3, mix(6.0, 3.0, orbit));  // a few bright stars, many faint ones
    float flare = step(0.92, r1) * highs * 2.0;
    float px = (1.2 + 2.5 * bright + flare) * particlesize * 3.3 * gl_Point.size;
    gl_PointSize = clamp(px, 1.0, 16.0);
    float energy = min(px, 1.0);  // stars stay a pixel wide at any size

    vec3 paint = texture2DLod(texture2d_1, vec2(r2, r3), 0.0).rgb;
    vec3 tint = mix(vec3(0.75, 0.85, 1.0), paint * 1.4, step(0.8, r2) * 0.6);
    float horizon = smoothstep(-0.1, 0.15, dir.z);
    float light = fade * horizon * energy * (0.3 + 1.7 * bright + flare) * twinkle;
    light *= 1.0 + orbit * (3.0 + 4.0 * build_up);
    colour = tint * light * 1.4;
    glow = vec4(tint * light * (0.15 + bright) * 0.5, 0.0);

    // Points that give no light are not rasterised at all.
    if (dot(colour, vec3(1.0)) + dot(glow.rgb, vec3(1.0)) < 1e-4)
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
}
