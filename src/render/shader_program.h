// Placeholder: the shader program table arrives with the shader toolkit.
#pragma once
class ShaderProgram {};
