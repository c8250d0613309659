#version 120
// Letters: the grid keeps only the points where the picture is bright, so
// the title (at the opening) and the logo (at the closing) are drawn in
// light. The word hangs in front of the camera, facing it; its points
// gather out of a drifting cloud, breathe with the bass, and scatter again
// before the cut that ends the opening.
uniform float ttime;
uniform float realttime;
uniform float PosY;
uniform float particlesize;
uniform float magnifier;
uniform sampler2D texture2d_1;  // palette picture
uniform sampler2D texture2d_2;  // the letters picture, or the logo at the end
uniform sampler1D textureDSP;   // spectrum

varying vec3 colour;
varying vec4 glow;

void main()
{
    vec2 uv = gl_Vertex.xy;
    float ink = dot(texture2DLod(texture2d_2, uv + vec2(0.5 / 512.0), 0.0).rgb, vec3(0.333));
    // The point's own random values, made once on the processor (the same on
    // every card).
    float r1 = gl_MultiTexCoord0.x;
    float r2 = gl_MultiTexCoord0.y;
    float r3 = gl_MultiTexCoord0.z;
    if (ink < 0.3) {
        // Not part of the word: off screen, no light.
        gl_Position = vec4(2.0, 2.0, 2.0, 1.0);
        gl_PointSize = 1.0;
        colour = vec3(0.0);
        glow = vec4(0.0);
        return;
    }

    // Opening (clock below 100): gather over the first seconds, scatter
    // before the cut at 21. Closing: gather after 204, loosen at the end.
    bool opening = realttime < 100.0;
    float gather = opening ? smoothstep(0.0, 4.0, realttime) * (1.0 - smoothstep(18.6, 21.0, realttime))
                           : smoothstep(204.0, 210.0, realttime) * (1.0 - 0.6 * smoothstep(227.0, 236.0, realttime));
    float spread = 1.0 - gather;
    spread = spread * spread;

    // A square picture spanning about the screen height, some way in front
    // of the camera; the logo a little smaller.
    float depth = 18.0;
    float size = (opening ? 1.2 : 0.95) * 2.0 * depth / gl_ProjectionMatrix[1][1];
    vec3 p = vec3((uv - 0.5) * size, -depth);
    p.y += opening ? 0.04 * size : 0.0;
    vec3 scatter = (vec3(r1, r2, r3) - 0.5) * vec3(size * 1.2, size * 0.9, depth * 1.2);
    scatter += vec3(sin(ttime * 0.4 + r1 * 6.283), cos(ttime * 0.35 + r2 * 6.283), 0.0) * 1.5;
    p += scatter * spread;
    float bass = texture1DLod(textureDSP, 0.006, 0.0).r;
    p += 0.05 * vec3(sin(ttime * 1.7 + r3 * 6.283), cos(ttime * 1.3 + r1 * 6.283), 0.0) * (1.0 + 4.0 * bass);
    p.y += PosY;

    gl_Position = gl_ProjectionMatrix * vec4(p, 1.0);
    float dist = -p.z;
    float px = particlesize * 0.42 * gl_ProjectionMatrix[1][1] * 360.0 * gl_Point.size / dist;
    gl_PointSize = clamp(px, 1.0, 1.0 + 26.0 * gl_Point.size);
    float energy = min(px * px, 1.0);

    vec3 paint = texture2DLod(texture2d_1, uv * 0.6 + 0.2 + 0.05 * vec2(sin(ttime * 0.1), cos(ttime * 0.13)), 0.0).rgb;
    vec3 c = mix(paint * 1.3, vec3(1.0, 0.97, 0.92), 0.45) * ink;
    float shimmer = 0.8 + 0.2 * sin(ttime * 3.0 + r1 * 6.283) + 0.6 * bass;
    float light = energy * shimmer * (0.35 + 0.65 * gather);
    colour = c * light * 0.3;
    glow = vec4(c * light * 0.1 * (0.5 + bass), 0.0);
}
