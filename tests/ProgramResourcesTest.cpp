#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "app/Clock.h"
#include "app/Program.h"
#include "audio/OggVorbis.h"
#include "game/GameRecord.h"
#include "render/Font.h"
#include "settings/SettingsValues.h"
#include "tests/support/DrivenTime.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/RecordingGL.h"
#include "tests/support/TempAssetRoot.h"

namespace {

std::vector<std::string> OpenedFiles;

void RecordingOpener(const char* name, const char* mode, FILE** out) {
    OpenedFiles.push_back(name);
    OpenAssetFile(name, mode, out);
}

}  // namespace

TEST(GameResources, AreMadeInStartUpOrderAndAllReleased) {
    DrivenTime time;
    TempAssetRoot assets;
    RecordingGL::Install();
    RecordingAL::Install();
    FileOpenHook = RecordingOpener;
    OpenedFiles.clear();
    HighScore = 777;
    GlobalClock = CreateClock();
    Clock* clock = GlobalClock;

    CreateGameResources();
    EXPECT_EQ(OpenedFiles, (std::vector<std::string>{GameMusicPath, FontImagePath, FontImagePath}))
        << "the in-game music, then the large font and the small one";
    ASSERT_TRUE(GameMusic != nullptr && GameSession != nullptr && LargeFont != nullptr &&
                SmallFont != nullptr);
    EXPECT_EQ(GameSession->clock, clock);
    EXPECT_EQ(LargeFont->size, 1);
    EXPECT_EQ(SmallFont->size, 2);
    EXPECT_GT(LevelTable[0].asteroidCount, 0);
    EXPECT_STREQ(HighScoreText, "High Score:777");

    RecordingGL::ClearCalls();
    ReleaseGameResources();
    EXPECT_TRUE(GameMusic == nullptr && GameSession == nullptr && LargeFont == nullptr &&
                SmallFont == nullptr && GlobalClock == nullptr);
    EXPECT_EQ(RecordingGL::CallsTo("glDeleteLists").size(), 3u)
        << "the last font takes the glyph lists of all three sizes with it";
    RecordingAL::Uninstall();
    RecordingGL::Uninstall();
}
