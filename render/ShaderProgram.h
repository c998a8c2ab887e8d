#pragma once
#include <string>
#include <vector>

#include "render/GLEntryPoints.h"

// One GLSL program built from a vertex and a fragment source file. The drawing code uses only
// `program`; it is 0 when the program could not be built, and Usable() says whether a draw may
// use it or must fall back to the fixed-function path.
struct ShaderProgram {
    std::string vertexSource;    // the vertex file's text; the string keeps it NUL-terminated
    std::string fragmentSource;  // the fragment file's text
    GLuint vertexShader = 0;
    GLuint fragmentShader = 0;
    GLuint program = 0;

    bool Usable() const { return program != 0; }
};

// Null until built, and for the whole run when GlslEnabled is off.
extern ShaderProgram* DefaultProgram;  // lit sprites: asteroids, pickups, the ship
extern ShaderProgram* ShipInvProgram;  // the ship while invulnerable, with its shield
extern ShaderProgram* HeatProgram;     // flame particles

// A uniform the draws set, by the name and the GLSL type the shader sources declare it with.
struct ShaderUniform {
    const char* name;
    const char* glslType;
};

// Every uniform the draws set. Each is looked up by name on every draw.
namespace ShaderUniforms {
inline constexpr ShaderUniform Texture0 = {"texture0", "sampler2D"};  // colour, unit 0
inline constexpr ShaderUniform Texture1 = {"texture1", "sampler2D"};  // normal map, unit 1
inline constexpr ShaderUniform LightPosition = {"LightPosition", "vec3"};
inline constexpr ShaderUniform SpecularFactor = {"SpecularFactor", "float"};
inline constexpr ShaderUniform Texture2 = {"texture2", "sampler2D"};  // the shield's noise, unit 2
inline constexpr ShaderUniform NoiseOffset = {"noffset", "float"};
inline constexpr ShaderUniform Flame = {"flame", "sampler2D"};       // flame colour, unit 0
inline constexpr ShaderUniform FlameAlpha = {"alpha", "sampler2D"};  // flame alpha, unit 1
inline constexpr ShaderUniform ParticleAlpha = {"particleAlpha", "float"};
}  // namespace ShaderUniforms

// One program: the handle it fills, the two source files it is built from and every uniform
// its draws set, which one of the two sources must declare.
struct ShaderProgramSource {
    const char* handleName;
    ShaderProgram** handle;
    const char* vertexPath;
    const char* fragmentPath;
    std::vector<ShaderUniform> uniforms;
};

// DefaultProgram, ShipInvProgram and HeatProgram, in the order they are built.
constexpr int ShaderProgramCount = 3;
extern const ShaderProgramSource ShaderProgramSources[ShaderProgramCount];

// Whether GLSL text declares the uniform with its name and type: `uniform TYPE NAME;`, also as
// one of several names in one declaration, after a precision qualifier or as an array.
// Comments and preprocessor lines do not count.
bool ShaderSourceDeclares(const std::string& source, const ShaderUniform& uniform);

// With GlslEnabled on, creates the three programs and builds them; true. With it off, does
// nothing and returns false. A program that cannot be built is reported on stderr and left
// unusable.
bool LoadShaderPrograms();

// Reads both files through the asset opener, compiles and links them into `record`. False,
// after one line on stderr (with GL's info log when GL had something to say), when a file
// cannot be read or a stage does not compile or link; the record's program is then 0.
bool BuildShaderProgram(ShaderProgram* record, const char* vertexPath, const char* fragmentPath);
