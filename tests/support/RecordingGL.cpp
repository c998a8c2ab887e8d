#include "tests/support/RecordingGL.h"

#include <algorithm>
#include <cstring>

namespace RecordingGL {
namespace {

struct Log {
    static std::vector<RecordedCall>& Calls() {
        static std::vector<RecordedCall> calls;
        return calls;
    }
};

GLuint NextName = 1;
GLuint BoundTexture = 0;  // the name of the last glBindTexture
std::vector<TextureUpload> Uploads;
bool KeepBytes = false;
GLint CompileStatus = GL_TRUE;
GLint LinkStatus = GL_TRUE;
std::string InfoLog;
GLuint ListBase = 0;
std::vector<std::vector<GLuint>> ListsCalled;

// A client array as the last glVertexPointer or glTexCoordPointer set it.
struct ClientArray {
    GLint size = 0;
    GLenum type = 0;
    GLsizei stride = 0;
    const void* pointer = nullptr;
};
ClientArray VertexArray;
ClientArray TexCoordArray;
std::vector<DrawnElements> Drawn;

void APIENTRY GenTextures(GLsizei count, GLuint* names) {
    Record<Log>("glGenTextures", count);
    for (GLsizei i = 0; i < count; ++i) {
        names[i] = NextName++;
    }
}

void APIENTRY BindTextureCall(GLenum target, GLuint texture) {
    Record<Log>("glBindTexture", target, texture);
    BoundTexture = texture;
}

GLuint APIENTRY GenLists(GLsizei range) {
    Record<Log>("glGenLists", range);
    GLuint base = NextName;
    NextName += static_cast<GLuint>(range);
    return base;
}

GLuint APIENTRY CreateShader(GLenum type) {
    Record<Log>("glCreateShader", type);
    return NextName++;
}

GLuint APIENTRY CreateProgram() {
    Record<Log>("glCreateProgram");
    return NextName++;
}

// What glGetShaderiv and glGetProgramiv answer: the status set for the one they own, the info
// log's length with its terminating zero, and 0 for anything else.
GLint StatusAnswer(GLenum name, GLenum statusName, GLint status) {
    if (name == statusName) {
        return status;
    }
    return name == GL_INFO_LOG_LENGTH ? static_cast<GLint>(InfoLog.size() + 1) : 0;
}

void APIENTRY GetShaderiv(GLuint shader, GLenum name, GLint* value) {
    Record<Log>("glGetShaderiv", shader, name);
    *value = StatusAnswer(name, GL_COMPILE_STATUS, CompileStatus);
}

void APIENTRY GetProgramiv(GLuint program, GLenum name, GLint* value) {
    Record<Log>("glGetProgramiv", program, name);
    *value = StatusAnswer(name, GL_LINK_STATUS, LinkStatus);
}

std::vector<Uniform> Uniforms;  // location n + 1 is Uniforms[n]

GLint APIENTRY GetUniformLocation(GLuint program, const GLchar* name) {
    Record<Log>("glGetUniformLocation", program);
    Uniform asked{program, name};
    auto found = std::find_if(Uniforms.begin(), Uniforms.end(), [&](const Uniform& known) {
        return known.program == asked.program && known.name == asked.name;
    });
    if (found == Uniforms.end()) {
        found = Uniforms.insert(Uniforms.end(), asked);
    }
    return static_cast<GLint>(found - Uniforms.begin()) + 1;
}

// glGetShaderInfoLog and glGetProgramInfoLog alike: the info log, cut to the capacity.
void APIENTRY GetInfoLog(GLuint, GLsizei capacity, GLsizei* length, GLchar* log) {
    GLsizei copied = 0;
    if (capacity > 0) {
        copied = static_cast<GLsizei>(std::min<size_t>(InfoLog.size(), capacity - 1));
        std::memcpy(log, InfoLog.data(), copied);
        log[copied] = '\0';
    }
    if (length != nullptr) {
        *length = copied;
    }
}

size_t BytesPerPixel(GLenum format) {
    bool rgb = format == GL_RGB || format == GL_BGR;
    return format == GL_RGBA || format == GL_BGRA ? 4 : rgb ? 3 : 1;
}

void APIENTRY TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width,
                         GLsizei height, GLint border, GLenum format, GLenum type,
                         const void* pixels) {
    Record<Log>("glTexImage2D", target, level, internalFormat, width, height, border, format, type,
                pixels);
    TextureUpload upload{level, internalFormat, width, height, format, BoundTexture, {}};
    if (KeepBytes && pixels != nullptr) {
        const uint8_t* bytes = static_cast<const uint8_t*>(pixels);
        upload.bytes.assign(bytes,
                            bytes + static_cast<size_t>(width) * height * BytesPerPixel(format));
    }
    Uploads.push_back(std::move(upload));
}

void APIENTRY ListBaseCall(GLuint base) {
    Record<Log>("glListBase", base);
    ListBase = base;
}

void APIENTRY CallLists(GLsizei count, GLenum type, const void* names) {
    Record<Log>("glCallLists", count, type, names);
    std::vector<GLuint> lists;
    if (type == GL_UNSIGNED_BYTE) {
        const uint8_t* bytes = static_cast<const uint8_t*>(names);
        for (GLsizei i = 0; i < count; ++i) {
            lists.push_back(ListBase + bytes[i]);
        }
    }
    ListsCalled.push_back(lists);
}

void RecordArray(const char* name, ClientArray& array, GLint size, GLenum type, GLsizei stride,
                 const void* pointer) {
    Record<Log>(name, size, type, stride, pointer);
    array = ClientArray{size, type, stride, pointer};
}

void APIENTRY VertexPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    RecordArray("glVertexPointer", VertexArray, size, type, stride, pointer);
}

