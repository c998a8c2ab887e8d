#pragma once

// A textured rectangle facing the camera, as the presentation screens and the menu pointer draw
// it: corners in the current modelview space and the part of the bound texture they show.
struct PictureQuad {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
    float z = 0.0f;
    float uLeft = 0.0f;
    float uRight = 1.0f;
    float vBottom = 0.0f;
    float vTop = 1.0f;
};

// Draws the quad as two immediate-mode triangles with the vertices (left, top), (right, top),
// (left, bottom), (left, bottom), (right, top), (right, bottom), each after its texture
// coordinate, in the current colour and with the texture that is bound.
void DrawPictureQuad(const PictureQuad& quad);
