#pragma once
#include "render/GLEntryPoints.h"
#include "world/BaseObject.h"

class Targa;
struct ShaderProgram;

// The drawing steps the play-field objects share. Every sprite is two triangles with the texture
// coordinate given before each vertex, in one of two corner orders.

// Model-view from the identity: translated to the position, turned by the angle about z.
void PlaceSprite(Vec3 position, float angle);

// Blending for sprites with alpha: enabled, with source alpha over one minus source alpha.
void EnableSpriteBlending();

// Binds the texture when it exists.
void BindTexture(const Targa* texture);

// True when this draw takes the shader path: the setting is on and the program was built.
// A program that failed to build sends its draws down the fixed-function path.
bool UsesShaderPath(const ShaderProgram* program);

// Sets the four uniforms of a lit sprite: the colour texture on unit 0, the normal map on unit 1,
// a light circling at lightDistance with the sprite's own rotation, and the specular factor.
void SetLitSpriteUniforms(GLuint program, float angleDegrees, double lightDistance,
                          float specularFactor);

// Corners in the order top-left, top-right, bottom-right, bottom-right, bottom-left, top-left,
// around (x, y) at depth z; t is 0 at the top unless tOneAtTop.
void DrawCornerQuad(float x, float y, float halfSize, float z, bool tOneAtTop);

// Corners in the order top-left, top-right, bottom-left, bottom-left, top-right, bottom-right.
void DrawStripQuad(float x, float y, float halfSize, float z, bool tOneAtTop);

// Selects each texture unit from `highest` down to 0 and switches texturing off on it, leaving
// unit 0 active.
void DisableTextureUnitsDownFrom(int highest);
