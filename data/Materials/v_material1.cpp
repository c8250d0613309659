#version 120
// Lit mesh, drawn from straight above into the height map.
// The mesh placement (scales, rotations, translations) lives in texture
// matrix 0; the modelview keeps the top-view camera, which looks down -y,
// so the placed y is the height.
uniform float ttime;
uniform float PosY;
uniform float PP;    // adjustment values: neutral (0) in playback

varying vec3 placed;  // placed position: y is the height
varying vec3 normal;

void main()
{
    vec4 p = gl_TextureMatrix[0] * gl_Vertex;
    // Whatever falls below the ground comes to rest on it (fallen leaves
    // pile up on the floor instead of vanishing).
    p.y = max(p.y, 0.0);
    placed = p.xyz;
    normal = mat3(gl_TextureMatrix[0]) * gl_Normal;
    gl_Position = gl_ModelViewProjectionMatrix * p;
    gl_FrontColor = gl_Color;
}
