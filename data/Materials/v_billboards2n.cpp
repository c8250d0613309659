#version 120
// Main cloud, the insect. The same grid, lifted by the insect in the
// height map, with a character of its own: chitin that shimmers through
// thin-film colours as the light and the music move over it, wings that
// flicker with the high notes, and ground points drawn into slow rings
// around the body like a field around a magnet.
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
    // The island ends at radius 31; beyond it nothing gives light.
    if (radius >= 31.0) {
        skip_point();
        return;
    }
    vec4 map = texture2DLod(texture2d_2, uv + vec2(0.5 / 512.0), 0.0);
    float body = step(0.5, map.a);
    // The point's own random values, made once on the processor (the same on
    // every card).
    float r1 = gl_MultiTexCoord0.x;
    float r2 = gl_MultiTexCoord0.y;
    float bass = texture1DLod(textureDSP, 0.006, 0.0).r;
    float highs = texture1DLod(textureDSP, 0.18 + 0.1 * r1, 0.0).r;

    float z = map.r * 26.0 * clamp(magnifier / 6.0, 0.1, 1.0);
    // Thin parts (low in the map) are wings and legs: they flicker.
    float thin = body * (1.0 - smoothstep(0.05, 0.25, map.r));
    z += thin * highs * 2.5 * sin(ttime * 40.0 + r1 * 6.283);
    z += body * bass * 0.8;

    // Ground: rings that slowly travel outwards.
    float rings = 0.5 + 0.5 * sin(radius * 1.3 - realttime * 1.4 - ttime * 0.6);
    rings = pow(rings, 6.0);
    z += (1.0 - body) * (0.25 * rings + 0.6 * bass * exp(-radius * 0.08));
    xy += (1.0 - body) * 0.2 * vec2(sin(ttime * 0.5 + r1 * 6.283), cos(ttime * 0.45 + r2 * 6.283));
    xy += body * 0.03 * vec2(sin(ttime * 3.0 + r2 * 6.283), cos(ttime * 2.7 + r1 * 6.283));

    vec4 eye = gl_ModelViewMatrix * vec4(xy, z + PosY, 1.0);
    gl_Position = gl_ProjectionMatrix * eye;
    float dist = max(-eye.z, 0.05);
    float world = particlesize * (0.5 + 0.2 * body);
    float px = world * gl_ProjectionMatrix[1][1] * 360.0 * gl_Point.size / dist;
    gl_PointSize = clamp(px, 1.0, 1.0 + 26.0 * gl_Point.size);  // near points stay moderate
    float energy = min(px * px, 1.0);

    vec3 paint = texture2DLod(texture2d_1, vec2(0.2, 0.25) + uv * 0.5, 0.0).rgb;
    // Thin-film colour: the phase follows the shading and the height, and
    // the view direction, so colours slide over the shell as the camera
    // circles.
    vec3 view = normalize(eye.xyz);
    float phase = map.g * 1.7 + map.r * 4.0 + view.x * 0.8 + ttime * 0.04;
    float swing = 0.5 + 0.5 * sin(6.283 * phase);
    vec3 film = mix(vec3(0.1, 0.6, 0.65), vec3(1.0, 0.75, 0.35), swing);
    film += vec3(0.25, 0.05, 0.35) * pow(0.5 + 0.5 * cos(6.283 * phase * 1.7), 4.0);  // violet glints
    vec3 shell = mix(paint, film, 0.45) * (0.3 + 1.2 * map.g);
    shell += thin * vec3(0.5, 0.9, 1.0) * highs * 1.5;
    vec3 ground = mix(paint, vec3(0.2, 0.55, 0.6), 0.5) * (0.04 + 0.35 * rings) * step(r1, 0.5);
    vec3 c = mix(ground, shell, body);

    float fog = exp(-dist * 0.004) * smoothstep(0.3, 2.5, dist);
    float island = 1.0 - smoothstep(20.0, 31.0, radius);
    float light = energy * fog * island;
    colour = c * light * 0.11;
    glow = vec4((body * (0.12 + 0.5 * bass) * film * map.g + thin * highs * vec3(0.4, 0.8, 1.0)) * light * 0.12 +
                    (1.0 - body) * rings * paint * light * 0.02,
                0.02 * light);

    // Points that give no light are not rasterised at all.
    if (dot(colour, vec3(1.0)) + dot(glow.rgb, vec3(1.0)) < 1e-4)
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
}