void APIENTRY TexCoordPointer(GLint size, GLenum type, GLsizei stride, const void* pointer) {
    RecordArray("glTexCoordPointer", TexCoordArray, size, type, stride, pointer);
}

// Appends the floats of one element of a float client array.
void AppendElement(const ClientArray& array, GLuint index, std::vector<float>& out) {
    if (array.pointer == nullptr || array.type != GL_FLOAT) {
        return;
    }
    size_t stride = array.stride != 0 ? static_cast<size_t>(array.stride)
                                      : static_cast<size_t>(array.size) * sizeof(float);
    const float* element =
        reinterpret_cast<const float*>(static_cast<const uint8_t*>(array.pointer) + stride * index);
    out.insert(out.end(), element, element + array.size);
}

void APIENTRY DrawElements(GLenum mode, GLsizei count, GLenum type, const void* indices) {
    Record<Log>("glDrawElements", mode, count, type, indices);
    DrawnElements drawn;
    drawn.texCoordArray = TexCoordArray.pointer;
    if (type == GL_UNSIGNED_BYTE && indices != nullptr) {
        const uint8_t* bytes = static_cast<const uint8_t*>(indices);
        for (GLsizei i = 0; i < count; ++i) {
            AppendElement(VertexArray, bytes[i], drawn.positions);
            AppendElement(TexCoordArray, bytes[i], drawn.texCoords);
        }
    }
    Drawn.push_back(std::move(drawn));
}

}  // namespace

std::vector<RecordedCall>& Calls() {
    return Log::Calls();
}

std::vector<TextureUpload>& TextureUploads() {
    return Uploads;
}

void KeepTextureBytes(bool keep) {
    KeepBytes = keep;
}

std::vector<DrawnElements>& ElementDraws() {
    return Drawn;
}

std::vector<std::vector<GLuint>>& CalledLists() {
    return ListsCalled;
}

Uniform UniformAt(GLint location) {
    if (location < 1 || static_cast<size_t>(location) > Uniforms.size()) {
        return Uniform{};
    }
    return Uniforms[static_cast<size_t>(location) - 1];
}

void SetBuildAnswers(GLint compileStatus, GLint linkStatus, const std::string& log) {
    CompileStatus = compileStatus;
    LinkStatus = linkStatus;
    InfoLog = log;
}

void ClearCalls() {
    Log::Calls().clear();
    Uploads.clear();
    ListsCalled.clear();
    Drawn.clear();
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
    PublishedGLCore.glBindTexture = BindTextureCall;
    PublishedGLLegacy.glGenLists = GenLists;
    PublishedGLCore.glCreateShader = CreateShader;
    PublishedGLCore.glCreateProgram = CreateProgram;
    PublishedGLCore.glGetShaderiv = GetShaderiv;
    PublishedGLCore.glGetProgramiv = GetProgramiv;
    PublishedGLCore.glGetUniformLocation = GetUniformLocation;
    PublishedGLCore.glGetShaderInfoLog = GetInfoLog;
    PublishedGLCore.glGetProgramInfoLog = GetInfoLog;
    PublishedGLCore.glTexImage2D = TexImage2D;
    PublishedGLLegacy.glListBase = ListBaseCall;
    PublishedGLLegacy.glCallLists = CallLists;
    PublishedGLLegacy.glVertexPointer = VertexPointer;
    PublishedGLLegacy.glTexCoordPointer = TexCoordPointer;
    PublishedGLCore.glDrawElements = DrawElements;
    VertexArray = ClientArray{};
    TexCoordArray = ClientArray{};
    ListBase = 0;
    NextName = 1;
    BoundTexture = 0;
    KeepBytes = false;
    SetBuildAnswers(GL_TRUE, GL_TRUE, "");
    Uniforms.clear();
    ClearCalls();
}

void Uninstall() {
    ClearPublishedGLEntryPoints();
}

}  // namespace RecordingGL
