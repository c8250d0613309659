#version 120
// Lit mesh for the top view: the mesh placement lives in texture matrix 0,
// the modelview keeps the top-view camera; the height is the placed y.
uniform float ttime;
uniform float PosY;
uniform float PP;

varying float height;
varying vec3 normal;
varying vec2 ground;

void main()
{
    vec4 p = gl_TextureMatrix[0] * gl_Vertex;
    gl_Position = gl_ModelViewProjectionMatrix * p;
    height = p.y + PosY * 0.0 + PP * 0.0 + ttime * 0.0;
    normal = normalize(mat3(gl_TextureMatrix[0]) * gl_Normal);
    ground = p.xz * 0.05;
    gl_FrontColor = gl_Color;
}
