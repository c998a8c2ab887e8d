#include "screens/PictureQuad.h"

#include "render/GLEntryPoints.h"

void DrawPictureQuad(const PictureQuad& q) {
    glBegin(GL_TRIANGLES);
    glTexCoord2f(q.uLeft, q.vTop);
    glVertex3f(q.left, q.top, q.z);
    glTexCoord2f(q.uRight, q.vTop);
    glVertex3f(q.right, q.top, q.z);
    glTexCoord2f(q.uLeft, q.vBottom);
    glVertex3f(q.left, q.bottom, q.z);
    glTexCoord2f(q.uLeft, q.vBottom);
    glVertex3f(q.left, q.bottom, q.z);
    glTexCoord2f(q.uRight, q.vTop);
    glVertex3f(q.right, q.top, q.z);
    glTexCoord2f(q.uRight, q.vBottom);
    glVertex3f(q.right, q.bottom, q.z);
    glEnd();
}
