#include <gtest/gtest.h>

#include <vector>

#include "render/MenuPictures.h"
#include "screens/MainMenu.h"
#include "screens/MenuWidget.h"
#include "screens/OptionsMenu.h"
#include "settings/SettingsValues.h"
#include "tests/support/MenuScene.h"
#include "tests/support/RecordingGL.h"

namespace {

class MenuWidgets : public ::testing::Test {
protected:
    MenuScene scene;
};

}  // namespace

TEST_F(MenuWidgets, OnlyPointsStrictlyInsideAButtonAreOnIt) {
    const MenuWidget start = BuildMainMenuWidgets()[MainMenuStart];  // x -0.15..0.15, y 0.07..0.2
    const struct {
        float x, y;
        bool inside;
    } points[] = {{0.0f, 0.1f, true},   {-0.1499f, 0.0701f, true}, {-0.15f, 0.1f, false},
                  {0.15f, 0.1f, false}, {0.0f, 0.2f, false},       {0.0f, 0.07f, false},
                  {0.0f, -0.5f, false}};
    for (const auto& point : points) {
        EXPECT_EQ(MenuWidgetContains(start, point.x, point.y), point.inside)
            << point.x << ", " << point.y;
    }
    const MenuWidget ship = BuildOptionsWidgets()[OptionsShip];  // drawn mirrored: right < left
    EXPECT_TRUE(MenuWidgetContains(ship, 0.5f, 0.0f));
    EXPECT_FALSE(MenuWidgetContains(ship, 0.7f, 0.0f));
}

TEST_F(MenuWidgets, PointerFollowsTheMouseAndStaysInsideItsRectangle) {
    MoveMenuPointer(MouseRecord{50, 100, 0, {}});
    EXPECT_FLOAT_EQ(MenuPointer.x, 0.1f);
    EXPECT_FLOAT_EQ(MenuPointer.y, -0.2f) << "moving the mouse down moves the pointer down";
    MoveMenuPointer(MouseRecord{1000000, -1000000, 0, {}});
    EXPECT_EQ(MenuPointer.x, MenuPointerLimitX);
    EXPECT_EQ(MenuPointer.y, MenuPointerLimitY);
    MoveMenuPointer(MouseRecord{-2147483647, 2147483647, 0, {}});
    EXPECT_EQ(MenuPointer.x, -MenuPointerLimitX);
    EXPECT_EQ(MenuPointer.y, -MenuPointerLimitY);
    MoveMenuPointer(MouseRecord{1, 0, 0, {}});
    EXPECT_FLOAT_EQ(MenuPointer.x, -0.741f) << "one pixel back in at once";
}

TEST_F(MenuWidgets, OptionButtonsShowTheCurrentValues) {
    GlslChoice = true;
    SoundEnabled = false;
    Brightness = 1;
    std::vector<bool> visible;
    for (const MenuWidget& widget : BuildOptionsWidgets()) {
        visible.push_back(widget.visible);
    }
    EXPECT_EQ(visible, (std::vector<bool>{true, true, true, true, true, false, true, false, true,
                                          true, false, true, false, true}));
}

TEST_F(MenuWidgets, WidgetDrawsItsCornersWithItsPictureAndNothingWhenHidden) {
    MenuWidget widget =
        MakeButtonWidget(MenuPicture::OKNormal, MenuPicture::OKActive, 0.4f, -0.4f, 0.6f, -0.5f);
    widget.region = widget.activeRegion;
    DrawMenuWidget(widget);
    ASSERT_EQ(RecordingGL::ElementDraws().size(), 1u);
    const RecordingGL::DrawnElements& drawn = RecordingGL::ElementDraws()[0];
    EXPECT_EQ(drawn.positions,
              (std::vector<float>{0.4f, -0.4f, -1, 0.6f, -0.4f, -1, 0.4f, -0.5f, -1, 0.4f, -0.5f,
                                  -1, 0.6f, -0.4f, -1, 0.6f, -0.5f, -1}))
        << "two triangles over top-left, top-right, bottom-left and bottom-right";
    EXPECT_EQ(drawn.texCoordArray, MenuRegion(MenuPicture::OKActive).corners);
    EXPECT_EQ(RecordingGL::CallsTo("glDrawElements")[0].args[0], GL_TRIANGLES);
    std::vector<RecordedCall> binds = RecordingGL::CallsTo("glBindTexture");
    ASSERT_EQ(binds.size(), 1u);
    EXPECT_EQ(binds[0].args[1], MenuBundles[0]->textureId);

    RecordingGL::ClearCalls();
    widget.visible = false;
    DrawMenuWidget(widget);
    EXPECT_TRUE(RecordingGL::Calls().empty());
}
