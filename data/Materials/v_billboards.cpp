#version 120
// Main cloud, the city (until the insect). One point per grid texel: the
// grid point (u, v) sits at ((u, v) - 0.5) * 64 in particle space (up is
// +z), lifted by the height map. Built-up points are lit by the map's
// shading and coloured from the palette picture; empty ground is a dim,
// sparse carpet that ripples outward with "realttime" and lifts a little
// with the music, low notes at the centre and high notes at the rim.
// "magnifier" raises the city out of the ground (it restarts at the cuts),
// "rttime" sends sparks up from the rooftops in the second half.
// Two stretches where the camera holds get a life of their own, from the
// clock and the spectrum only (so every frame stays a function of its
// time): the crane shot over the main groove, and the wide orbit before
// the insect.
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
varying vec4 glow;  // rgb glow, a density

// A point that can give no light: not rasterised, no further work.
void skip_point()
{
    gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
    gl_PointSize = 1.0;
    colour = vec3(0.0);
    glow = vec4(0.0);
}

// The main groove under the crane shot: its beats fall every 0.61516 s of
// scene time, beat 8 at 45.9816 (the tempo is steady from there to past
// 80); four beats a bar; the theme enters on beat 32 (60.75).
float groove_beat(float t)
{
    return 8.0 + (t - 45.9816) / 0.61516;
}

// The district (one sixth of the city, by angle) that bar `bar` lights; no
// bar lights the same one as either of the two before it.
float district_of_bar(float bar)
{
    float n = bar * 2.0 + floor((bar + 0.5) / 3.0);
    return n - 6.0 * floor((n + 0.5) / 6.0);
}

// The sixth of the circle that holds the direction xy, 0..5 counter-clockwise
// from the -x axis: floor((atan(y, x) / 2pi + 0.5) * 6) from the sides of
// the lines at 60 and 120 degrees, without an arc tangent.
float sector_of(vec2 xy)
{
    float past = step(0.0, 0.5 * xy.y - 0.8660254 * xy.x) + step(0.0, -0.5 * xy.y - 0.8660254 * xy.x);
    return xy.y >= 0.0 ? 3.0 + past : 2.0 - past;
}

