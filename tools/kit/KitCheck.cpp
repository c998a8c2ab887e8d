// cataclysm-kit check: goes through every file the game opens, in the order it opens them and
// with its own decoders, and names each one it would refuse or take otherwise than a modder
// likely meant.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "app/Program.h"
#include "audio/OggVorbis.h"
#include "audio/ShipSounds.h"
#include "audio/Wave.h"
#include "game/LevelScreens.h"
#include "platform/System.h"
#include "render/AssetCatalogue.h"
#include "render/BundleFile.h"
#include "render/Font.h"
#include "render/MenuPictures.h"
#include "render/ShaderProgram.h"
#include "render/Targa.h"
#include "render/TargaFile.h"
#include "screens/MainMenu.h"
#include "screens/MenuWidget.h"
#include "screens/PresenterScreen.h"
#include "screens/TitleScreen.h"
#include "settings/Repository.h"
#include "settings/Settings.h"
#include "tools/kit/KitCommand.h"
#include "tools/kit/KitFiles.h"
#include "tools/kit/KitSound.h"

namespace {

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) {
        text += (text.empty() ? "" : ", ") + word;
    }
    return text;
}

// The checks of one asset folder; each file the game opens more than once is checked once.
class FolderCheck {
public:
    explicit FolderCheck(const std::string& base) : base(base) {}

    void Settings();
    void Picture(const char* path, bool mipmapped, bool shaderPathOnly = false);
    void MenuBundles();
    void MenuPictures();
    void ShipSounds();
    void Shaders();
    void Music(const char* path);

    // Prints the problems and a summary line; the exit status.
    int Report() const;

private:
    // Reads a file of the folder; false, after noting why (and, when given, what the game does
    // then), when it is missing or unreadable. A file read before (a shader source two programs
    // share) is not counted or noted twice.
    bool Read(const std::string& path, std::vector<uint8_t>& bytes, const std::string& label,
              const std::string& consequence = "");
    void Problem(const std::string& label, const std::string& what) {
        problems.push_back(label + ": " + what);
    }
    std::string FullPath(const std::string& path) const { return base + "/" + path; }

    std::string base;
    std::set<std::string> looked;
    std::vector<std::string> problems;
    BundleContents bundles[2];
    bool bundleRead[2] = {false, false};
};

bool FolderCheck::Read(const std::string& path, std::vector<uint8_t>& bytes,
                       const std::string& label, const std::string& consequence) {
    bool first = looked.insert(path).second;
    errno = 0;
    if (ReadKitFile(FullPath(path), bytes)) {
        return true;
    }
    if (first) {
        Problem(label, (errno == ENOENT ? "missing"
                                        : std::string("cannot be read: ") + std::strerror(errno)) +
                           (consequence.empty() ? "" : " (" + consequence + ")"));
    }
    return false;
}

// The game falls back to its built-in settings without the file or its game section, and to a
// built-in value for each key the section lacks.
void FolderCheck::Settings() {
    const std::string fallback = "the game starts with its built-in settings";
    std::vector<uint8_t> bytes;
    if (!Read(SettingsFileName, bytes, SettingsFileName, fallback)) {
        return;
    }
    Repository settings;
    if (!settings.Decode(bytes.data(), bytes.size())) {
        Problem(SettingsFileName, settings.Failure() + " (" + fallback + ")");
        return;
    }
    uint32_t section = settings.FindGameSection();
    if (section == NoSection) {
        Problem(SettingsFileName,
                std::string("no section ") + GameSectionName + " (" + fallback + ")");
        return;
    }
    // The keys the game reads are those of the file a fresh install gets, in its order.
    Repository fresh;
    std::vector<uint8_t> freshBytes = FreshSettingsFile(0);
    fresh.Decode(freshBytes.data(), freshBytes.size());
    std::vector<std::string> missing;
    for (const RepEntry& entry : fresh.Entries()) {
        if (!settings.HasEntry(section, entry.key.c_str())) {
            missing.insert(missing.begin(), entry.key);
        }
    }
    if (!missing.empty()) {
        Problem(SettingsFileName,
                "no value for " + Joined(missing) + " (the game uses its built-in values instead)");
    }
}

void FolderCheck::Picture(const char* path, bool mipmapped, bool shaderPathOnly) {
    std::string label = std::string(path) + (shaderPathOnly ? " (shader path only)" : "");
    std::vector<uint8_t> bytes;
    if (!Read(path, bytes, label)) {
        return;
    }
    TargaPixels image;
    TargaRefusal refusal = TargaRefusal::None;
    if (!DecodeTarga(bytes.data(), bytes.size(), image, &refusal)) {
        Problem(label, TargaRefusalText(refusal));
    } else if (image.paddedAtEnd) {
        Problem(label,
                "run-length data ends before the last pixel (the file is truncated); the "
                "game fills the rest with the last pixel read");
    } else if (mipmapped && !MipmapChainPossible(image.width, image.height)) {
        Problem(label, "mipmapped, but " + std::to_string(image.width) + " x " +
                           std::to_string(image.height) +
                           " is not a power of two on each side, so it loses its mipmaps");
    }
}

void FolderCheck::MenuBundles() {
    for (int i = 0; i < 2; ++i) {
        const char* path = MenuBundlePaths[i];
        std::vector<uint8_t> bytes;
        if (!Read(path, bytes, path)) {
            continue;
        }
        if (!ParseBundle(bytes.data(), bytes.size(), bundles[i])) {
            Problem(path,
                    "not a texture bundle the game reads (cut short, or counts and sizes "
                    "that do not fit the file); the menus draw nothing from it");
            continue;
        }
        bundleRead[i] = true;
        if (bundles[i].mipmapped && !MipmapChainPossible(bundles[i].width, bundles[i].height)) {
            Problem(path,
                    "mipmapped, but its atlas is not a power of two on each side, so it "
                    "loses its mipmaps");
        }
    }
}

