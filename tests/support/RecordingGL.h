#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "render/GLEntryPoints.h"
#include "tests/support/CallRecorder.h"

// A stand-in for OpenGL: fills the published tables with recorders, so drawing code runs
// without a context and tests read back what it asked for. Object names (textures, lists,
// shaders, programs) are handed out from 1 upwards; shaders compile and programs link.
namespace RecordingGL {

void Install();    // fills both published tables with recorders and clears the log
void Uninstall();  // empties both published tables

std::vector<RecordedCall>& Calls();
void ClearCalls();  // also forgets the texture uploads, called lists and element draws

// The recorded calls of one function, in order.
std::vector<RecordedCall> CallsTo(const std::string& name);

// The names of every recorded call, in order.
std::vector<std::string> CallNames();

// One image handed to glTexImage2D; bytes holds a copy of its pixels only while
// KeepTextureBytes(true) is in force (tightly packed rows are assumed).
struct TextureUpload {
    GLint level = 0;
    GLint internalFormat = 0;
    GLsizei width = 0;
    GLsizei height = 0;
    GLenum format = 0;
    GLuint texture = 0;  // the texture bound when it was handed over
    std::vector<uint8_t> bytes;
};
std::vector<TextureUpload>& TextureUploads();
void KeepTextureBytes(bool keep);

// The display lists each glCallLists call would run: the list base of the last glListBase plus
// each byte of the call (GL_UNSIGNED_BYTE names only).
std::vector<std::vector<GLuint>>& CalledLists();

// What one glDrawElements call with byte indices drew from the float client arrays that
// glVertexPointer and glTexCoordPointer set: the position and the texture coordinate of each
// indexed vertex, in index order, and the address of the texture-coordinate array, which tells
// a test which picture was drawn.
struct DrawnElements {
    std::vector<float> positions;
    std::vector<float> texCoords;
    const void* texCoordArray = nullptr;
};
std::vector<DrawnElements>& ElementDraws();

// A uniform as glGetUniformLocation was asked for it. Each distinct program and name gets a
// location of its own, from 1 upwards; UniformAt gives an empty name for any other location.
struct Uniform {
    GLuint program = 0;
    std::string name;
};
Uniform UniformAt(GLint location);

// What glGetShaderiv and glGetProgramiv report for GL_COMPILE_STATUS and GL_LINK_STATUS
// (GL_TRUE after Install), and the info log both return (empty after Install).
void SetBuildAnswers(GLint compileStatus, GLint linkStatus, const std::string& log);

}  // namespace RecordingGL
