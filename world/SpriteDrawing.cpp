#include "world/SpriteDrawing.h"

#include <cmath>

#include "render/ShaderProgram.h"
#include "render/Targa.h"
#include "settings/SettingsValues.h"

void PlaceSprite(Vec3 position, float angle) {
    glLoadIdentity();
    glTranslatef(position.x, position.y, position.z);
    glRotatef(angle, 0.0f, 0.0f, 1.0f);
}

void EnableSpriteBlending() {
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
}

void BindTexture(const Targa* texture) {
    if (texture != nullptr) {
        texture->Bind();
    }
}

bool UsesShaderPath(const ShaderProgram* program) {
    return GlslEnabled && program != nullptr && program->Usable();
}

void SetLitSpriteUniforms(GLuint program, float angleDegrees, double lightDistance,
                          float specularFactor) {
    GLint texture0 = glGetUniformLocation(program, ShaderUniforms::Texture0.name);
    GLint texture1 = glGetUniformLocation(program, ShaderUniforms::Texture1.name);
    GLint lightPosition = glGetUniformLocation(program, ShaderUniforms::LightPosition.name);
    GLint specular = glGetUniformLocation(program, ShaderUniforms::SpecularFactor.name);
    double angle = angleDegrees * DegreesToRadians;
    glUniform1i(texture0, 0);
    glUniform1i(texture1, 1);
    glUniform3f(lightPosition, static_cast<float>(std::cos(angle) * lightDistance),
                static_cast<float>(std::sin(angle) * lightDistance), 0.35f);
    glUniform1f(specular, specularFactor);
}

namespace {

struct Corner {
    float s;
    float t;
    float x;
    float y;
};

void DrawCorners(const Corner (&corners)[6], float x, float y, float halfSize, float z,
                 bool tOneAtTop) {
    glBegin(GL_TRIANGLES);
    for (const Corner& corner : corners) {
        glTexCoord2f(corner.s, tOneAtTop ? 1.0f - corner.t : corner.t);
        glVertex3f(x + corner.x * halfSize, y + corner.y * halfSize, z);
    }
    glEnd();
}

// Corners with t = 0 at the top; positions in units of the half-size.
constexpr Corner CornerOrder[6] = {{0, 0, -1, 1}, {1, 0, 1, 1},   {1, 1, 1, -1},
                                   {1, 1, 1, -1}, {0, 1, -1, -1}, {0, 0, -1, 1}};
constexpr Corner StripOrder[6] = {{0, 0, -1, 1},  {1, 0, 1, 1}, {0, 1, -1, -1},
                                  {0, 1, -1, -1}, {1, 0, 1, 1}, {1, 1, 1, -1}};

}  // namespace

void DrawCornerQuad(float x, float y, float halfSize, float z, bool tOneAtTop) {
    DrawCorners(CornerOrder, x, y, halfSize, z, tOneAtTop);
}

void DrawStripQuad(float x, float y, float halfSize, float z, bool tOneAtTop) {
    DrawCorners(StripOrder, x, y, halfSize, z, tOneAtTop);
}

void DisableTextureUnitsDownFrom(int highest) {
    for (int unit = highest; unit >= 0; --unit) {
        glActiveTexture(GL_TEXTURE0 + unit);
        glDisable(GL_TEXTURE_2D);
    }
}