// A bell of half-width ~1 about 0, (1 - x^2 / 4)^4, zero beyond |x| = 2:
// close to exp(-x^2) at a fraction of its cost per point.
float bell(float x)
{
    float b = max(1.0 - 0.25 * x * x, 0.0);
    b *= b;
    return b * b;
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
    float built = step(0.5, map.a);
    // Empty ground lights only the points with r1 <= 0.45 (and makes no
    // sparks): the rest skip the work.
    if (built < 0.5 && r1 > 0.45) {
        skip_point();
        return;
    }
    float band = clamp(radius / 34.0, 0.0, 1.0);
    float dsp = texture1DLod(textureDSP, 0.004 + band * band * 0.3, 0.0).r;
    float bass = texture1DLod(textureDSP, 0.006, 0.0).r;

    float rise = clamp(magnifier / 6.0, 0.0, 1.0);
    rise = 0.1 + 0.9 * rise * rise * (3.0 - 2.0 * rise);
    float z = map.r * 24.0 * rise;

    // Ground: ripples and a faint lift with the music.
    float ripple = sin(radius * 0.55 - realttime * 1.9) * exp(-radius * 0.03);
    z += (1.0 - built) * (0.12 * ripple + 1.2 * dsp * dsp);
    // Sparks leave the rooftops once the city starts to rise.
    float spark = built * step(r1, 0.035) * step(0.001, rttime);
    float lift = fract(r2 + rttime * 0.045);
    z += spark * lift * 22.0;

    // The crane shot: a ring of light leaves the plaza on every kick, one
    // district after another lights up bar by bar, light runs out along the
    // avenues, and when the theme enters a flash sweeps the city and sparks
    // start rising from the rooftops.
    float crane = smoothstep(47.0, 50.0, ttime) * (1.0 - smoothstep(82.6, 83.4, ttime));
    float kick_ring = 0.0, district = 0.0, avenue = 0.0, flash = 0.0, ember = 0.0, ember_lift = 0.0;
    if (crane > 0.0) {  // the same for every point: the rest of the show skips this work
        float beat = groove_beat(ttime);
        float phase = fract(beat);
        kick_ring = crane * bell((radius - phase * 34.0) * 0.4) * (1.0 - phase);
        float bar = floor((beat + 0.001) / 4.0);
        float bar_phase = beat / 4.0 - bar;
        district = crane * built * step(abs(sector_of(xy) - district_of_bar(bar)), 0.5) *
                   smoothstep(0.0, 0.12, bar_phase) * (1.0 - smoothstep(0.85, 1.0, bar_phase));
        // Crests every 1 / 0.11 units along both axes, moving out half a
        // crest a beat (the shape of cos^16 of half the phase).
        vec2 crest = fract(abs(xy) * 0.11 - beat * 0.5 + 0.5) - 0.5;
        avenue = crane * (1.0 - built) * (1.0 - smoothstep(18.0, 24.0, radius)) *
                 (bell(crest.x * 8.886) + bell(crest.y * 8.886));
        float since_theme = ttime - 60.75;
        float theme = crane * step(0.0, since_theme);
        flash = theme * bell((radius - since_theme * 16.0) * 0.2857) * exp(-since_theme * 0.5);
        ember = theme * built * step(r1, 0.03) * smoothstep(0.0, 0.6, since_theme);
        ember_lift = fract(r2 + since_theme * 0.09);
        z += ember * ember_lift * 16.0;
    }

    // The wide orbit before the insect: the carpet of empty ground reaches
    // further out and the whole island glows brighter, more so as the music
    // builds towards the insect.
    float orbit = smoothstep(140.8, 142.4, ttime) * (1.0 - smoothstep(159.6, 160.6, ttime));
    float build_up = smoothstep(143.0, 157.0, ttime);
    xy *= 1.0 + orbit * (1.0 - built) * 1.3 * smoothstep(8.0, 32.0, radius);
    // A slow drift: the five passes are drawn a few hundredths of a
    // second apart, which smears moving points into short trails.
    xy += (0.06 + 0.25 * (1.0 - built)) *
          vec2(sin(ttime * 0.7 + r1 * 6.283), cos(ttime * 0.6 + r2 * 6.283));

    vec3 p = vec3(xy, z + PosY);
    vec4 eye = gl_ModelViewMatrix * vec4(p, 1.0);
    gl_Position = gl_ProjectionMatrix * eye;
    float dist = max(-eye.z, 0.05);

    // Sprite size in pixels from a size in world units; gl_Point.size
    // carries the render height / 720 so the look does not depend on the
    // resolution. Sprites under a pixel give their light in proportion.
    float world = particlesize * (0.5 + 0.25 * built);
    float px = world * gl_ProjectionMatrix[1][1] * 360.0 * gl_Point.size / dist;
    gl_PointSize = clamp(px, 1.0, 1.0 + 26.0 * gl_Point.size);  // near points stay moderate
    float energy = min(px * px, 1.0);
    // Far away in the orbit, sprites under a pixel keep more of their light.
    energy = mix(energy, min(px, 1.0), orbit);

    vec3 paint = texture2DLod(texture2d_1, uv * 0.86 + 0.07 + 0.02 * vec2(sin(ttime * 0.05), cos(ttime * 0.04)), 0.0).rgb;
    float fog = exp(-dist * 0.0035) * smoothstep(0.3, 2.5, dist);
    float island = 1.0 - smoothstep(22.0, 32.0, radius);
    island = mix(island, 1.0 - smoothstep(29.0, 32.0, radius), orbit);

    vec3 lit = paint * (0.35 + 1.1 * map.g) * mix(0.8, 1.25, map.b);
    lit = mix(lit, vec3(1.0, 0.86, 0.62) * (0.5 + map.g), 0.35 * map.r);  // warm tops
    vec3 ground = paint * (0.05 + 0.4 * dsp) * step(r1, 0.45) * (1.0 + orbit * (2.0 + 4.0 * dsp));
    vec3 c = mix(ground, lit * (0.8 + 0.6 * bass), built);
    c = mix(c, vec3(1.0, 0.9, 0.75) * 1.6, spark * (1.0 - lift));
    c *= 1.0 + 0.45 * district;
    c += vec3(1.0, 0.85, 0.6) * (0.4 * kick_ring * (0.4 + 0.6 * bass)) + vec3(0.45, 0.8, 1.0) * 0.4 * avenue;
    c += vec3(1.0, 0.95, 0.85) * (0.8 * flash);
    c = mix(c, vec3(1.0, 0.8, 0.55) * 1.5, ember * (1.0 - ember_lift));
    // The opening keeps the city low and dim behind the title; at each cut
    // it brightens as it rises.
    float presence = mix(0.35, 1.0, smoothstep(0.5, 4.0, magnifier));
    float light = energy * fog * island * presence;
    light *= 1.0 + orbit * (0.6 * build_up + 0.4 * bass);
    colour = c * light * 0.11;
    glow = vec4((built * (0.08 + 0.5 * bass * bass) * map.g + spark * (1.0 - lift)) * paint * light * 0.12,
                0.02 * light);
    glow.rgb += (0.3 * kick_ring + 0.7 * flash + 0.25 * district * map.g + ember * (1.0 - ember_lift)) *
                vec3(1.0, 0.85, 0.65) * light * 0.1;

    // Points that give no light are not rasterised at all: every sprite is
    // rounded to the 8-bit targets and is at most 1 at its centre, so a
    // point whose colour, glow and density all stay under half a step
    // leaves nothing there.
    vec4 most = max(vec4(colour, 0.0), glow);
    if (max(max(most.r, most.g), max(most.b, most.a)) < 0.5 / 255.0)
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
}
