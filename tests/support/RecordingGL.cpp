#include "tests/support/RecordingGL.h"

namespace RecordingGL {
namespace {

struct Log {
    static std::vector<RecordedCall>& Calls() {
        static std::vector<RecordedCall> calls;
        return calls;
    }
};

GLuint NextName = 1;

void Record(const char* name, std::vector<double> args) {
    Log::Calls().push_back(RecordedCall{name, std::move(args)});
}

void APIENTRY GenTextures(GLsizei count, GLuint* names) {
    Record("glGenTextures", {static_cast<double>(count)});
    for (GLsizei i = 0; i < count; ++i) {
        names[i] = NextName++;
    }
}

GLuint APIENTRY GenLists(GLsizei range) {
    Record("glGenLists", {static_cast<double>(range)});
    GLuint base = NextName;
    NextName += static_cast<GLuint>(range);
    return base;
}

GLuint APIENTRY CreateShader(GLenum type) {
    Record("glCreateShader", {static_cast<double>(type)});
    return NextName++;
}

GLuint APIENTRY CreateProgram() {
    Record("glCreateProgram", {});
    return NextName++;
}

void APIENTRY GetShaderiv(GLuint shader, GLenum name, GLint* value) {
    Record("glGetShaderiv", {static_cast<double>(shader), static_cast<double>(name)});
    *value = (name == GL_COMPILE_STATUS) ? GL_TRUE : 0;
}

void APIENTRY GetProgramiv(GLuint program, GLenum name, GLint* value) {
    Record("glGetProgramiv", {static_cast<double>(program), static_cast<double>(name)});
    *value = (name == GL_LINK_STATUS) ? GL_TRUE : 0;
}

GLint APIENTRY GetUniformLocation(GLuint program, const GLchar* name) {
    Record("glGetUniformLocation", {static_cast<double>(program)});
    return static_cast<GLint>(std::string(name).size());
}

const GLubyte* APIENTRY GetString(GLenum name) {
    Record("glGetString", {static_cast<double>(name)});
    return reinterpret_cast<const GLubyte*>("recording");
}

}  // namespace

std::vector<RecordedCall>& Calls() {
    return Log::Calls();
}

void ClearCalls() {
    Log::Calls().clear();
}

std::vector<RecordedCall> CallsTo(const std::string& name) {
    return CallsNamed(Log::Calls(), name);
}

std::vector<std::string> CallNames() {
    return NamesOf(Log::Calls());
}

#define RECORDING_GL_SLOT(table, name)                                  \
    {                                                                   \
        struct Name {                                                   \
            static const char* Get() { return #name; }                  \
        };                                                              \
        table.name = &CallRecorder<Log, Name, decltype(&::name)>::Call; \
    }
#define RECORDING_GL_CORE(name) RECORDING_GL_SLOT(PublishedGLCore, name)
#define RECORDING_GL_LEGACY(name) RECORDING_GL_SLOT(PublishedGLLegacy, name)

void Install() {
    GL_CORE_ENTRY_POINTS(RECORDING_GL_CORE)
    GL_LEGACY_ENTRY_POINTS(RECORDING_GL_LEGACY)
    PublishedGLCore.glGenTextures = GenTextures;
    PublishedGLLegacy.glGenLists = GenLists;
    PublishedGLCore.glCreateShader = CreateShader;
    PublishedGLCore.glCreateProgram = CreateProgram;
    PublishedGLCore.glGetShaderiv = GetShaderiv;
    PublishedGLCore.glGetProgramiv = GetProgramiv;
    PublishedGLCore.glGetUniformLocation = GetUniformLocation;
    PublishedGLCore.glGetString = GetString;
    NextName = 1;
    ClearCalls();
}

void Uninstall() {
    ClearPublishedGLEntryPoints();
}

}  // namespace RecordingGL
