#include "render/Font.h"

#include <cstring>
#include <string>

#include "settings/SettingsValues.h"

FontListsRecord FontLists;
Font* LargeFont = nullptr;
Font* SmallFont = nullptr;

namespace {

constexpr int GlyphCount = 256;
constexpr int GridSide = 16;
constexpr float GlyphSpan = 1.0f / GridSide;  // one cell of the image in texture units
constexpr unsigned char FirstCode = 32;       // the code drawn by the top-left glyph

// Cells per screen width and height for sizes 1, 2 and 3.
constexpr float CellsAcross[4] = {0, 40, 80, 160};
constexpr float CellsUp[4] = {0, 30, 60, 120};

void BuildGlyphLists(int32_t size) {
    GLuint base = glGenLists(GlyphCount);
    FontLists.glyphListBase[size] = base;
    float cellWidth = FontCellWidth(size);
    float cellHeight = FontCellHeight(size);
    for (int glyph = 0; glyph < GlyphCount; ++glyph) {
        float left = static_cast<float>(glyph % GridSide) * GlyphSpan;
        float right = left + GlyphSpan;
        float top = 1.0f - static_cast<float>(glyph / GridSide) * GlyphSpan;
        float bottom = top - GlyphSpan;
        glNewList(base + glyph, GL_COMPILE);
        glBegin(GL_TRIANGLES);
        glTexCoord2f(left, bottom);
        glVertex2f(0, 0);
        glTexCoord2f(left, top);
        glVertex2f(0, cellHeight);
        glTexCoord2f(right, bottom);
        glVertex2f(cellWidth, 0);
        glTexCoord2f(right, bottom);
        glVertex2f(cellWidth, 0);
        glTexCoord2f(left, top);
        glVertex2f(0, cellHeight);
        glTexCoord2f(right, top);
        glVertex2f(cellWidth, cellHeight);
        glEnd();
        glTranslated(cellWidth, 0, 0);
        glEndList();
    }
}

}  // namespace

float FontCellWidth(int32_t size) {
    return static_cast<float>(ScreenWidth) / CellsAcross[size];
}

float FontCellHeight(int32_t size) {
    return static_cast<float>(ScreenHeight) / CellsUp[size];
}

void Font::Init(int32_t size) {
    this->size = size;
    image.Load(FontImagePath, FontImageMipmapped);
    image.Bind();
    if (!FontLists.listsBuilt) {
        for (int32_t s = 1; s <= 3; ++s) {
            BuildGlyphLists(s);
        }
        FontLists.listsBuilt = true;
    }
    ++FontLists.fontCount;
}

Font::~Font() {
    if (size == 0) {
        return;  // never initialised, never counted
    }
    if (--FontLists.fontCount == 0 && FontLists.listsBuilt) {
        for (int32_t s = 1; s <= 3; ++s) {
            glDeleteLists(FontLists.glyphListBase[s], GlyphCount);
            FontLists.glyphListBase[s] = 0;
        }
        FontLists.listsBuilt = false;
    }
}

void Font::DrawText(uint32_t x, uint32_t y, const char* text) {
    // Codes below the space have no glyph of their own; they draw the blank space cell.
    std::string cells(text);
    for (char& c : cells) {
        if (static_cast<unsigned char>(c) < FirstCode) {
            c = static_cast<char>(FirstCode);
        }
    }
    image.Bind();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glDisable(GL_DEPTH_TEST);
    glDepthMask(GL_FALSE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, ScreenWidth, 0, ScreenHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(FontCellWidth(size) * static_cast<float>(x),
                 FontCellHeight(size) * static_cast<float>(y), 0);
    glListBase(FontLists.glyphListBase[size] - FirstCode);
    glCallLists(static_cast<GLsizei>(cells.size()), GL_UNSIGNED_BYTE, cells.data());
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glDepthMask(GL_TRUE);
    glEnable(GL_DEPTH_TEST);
}
