#include "render/ShaderProgram.h"

#include <cctype>
#include <cstdio>
#include <vector>

#include "app/AssetFiles.h"
#include "settings/SettingsValues.h"

ShaderProgram* DefaultProgram = nullptr;
ShaderProgram* ShipInvProgram = nullptr;
ShaderProgram* HeatProgram = nullptr;

const ShaderProgramSource ShaderProgramSources[ShaderProgramCount] = {
    {"DefaultProgram",
     &DefaultProgram,
     "shaders/default.qvs",
     "shaders/default.qfs",
     {ShaderUniforms::Texture0, ShaderUniforms::Texture1, ShaderUniforms::LightPosition,
      ShaderUniforms::SpecularFactor}},
    {"ShipInvProgram",
     &ShipInvProgram,
     "shaders/default.qvs",
     "shaders/shipinv.qfs",
     {ShaderUniforms::Texture0, ShaderUniforms::Texture1, ShaderUniforms::LightPosition,
      ShaderUniforms::SpecularFactor, ShaderUniforms::Texture2, ShaderUniforms::NoiseOffset}},
    {"HeatProgram",
     &HeatProgram,
     "shaders/heat.qvs",
     "shaders/heat.qfs",
     {ShaderUniforms::Flame, ShaderUniforms::FlameAlpha, ShaderUniforms::ParticleAlpha}},
};

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

namespace {

// The words and marks of GLSL text, without comments and preprocessor lines.
std::vector<std::string> GlslTokens(const std::string& source) {
    std::vector<std::string> tokens;
    size_t at = 0;
    bool lineStart = true;
    while (at < source.size()) {
        char c = source[at];
        if (source.compare(at, 2, "//") == 0 || (lineStart && c == '#')) {
            at = source.find('\n', at);
            continue;  // npos ends the loop
        }
        if (source.compare(at, 2, "/*") == 0) {
            size_t end = source.find("*/", at + 2);
            at = end == std::string::npos ? end : end + 2;
            continue;
        }
        if (c == '\n') {
            lineStart = true;
            ++at;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c))) {
            ++at;
            continue;
        }
        lineStart = false;
        size_t end = at + 1;
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_') {
            while (end < source.size() &&
                   (std::isalnum(static_cast<unsigned char>(source[end])) || source[end] == '_')) {
                ++end;
            }
        }
        tokens.push_back(source.substr(at, end - at));
        at = end;
    }
    return tokens;
}

bool IsPrecision(const std::string& token) {
    return token == "lowp" || token == "mediump" || token == "highp";
}

}  // namespace

bool ShaderSourceDeclares(const std::string& source, const ShaderUniform& uniform) {
    std::vector<std::string> tokens = GlslTokens(source);
    for (size_t i = 0; i < tokens.size(); ++i) {
        if (tokens[i] != "uniform") {
            continue;
        }
        size_t type = i + 1;
        while (type < tokens.size() && IsPrecision(tokens[type])) {
            ++type;
        }
        if (type >= tokens.size() || tokens[type] != uniform.glslType) {
            continue;
        }
        // Names follow, separated by commas; an array's brackets are skipped.
        int depth = 0;
        bool expectName = true;
        for (size_t at = type + 1; at < tokens.size() && tokens[at] != ";"; ++at) {
            const std::string& token = tokens[at];
            if (token == "[") {
                ++depth;
            } else if (token == "]") {
                --depth;
            } else if (depth == 0 && token == ",") {
                expectName = true;
            } else if (depth == 0 && expectName) {
                if (token == uniform.name) {
                    return true;
                }
                expectName = false;
            }
        }
    }
    return false;
}

bool LoadShaderPrograms() {
    if (!GlslEnabled) {
        return false;
    }
    for (const ShaderProgramSource& source : ShaderProgramSources) {
        *source.handle = new ShaderProgram;
    }
    for (const ShaderProgramSource& source : ShaderProgramSources) {
        BuildShaderProgram(*source.handle, source.vertexPath, source.fragmentPath);
    }
    return true;
}