// In the order the menus look them up; one line per bundle that lacks any.
void FolderCheck::MenuPictures() {
    std::vector<std::string> missing[2];
    for (const MenuPictureSource& source : MenuPictureSources) {
        if (bundleRead[source.bundle] &&
            FindBundleEntry(bundles[source.bundle].entries, source.entryName) == nullptr) {
            missing[source.bundle].push_back(source.entryName);
        }
    }
    for (int i = 0; i < 2; ++i) {
        if (!missing[i].empty()) {
            Problem(MenuBundlePaths[i], (missing[i].size() == 1 ? "no picture " : "no pictures ") +
                                            Joined(missing[i]) +
                                            " (the menus draw a flat patch instead)");
        }
    }
}

void FolderCheck::ShipSounds() {
    for (const ShipSoundFile& sound : ShipSoundFiles) {
        std::vector<uint8_t> bytes;
        if (!Read(sound.path, bytes, sound.path)) {
            continue;
        }
        std::string problem = WaveProblem(ParseWave(bytes.data(), bytes.size()));
        if (!problem.empty()) {
            Problem(sound.path, problem + "; the game leaves it silent");
        }
    }
}

// Each source is read once; each program whose two sources are there must declare every
// uniform its draws set, which is reported on its fragment source (the one it does not share).
void FolderCheck::Shaders() {
    for (const ShaderProgramSource& program : ShaderProgramSources) {
        std::vector<uint8_t> vertex;
        std::vector<uint8_t> fragment;
        bool vertexRead = Read(program.vertexPath, vertex, program.vertexPath);
        bool fragmentRead = Read(program.fragmentPath, fragment, program.fragmentPath);
        if (!vertexRead || !fragmentRead) {
            continue;
        }
        std::string vertexText(vertex.begin(), vertex.end());
        std::string fragmentText(fragment.begin(), fragment.end());
        std::vector<std::string> undeclared;
        for (const ShaderUniform& uniform : program.uniforms) {
            if (!ShaderSourceDeclares(vertexText, uniform) &&
                !ShaderSourceDeclares(fragmentText, uniform)) {
                undeclared.push_back(std::string(uniform.glslType) + " " + uniform.name);
            }
        }
        if (!undeclared.empty()) {
            Problem(program.fragmentPath, std::string(program.handleName) + " (with " +
                                              program.vertexPath + ") declares no uniform " +
                                              Joined(undeclared) + ", which its draws set");
        }
    }
}

void FolderCheck::Music(const char* path) {
    std::vector<uint8_t> bytes;
    if (!Read(path, bytes, path)) {
        return;
    }
    FileOpenHook = OpenPlainFile;
    OggVorbis music;
    if (!music.Load(FullPath(path).c_str())) {
        Problem(path, "not an Ogg Vorbis stream the game can open; the music stays silent");
        return;
    }
    MusicStreamInfo info = music.Info();
    if (info.chunkBytes == 0) {
        Problem(path, "a nominal bitrate of " + std::to_string(info.nominalBitrate) +
                          " bits per second is too small; the game plays nothing");
    }
}

int FolderCheck::Report() const {
    for (const std::string& line : problems) {
        std::printf("%s\n", line.c_str());
    }
    std::printf("checked %zu files: %zu %s\n", looked.size(), problems.size(),
                problems.size() == 1 ? "problem" : "problems");
    return problems.empty() ? 0 : 1;
}

// Start-up, the title and loading screen (catalogue, ship sounds, shaders), the main menu and
// the end screens, each step with the game's own list of files.
int CheckFolder(const std::string& base) {
    FolderCheck check(base);
    check.Settings();
    check.Music(GameMusicPath);
    check.Picture(FontImagePath, FontImageMipmapped);
    check.Picture(PresenterPicturePath, PresenterPictureMipmapped);
    check.Picture(TitlePicturePath, TitlePicturesMipmapped);
    check.Picture(LoadingPicturePath, TitlePicturesMipmapped);
    check.MenuBundles();
    for (const CatalogueTexture& texture : CatalogueTextures) {
        check.Picture(texture.path, texture.mipmapped, texture.glslOnly);
    }
    check.MenuPictures();
    check.ShipSounds();
    check.Shaders();
    check.Picture(MenuPointerPicturePath, MenuPointerPictureMipmapped);
    check.Music(MenuMusicPath);
    check.Picture(GameOverPicturePath, EndPicturesMipmapped);
    check.Picture(GameWinPicturePath, EndPicturesMipmapped);
    return check.Report();
}

int CheckCommand(const std::vector<std::string>& args) {
    if (args.size() != 1) {
        return KitFail("usage: cataclysm-kit check BASE_DIR");
    }
    if (KindOfPath(args[0]) != PathKind::Folder) {
        return KitFail(args[0] + " is not a folder");
    }
    return CheckFolder(args[0]);
}

}  // namespace

KIT_COMMAND("check",
            "check BASE_DIR\n"
            "    Goes through every file the game opens from its asset folder (the settings,\n"
            "    pictures, menu bundles and their pictures, sounds, music and shader sources),\n"
            "    in the game's order and with its decoders, and prints one line for each file\n"
            "    it would refuse or take otherwise than meant, then 'checked N files: P\n"
            "    problems'. Exit status 0 when the game would load everything, 1 otherwise.",
            CheckCommand);
