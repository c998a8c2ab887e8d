#include "render/ShaderProgram.h"

#include <cstdio>
#include <vector>

#include "app/AssetFiles.h"
#include "settings/SettingsValues.h"

ShaderProgram* DefaultProgram = nullptr;
ShaderProgram* ShipInvProgram = nullptr;
ShaderProgram* HeatProgram = nullptr;

namespace {

bool ReadSource(const char* path, std::string& source) {
    std::vector<uint8_t> bytes;
    if (!ReadAssetFile(path, bytes)) {
        std::fprintf(stderr, "brindles-cataclysm: cannot read the shader source %s\n", path);
        return false;
    }
    source.assign(bytes.begin(), bytes.end());
    return true;
}

// GL's info log of a shader or program, without its trailing newline.
template <typename GetValue, typename GetLog>
std::string InfoLog(GLuint object, GetValue getValue, GetLog getLog) {
    GLint length = 0;
    getValue(object, GL_INFO_LOG_LENGTH, &length);
    if (length <= 1) {
        return "no log";
    }
    std::string log(static_cast<size_t>(length), '\0');
    GLsizei written = 0;
    getLog(object, length, &written, &log[0]);
    log.resize(static_cast<size_t>(written));
    while (!log.empty() && (log.back() == '\n' || log.back() == '\0')) {
        log.pop_back();
    }
    return log;
}

bool Compiled(GLuint shader, const char* path) {
    GLint status = GL_FALSE;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    if (status == GL_TRUE) {
        return true;
    }
    std::string log = InfoLog(
        shader, [](GLuint s, GLenum n, GLint* v) { glGetShaderiv(s, n, v); },
        [](GLuint s, GLsizei c, GLsizei* l, GLchar* t) { glGetShaderInfoLog(s, c, l, t); });
    std::fprintf(stderr, "brindles-cataclysm: shader %s does not compile: %s\n", path, log.c_str());
    return false;
}

bool Linked(GLuint program, const char* vertexPath, const char* fragmentPath) {
    GLint status = GL_FALSE;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    if (status == GL_TRUE) {
        return true;
    }
    std::string log = InfoLog(
        program, [](GLuint p, GLenum n, GLint* v) { glGetProgramiv(p, n, v); },
        [](GLuint p, GLsizei c, GLsizei* l, GLchar* t) { glGetProgramInfoLog(p, c, l, t); });
    std::fprintf(stderr, "brindles-cataclysm: shaders %s and %s do not link: %s\n", vertexPath,
                 fragmentPath, log.c_str());
    return false;
}

}  // namespace

bool BuildShaderProgram(ShaderProgram* record, const char* vertexPath, const char* fragmentPath) {
    record->program = 0;
    if (!ReadSource(vertexPath, record->vertexSource) ||
        !ReadSource(fragmentPath, record->fragmentSource)) {
        return false;
    }
    record->vertexShader = glCreateShader(GL_VERTEX_SHADER);
    record->fragmentShader = glCreateShader(GL_FRAGMENT_SHADER);
    const GLchar* vertexText = record->vertexSource.c_str();
    const GLchar* fragmentText = record->fragmentSource.c_str();
    glShaderSource(record->vertexShader, 1, &vertexText, nullptr);
    glShaderSource(record->fragmentShader, 1, &fragmentText, nullptr);
    glCompileShader(record->vertexShader);
    glCompileShader(record->fragmentShader);
    bool compiled = Compiled(record->vertexShader, vertexPath);
    compiled = Compiled(record->fragmentShader, fragmentPath) && compiled;
    if (!compiled) {
        return false;
    }
    GLuint program = glCreateProgram();
    glAttachShader(program, record->vertexShader);
    glAttachShader(program, record->fragmentShader);
    glLinkProgram(program);
    if (!Linked(program, vertexPath, fragmentPath)) {
        return false;
    }
    record->program = program;
    return true;
}

bool LoadShaderPrograms() {
    if (!GlslEnabled) {
        return false;
    }
    DefaultProgram = new ShaderProgram;
    ShipInvProgram = new ShaderProgram;
    HeatProgram = new ShaderProgram;
    BuildShaderProgram(DefaultProgram, "shaders/default.qvs", "shaders/default.qfs");
    BuildShaderProgram(ShipInvProgram, "shaders/default.qvs", "shaders/shipinv.qfs");
    BuildShaderProgram(HeatProgram, "shaders/heat.qvs", "shaders/heat.qfs");
    return true;
}
