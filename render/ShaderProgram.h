#pragma once
#include <string>

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

// With GlslEnabled on, creates the three programs and builds them; true. With it off, does
// nothing and returns false. A program that cannot be built is reported on stderr and left
// unusable.
bool LoadShaderPrograms();

// Reads both files through the asset opener, compiles and links them into `record`. False,
// after one line on stderr (with GL's info log when GL had something to say), when a file
// cannot be read or a stage does not compile or link; the record's program is then 0.
bool BuildShaderProgram(ShaderProgram* record, const char* vertexPath, const char* fragmentPath);
