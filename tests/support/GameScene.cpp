#include "tests/support/GameScene.h"

#include <algorithm>
#include <cstring>

#include "app/AssetFiles.h"
#include "app/Clock.h"
#include "audio/OggVorbis.h"
#include "audio/ShipSounds.h"
#include "game/LevelScreens.h"
#include "render/AssetCatalogue.h"
#include "render/Font.h"
#include "settings/SettingsValues.h"
#include "tests/support/RecordingAL.h"
#include "tests/support/RecordingGL.h"
#include "tools/forge/SoundEncoding.h"

namespace {

// A one-pixel 24-bit Targa picture whose width tells it apart.
std::vector<uint8_t> TinyTarga(uint8_t width) {
    std::vector<uint8_t> file(18, 0);
    file[2] = 2;  // uncompressed true colour
    file[12] = width;
    file[14] = 1;
    file[16] = 24;
    file.resize(file.size() + 3u * width, 128);
    return file;
}

}  // namespace

std::string TextOf(const std::vector<GLuint>& lists) {
    std::string text;
    for (GLuint list : lists) {
        for (int size = 1; size <= 3; ++size) {
            GLuint base = FontLists.glyphListBase[size];
            if (list >= base && list < base + 256) {
                text += static_cast<char>(list - base + ' ');
            }
        }
    }
    return text;
}

GameScene::GameScene(double frameMilliseconds)
    : driver(frameMilliseconds), savedSession(GameSession) {
    RecordingGL::Install();
    RecordingAL::Install();
    SoundEnabled = true;
    for (int clip = 0; clip < 3; ++clip) {
        int16_t level = static_cast<int16_t>(100 * (clip + 1));
        assets.Write(ShipClips[clip], EncodeWave(std::vector<int16_t>(64, level), 1, 22050));
    }
    LoadShipSounds();
    // The game music has no stream: its thread would call the recording AL beside the game's.
    GameMusic = new OggVorbis;
    assets.Write(GameOverPicturePath, TinyTarga(1));
    assets.Write(GameWinPicturePath, TinyTarga(2));

    const std::map<const Targa* const*, std::string> screens = {
        {&Catalogue.background, "level"},   {&Catalogue.start, "banner"},
        {&Catalogue.summary, "summary"},    {&Catalogue.storyFrame1, "story"},
        {&Catalogue.storyFrame2, "flight"}, {&Catalogue.credits, "credits"},
    };
    for (int i = 0; i < CatalogueTextureCount; ++i) {
        Targa*& texture = *CatalogueTextures[i].handle;
        texture = new Targa;
        texture->textureId = static_cast<GLuint>(FirstCatalogueName + i);
        auto screen = screens.find(CatalogueTextures[i].handle);
        if (screen != screens.end()) {
            screenOfTexture[texture->textureId] = screen->second;
        }
    }

    SetUpLevelTable();
    GameSession = &session;
    GlobalClock = CreateClock();
    LargeFont = new Font;
    LargeFont->Init(1);
    RecordingGL::ClearCalls();
    driver.afterSwap = [this](int frame) {
        LogFrame();
        if (step) {
            step(frame);
        }
    };
}

GameScene::~GameScene() {
    delete LargeFont;
    LargeFont = nullptr;
    delete GlobalClock;
    GlobalClock = nullptr;
    for (const CatalogueTexture& row : CatalogueTextures) {
        delete *row.handle;
        *row.handle = nullptr;
    }
    delete GameMusic;
    GameMusic = nullptr;
    FreeShipSounds();
    RecordingAL::Uninstall();
    RecordingGL::Uninstall();
    GameSession = savedSession;
}

void GameScene::LogFrame() {
    for (const RecordingGL::TextureUpload& upload : RecordingGL::TextureUploads()) {
        screenOfTexture[upload.texture] = upload.width == 1 ? "game over" : "game win";
    }
    ShownFrame shown;
    shown.seconds = static_cast<double>(DrivenTime::Counter) / DrivenTime::Frequency;
    for (const RecordedCall& call : RecordingGL::CallsTo("glBindTexture")) {
        auto screen = screenOfTexture.find(call.args[1]);
        if (screen != screenOfTexture.end()) {
            shown.screen = screen->second;
            break;
        }
    }
    for (const std::vector<GLuint>& lists : RecordingGL::CalledLists()) {
        shown.texts.push_back(TextOf(lists));
    }
    if (keepCalls) {
        shown.calls = RecordingGL::Calls();
    }
    frames.push_back(std::move(shown));
    RecordingGL::ClearCalls();
}

std::vector<std::string> GameScene::ScreenSequence() const {
    std::vector<std::string> sequence;
    for (const ShownFrame& frame : frames) {
        if (sequence.empty() || sequence.back() != frame.screen) {
            sequence.push_back(frame.screen);
        }
    }
    return sequence;
}

int GameScene::FirstFrameDrawing(const std::string& text) const {
    for (size_t i = 0; i < frames.size(); ++i) {
        if (std::find(frames[i].texts.begin(), frames[i].texts.end(), text) !=
            frames[i].texts.end()) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool ShownFrame::Binds(const char* path) const {
    const double name = GameScene::TextureName(path);
    return std::any_of(calls.begin(), calls.end(), [name](const RecordedCall& call) {
        return call.name == "glBindTexture" && call.args[1] == name;
    });
}

double GameScene::TextureName(const char* path) {
    for (int i = 0; i < CatalogueTextureCount; ++i) {
        if (std::strcmp(CatalogueTextures[i].path, path) == 0) {
            return FirstCatalogueName + i;
        }
    }
    return -1;
}

void HoldKey(SDL_Scancode key) {
    FrameDriver::PushKey(key, true);
}

void ReleaseKey(SDL_Scancode key) {
    FrameDriver::PushKey(key, false);
}
