// cataclysm-kit rep: looks into and changes repository files such as the settings file, with
// the game's own decoder and its safe way of replacing the file.
#include <cerrno>
#include <cinttypes>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/AssetFiles.h"
#include "platform/System.h"
#include "settings/Repository.h"
#include "settings/Settings.h"
#include "settings/SettingsLocation.h"
#include "tools/kit/KitCommand.h"

namespace {

constexpr char RepHelp[] =
    "rep dump FILE             print the header, the sections and the entries in file order\n"
    "rep get FILE KEY          print the integer under KEY in the game section\n"
    "rep set FILE KEY VALUE    store the integer VALUE under KEY in the game section\n"
    "rep reset FILE            replace FILE with the settings of a fresh install (1024x768,\n"
    "                          full brightness, shaders and sound on), keeping its high score\n"
    "rep where                 print the settings file the game beside the kit uses for you,\n"
    "                          and on stderr what stops the game from saving it";

// Bytes that would upset a terminal or a line-based reader are printed as \xNN.
std::string Escaped(const std::string& text, bool quote) {
    std::string out = quote ? "\"" : "";
    for (unsigned char c : text) {
        if (c < 0x20 || c >= 0x7F || c == '\\' || (quote && c == '"')) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02x", c);
            out += escape;
        } else {
            out += static_cast<char>(c);
        }
    }
    return quote ? out + "\"" : out;
}

std::string ValueText(const RepEntry& entry) {
    size_t size = Repository::ValueSize(entry.type, entry.value.data());
    if (entry.type == RepTypeString) {
        return Escaped(std::string(reinterpret_cast<const char*>(entry.value.data()), size - 1),
                       true);
    }
    if (entry.type == RepTypeInt32) {
        uint32_t bits = 0;
        for (int i = 3; i >= 0; --i) {
            bits = bits << 8 | entry.value[i];
        }
        return std::to_string(static_cast<int32_t>(bits));
    }
    std::string hex;
    for (size_t i = 0; i < size; ++i) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", entry.value[i]);
        hex += pair;
    }
    return hex;
}

bool LoadOrReport(Repository& repository, const std::string& path) {
    if (repository.LoadFile(path)) {
        return true;
    }
    KitFail(path + ": " + repository.Failure());
    return false;
}

// The lists are newest first; the file held them the other way round.
template <typename Record>
std::vector<const Record*> InFileOrder(const std::forward_list<Record>& list) {
    std::vector<const Record*> records;
    for (const Record& record : list) {
        records.insert(records.begin(), &record);
    }
    return records;
}

int Dump(const std::string& path) {
    Repository repository;
    if (!LoadOrReport(repository, path)) {
        return 1;
    }
    std::printf("header %s\n", Escaped(repository.HeaderText(), true).c_str());
    for (const RepSection* section : InFileOrder(repository.Sections())) {
        std::printf("section %" PRIu32 " %s\n", section->id, Escaped(section->name, false).c_str());
    }
    for (const RepEntry* entry : InFileOrder(repository.Entries())) {
        std::printf("entry %" PRIu32 " %" PRIu32 " %s = %s\n", entry->sectionId, entry->type,
                    Escaped(entry->key, false).c_str(), ValueText(*entry).c_str());
    }
    return 0;
}

int Get(const std::string& path, const std::string& key) {
    Repository repository;
    if (!LoadOrReport(repository, path)) {
        return 1;
    }
    uint32_t section = repository.FindGameSection();
    if (section == NoSection) {
        return KitFail(path + ": no section " + GameSectionName);
    }
    int32_t value = 0;
    if (!repository.HasEntry(section, key.c_str()) || !repository.GetInt(key.c_str(), &value)) {
        return KitFail(path + ": no key '" + key + "' in the section " + GameSectionName);
    }
    std::printf("%" PRId32 "\n", value);
    return 0;
}

bool ParseInt32(const std::string& text, int32_t* value) {
    if (text.empty()) {
        return false;
    }
    char* end = nullptr;
    errno = 0;
    long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < INT32_MIN || parsed > INT32_MAX) {
        return false;
    }
    *value = static_cast<int32_t>(parsed);
    return true;
}

int Set(const std::string& path, const std::string& key, const std::string& valueText) {
    int32_t value;
    if (!ParseInt32(valueText, &value)) {
        return KitFail("'" + valueText + "' is not a 32-bit integer");
    }
    if (key.empty()) {
        return KitFail("the key is empty");
    }
    Repository repository;
    if (!LoadOrReport(repository, path)) {
        return 1;
    }
    repository.SetOrAddInt(key.c_str(), value);
    if (!repository.SaveFile(path)) {
        return KitFail(path + ": " + repository.Failure());
    }
    return 0;
}

// A missing or damaged file is replaced too, with a high score of 0: resetting is how a
// player recovers from a file that no longer works.
int Reset(const std::string& path) {
    Repository repository;
    int32_t highScore = 0;
    if (repository.LoadFile(path)) {
        repository.GetInt("HighScore", &highScore);
    } else {
        std::printf("%s did not load (%s); the high score starts at 0\n", path.c_str(),
                    repository.Failure().c_str());
    }
    std::vector<uint8_t> bytes = FreshSettingsFile(highScore);
    std::string failure;
    if (!ReplaceFileSafely(path, bytes.data(), bytes.size(), failure)) {
        return KitFail(failure);
    }
    return 0;
}

// The same choice the game makes at start: the file beside it, or the player's own. A file the
// game cannot save is still the one it reads, so it is printed all the same, and what stands in
// the way goes to stderr, as the game's main menu shows it.
int Where() {
    if (!SetUpAssetRoot()) {
        return KitFail("cannot find the folder the kit runs from");
    }
    SettingsLocation location = ChooseSettingsLocation();
    if (location.file.empty()) {
        return KitFail("no home folder to keep the settings in");
    }
    std::printf("%s\n", location.file.c_str());
    std::string problem = SettingsSaveProblem(location);
    if (!problem.empty()) {
        std::fprintf(stderr, "cataclysm-kit: the game cannot save its settings there: %s\n",
                     problem.c_str());
    }
    return 0;
}

int RunRep(const std::vector<std::string>& args) {
    if (args.size() == 2 && args[0] == "dump") {
        return Dump(args[1]);
    }
    if (args.size() == 3 && args[0] == "get") {
        return Get(args[1], args[2]);
    }
    if (args.size() == 4 && args[0] == "set") {
        return Set(args[1], args[2], args[3]);
    }
    if (args.size() == 2 && args[0] == "reset") {
        return Reset(args[1]);
    }
    if (args.size() == 1 && args[0] == "where") {
        return Where();
    }
    return KitFail(
        "usage: cataclysm-kit rep dump FILE | get FILE KEY | set FILE KEY VALUE | reset FILE | "
        "where");
}

}  // namespace

KIT_COMMAND("rep", RepHelp, RunRep);
