#version 120
// Lit mesh into the height map:
//   red   = height / 32, clamped to [0, 1]
//   green = lit shading (sun from the upper left, surface detail from the
//           normal map made of the noise picture)
//   blue  = a tint value that changes from block to block, so the point
//           cloud can vary its colour per building
//   alpha = 1 where a mesh covers the texel (the map is cleared to 0).
uniform sampler2D texture2d_1;       // normal map
uniform sampler2D texture2d_2;       // depth texture (nothing renders into it)
uniform sampler2D texture2d_3;       // background picture
uniform sampler2D texture2d_blob;    // never created
uniform samplerCube texture2d_cube;  // never created

varying vec3 placed;
varying vec3 normal;

// The block tint hashes the block's whole-number coordinates with steps
// that are all exact in 32-bit float (whole numbers below 2^24, scaling by
// powers of two), so every card gives every block the same tint.
float wrap(float n)  // n modulo 2048
{
    return n - 2048.0 * floor(n * (1.0 / 2048.0));
}

float scramble(float n)  // a permutation of 0 .. 2047
{
    n = wrap(n * 1237.0 + 411.0);
    return wrap(n * (2.0 * n + 1.0));
}

float block_hash(vec2 block)
{
    float n = scramble(wrap(block.x));
    n = scramble(wrap(n + wrap(block.y) * 1693.0 + 97.0));
    return scramble(n) / 2048.0;
}

void main()
{
    // Face normal from the screen-space derivatives: crisp facets whether
    // or not the mesh carries normals.
    vec3 facet = normalize(cross(dFdx(placed), dFdy(placed)));
    if (facet.y < 0.0)
        facet = -facet;
    vec3 n = normalize(facet + 0.25 * normalize(normal + vec3(0.0, 1e-4, 0.0)));
    vec3 detail = texture2D(texture2d_1, placed.xz * 0.04).rgb * 2.0 - 1.0;
    n = normalize(n + 0.35 * vec3(detail.x, 0.0, detail.y));
    vec3 sun = normalize(vec3(-0.45, 1.0, 0.35));
    float shade = 0.25 + 0.75 * clamp(dot(n, sun), 0.0, 1.0);
    // Roofs (facing up) read brighter than the few walls the camera sees.
    shade *= mix(0.7, 1.0, clamp(n.y, 0.0, 1.0));
    vec2 block = floor(placed.xz * 0.35);
    float tint = block_hash(block);
    gl_FragColor = vec4(clamp(placed.y / 32.0, 0.0, 1.0), shade, tint, 1.0);
}
