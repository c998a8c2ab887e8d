// The main menu's bottom right: the forged footer picture, the high score and the line that
// says the settings are not being saved, as they lie on the screen.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "render/BundleFile.h"
#include "render/Font.h"
#include "screens/MainMenu.h"
#include "settings/SettingsValues.h"
#include "tests/support/KeptSettings.h"
#include "tests/support/MenuScene.h"
#include "tests/support/TempFolder.h"

namespace {

// A rectangle in screen pixels, y counted from the bottom as GL counts.
struct Box {
    double left, bottom, right, top;
};

// Where the game's fixed 4:3 projection puts a point of the menu's depth, on a 4:3 picture
// of the given height.
double ScreenX(double x, double height) {
    return (1 + 1.3444432401894781 * x / -MenuDepth) * height * 4 / 3 / 2;
}
double ScreenY(double y, double height) {
    return (1 + 1.792590986919304 * y / -MenuDepth) * height / 2;
}

// The cells of the small font's grid that a line of text takes.
Box TextCells(uint32_t column, uint32_t row, size_t cells) {
    float width = FontCellWidth(2), height = FontCellHeight(2);
    return {column * width, row * height, (column + cells) * width, (row + 1) * height};
}

// How far apart two boxes are: 0 when they touch or overlap, else the larger of the gaps.
double Gap(const Box& a, const Box& b) {
    double across = std::max(a.left - b.right, b.left - a.right);
    double up = std::max(a.bottom - b.top, b.bottom - a.top);
    return std::max({across, up, 0.0});
}

// The screen boxes of the footer picture's inked pixels on a 4:3 picture of the given height.
std::vector<Box> FooterInk(double height) {
    std::vector<uint8_t> bytes;
    const std::string path = TestExecutableFolder() + "/base/tbundles/menu/menu1.qtb";
    FILE* file = std::fopen(path.c_str(), "rb");
    EXPECT_NE(file, nullptr) << path;
    if (file == nullptr) {
        return {};
    }
    EXPECT_TRUE(ReadWholeStream(file, bytes));
    std::fclose(file);
    BundleContents bundle;
    EXPECT_TRUE(ParseBundle(bytes.data(), bytes.size(), bundle));
    const BundleEntry* entry = FindBundleEntry(bundle.entries, "Disclaimer.tga");
    EXPECT_NE(entry, nullptr);
    if (entry == nullptr) {
        return {};
    }
    const MenuWidget footer = BuildMainMenuWidgets()[MainMenuDisclaimer];
    const double left = ScreenX(footer.corners[0], height);
    const double top = ScreenY(footer.corners[1], height);
    const double right = ScreenX(footer.corners[3], height);
    const double bottom = ScreenY(footer.corners[7], height);
    const double columns = entry->x1 - entry->x0, rows = entry->y1 - entry->y0;
    std::vector<Box> ink;
    for (uint32_t y = entry->y0; y < entry->y1; ++y) {  // bottom row first
        for (uint32_t x = entry->x0; x < entry->x1; ++x) {
            if (bundle.pixels[(static_cast<size_t>(y) * bundle.width + x) * 4 + 3] == 0) {
                continue;
            }
            double column = x - entry->x0, row = y - entry->y0;
            ink.push_back({left + (right - left) * column / columns,
                           bottom + (top - bottom) * row / rows,
                           left + (right - left) * (column + 1) / columns,
                           bottom + (top - bottom) * (row + 1) / rows});
        }
    }
    return ink;
}

}  // namespace

// The footer's text keeps more than 8 pixels clear of the high score's cells, a 7-digit record
// with its space included, and of the not-saved line's, and ends at least 16 pixels before the
// picture's right edge, on the 1024 x 768 picture and on the smaller one of a 1280 x 720
// screen; and there is text, three lines of it, across most of the footer.
TEST(MainMenuFooter, ItsTextKeepsClearOfTheHighScoreTheNotSavedLineAndTheRightEdge) {
    KeptSettings kept;
    MenuScene scene;
    for (int height : {768, 720}) {
        SCOPED_TRACE(height);
        ScreenWidth = height * 4 / 3;
        ScreenHeight = height;
        const double scale = height / 768.0;
        const Box highScore =
            TextCells(HighScoreLineColumn, HighScoreLineRow, std::strlen("High Score: 9999999"));
        const Box notSaved = TextCells(NotSavedLineColumn, NotSavedLineRow, NotSavedLineCells);
        std::vector<Box> ink = FooterInk(height);
        ASSERT_GT(ink.size(), 3000u) << "the footer shows its text";
        double nearestHighScore = 1e9, nearestNotSaved = 1e9, rightmost = 0, leftmost = 1e9;
        std::vector<bool> inkedRows(height, false);
        for (const Box& pixel : ink) {
            nearestHighScore = std::min(nearestHighScore, Gap(pixel, highScore));
            nearestNotSaved = std::min(nearestNotSaved, Gap(pixel, notSaved));
            rightmost = std::max(rightmost, pixel.right);
            leftmost = std::min(leftmost, pixel.left);
            inkedRows[static_cast<int>(pixel.bottom)] = true;
        }
        EXPECT_GT(nearestHighScore, 8 * scale);
        EXPECT_GT(nearestNotSaved, 8 * scale);
        EXPECT_LE(rightmost, ScreenWidth - 16);
        EXPECT_GT(rightmost - leftmost, ScreenWidth * 0.4) << "lines across the footer";
        int lines = 0;
        for (int row = 1; row < height; ++row) {
            lines += inkedRows[row] && !inkedRows[row - 1];
        }
        EXPECT_EQ(lines, 3);
    }
}

// A short reason shows whole; a long one loses its middle, so that its start (what went wrong)
// and its end (what is in the way) still show, and the line fills its cells exactly.
TEST(MainMenuFooter, TheNotSavedLineFitsItsCells) {
    EXPECT_EQ(NotSavedLine("~/.config/brindles-cataclysm is not a folder"),
              "Settings are not being saved: ~/.config/brindles-cataclysm is not a folder");
    EXPECT_EQ(
        NotSavedLine("~/.config/" + std::string(60, 'x') + "/brindles-cataclysm is not a folder"),
        "Settings are not being saved: ~/.config/xxxxxxxxxxxx...taclysm is not a folder");
    EXPECT_EQ(NotSavedLine("cannot make files in /media/" + std::string(80, 'x') +
                           ": Read-only file system"),
              "Settings are not being saved: cannot make files in /...: Read-only file system");
    const std::string fits(NotSavedLineCells - std::strlen("Settings are not being saved: "), 'y');
    EXPECT_EQ(NotSavedLine(fits).size(), NotSavedLineCells);
    EXPECT_EQ(NotSavedLine(fits).find("..."), std::string::npos);
}
