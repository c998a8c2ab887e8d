#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "render/Font.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempFolder.h"

namespace {

class FontDrawing : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingGL::Install();
        ScreenWidth = 1024;  // cells of 25.6 x 20 for size 1: width and height differ
        ScreenHeight = 600;
    }
    void TearDown() override { RecordingGL::Uninstall(); }

    // The calls recorded inside the display list `list`.
    std::vector<RecordedCall> ListContents(GLuint list) {
        std::vector<RecordedCall> contents;
        bool inside = false;
        for (const RecordedCall& call : RecordingGL::Calls()) {
            if (call.name == "glNewList") {
                inside = call.args[0] == list;
            } else if (call.name == "glEndList") {
                inside = false;
            } else if (inside) {
                contents.push_back(call);
            }
        }
        return contents;
    }

    KeptSettings kept;
    TempAssetRoot assets;  // no font image: text draws untextured, lists are built all the same
};

}  // namespace

TEST_F(FontDrawing, GlyphListsCoverTheirCellOfTheImage) {
    Font font;
    font.Init(1);
    // "A" is code 65, glyph 33: column 1, row 2 from the top. Each glyph moves the pen one cell.
    const double left = 1 / 16.0, right = 2 / 16.0, top = 1 - 2 / 16.0, bottom = top - 1 / 16.0;
    const double w = 25.6f, h = 20;
    const double corners[6][4] = {{left, bottom, 0, 0},  {left, top, 0, h}, {right, bottom, w, 0},
                                  {right, bottom, w, 0}, {left, top, 0, h}, {right, top, w, h}};
    std::vector<RecordedCall> a = {{"glBegin", {GL_TRIANGLES}}};
    for (const auto& c : corners) {
        a.push_back({"glTexCoord2f", {c[0], c[1]}});
        a.push_back({"glVertex2f", {c[2], c[3]}});
    }
    a.push_back({"glEnd", {}});
    a.push_back({"glTranslated", {w, 0, 0}});
    EXPECT_EQ(ListContents(FontLists.glyphListBase[1] + 33), a);
    EXPECT_FLOAT_EQ(ListContents(FontLists.glyphListBase[2])[14].args[0], w / 2)
        << "size 2 cells are half as wide";
}

TEST_F(FontDrawing, DrawTextSetsItsStateAndCallsOneListPerByte) {
    Font font;
    font.Init(2);
    RecordingGL::ClearCalls();
    font.DrawText(3, 5, "Hi\x01\n!");
    EXPECT_EQ(RecordingGL::CallNames(),
              (std::vector<std::string>{
                  "glEnable",     "glBindTexture", "glTexParameteri", "glTexParameterf",
                  "glEnable",     "glBlendFunc",   "glDisable",       "glDepthMask",
                  "glMatrixMode", "glPushMatrix",  "glLoadIdentity",  "glOrtho",
                  "glMatrixMode", "glPushMatrix",  "glLoadIdentity",  "glTranslated",
                  "glListBase",   "glCallLists",   "glMatrixMode",    "glPopMatrix",
                  "glMatrixMode", "glPopMatrix",   "glDepthMask",     "glEnable"}));
    EXPECT_EQ(RecordingGL::CallsTo("glBlendFunc")[0].args,
              (std::vector<double>{GL_SRC_ALPHA, GL_ONE}));
    EXPECT_EQ(RecordingGL::CallsTo("glOrtho")[0].args,
              (std::vector<double>{0, 1024, 0, 600, -1, 1}));
    std::vector<double> pen = RecordingGL::CallsTo("glTranslated")[0].args;
    EXPECT_FLOAT_EQ(pen[0], 3 * 12.8f);
    EXPECT_FLOAT_EQ(pen[1], 5 * 10.0f);
    GLuint base = FontLists.glyphListBase[2];
    // Control codes draw the blank space glyph, the first of the set.
    EXPECT_EQ(RecordingGL::CalledLists(),
              (std::vector<std::vector<GLuint>>{
                  {base + 'H' - 32, base + 'i' - 32, base, base, base + 1}}));
}
