#include "soak/settings_check.h"

#include "app/game.h"
#include "app/settings/settings_file.h"
#include "app/ui/menu.h"
#include "audio/sound_bank.h"
#include "input/joypad.h"
#include "platform/sound.h"
#include "play/grid.h"
#include "play/player.h"
#include "scores/hiscore_table.h"
#include "scores/score_record.h"

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

namespace {

std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

// Everything the file carries, as the game holds it.
struct TSavedSettings {
    int menuOptions[4];
    float musicVolume;
    float effectsVolume;
    int gridEnabled;
    int controlMode;
    int mapping[8];
    std::string hiscores; // every field of the ten records in table order, one per line

    explicit TSavedSettings(const TGame& game) {
        for (int entry = 0; entry < 4; ++entry)
            menuOptions[entry] = game.configMenu->items[static_cast<size_t>(entry)].current;
        musicVolume = game.musicVolume;
        effectsVolume = game.sounds->effectsVolume;
        gridEnabled = game.grid->enabled;
        controlMode = game.player->controlMode;
        const TJoypadMapping& m = game.joypad->mapping;
        const int values[8] = {m.moveXAxis,  m.moveYAxis,   m.fireXAxis,    m.fireYAxis,
                               m.bombButton, m.pauseButton, m.selectButton, m.backButton};
        std::copy(std::begin(values), std::end(values), mapping);
        std::ostringstream table;
        for (const auto& record : game.hiscores->entries) {
            table << '[' << record->name << "] [" << record->brag << "] " << record->score;
            for (int kills : record->kills)
                table << ' ' << kills;
            table << ' ' << record->shotsFired << ' ' << record->shotsHit << '\n';
        }
        hiscores = table.str();
    }

    std::string differenceFrom(const TSavedSettings& loaded) const {
        std::ostringstream text;
        for (int entry = 0; entry < 4; ++entry)
            if (menuOptions[entry] != loaded.menuOptions[entry])
                text << "configuration entry " << entry << " saved as " << menuOptions[entry] << ", read as "
                     << loaded.menuOptions[entry] << "; ";
        if (musicVolume != loaded.musicVolume) text << "music volume differs; ";
        if (effectsVolume != loaded.effectsVolume) text << "effects volume differs; ";
        if (gridEnabled != loaded.gridEnabled) text << "grid option differs; ";
        if (controlMode != loaded.controlMode) text << "control mode differs; ";
        for (int i = 0; i < 8; ++i)
            if (mapping[i] != loaded.mapping[i])
                text << "joypad mapping value " << i << " saved as " << mapping[i] << ", read as "
                     << loaded.mapping[i] << "; ";
        if (hiscores != loaded.hiscores)
            text << "hiscore table saved as\n" << hiscores << "read as\n" << loaded.hiscores;
        return text.str();
    }
};

} // namespace

TSettingsReader::TSettingsReader() : reader(TGame::create()) {
    // Its title music would play under every run of the session.
    suspendChannel(reader->titleChannel);
}

TSettingsReader::~TSettingsReader() = default;

TGame& TSettingsReader::load() {
    // What loading does not reset starts as a newly created game has it.
    reader->hiscores = THiscoreTable::create();
    reader->joypad = TJoypad::create();
    reader->loadSettings();
    return *reader;
}

std::string TSettingsCheck::afterFrame(TGame& game) {
    const std::string bytes = readBytes(SettingsFile::path);
    if (bytes == lastBytes) return {};
    return roundTrip(game);
}

void TSettingsCheck::remember() {
    lastBytes = readBytes(SettingsFile::path);
}

std::string TSettingsCheck::roundTrip(TGame& game) {
    namespace fs = std::filesystem;
    const std::string saved = readBytes(SettingsFile::path);
    lastBytes = saved;
    ++savesChecked;
    if (saved.empty()) return "the saved settings file is empty or missing";

    // The reading game starts in a directory of its own holding only a copy of the file.
    const fs::path home = fs::current_path();
    const fs::path fresh = home / "fresh-start";
    fs::remove_all(fresh);
    fs::create_directories(fresh);
    writeBytes(fresh / SettingsFile::path, saved);
    fs::current_path(fresh);
    TGame& reloaded = reader.load();
    std::string broken = TSavedSettings(game).differenceFrom(TSavedSettings(reloaded));
    if (broken.empty()) {
        reloaded.saveSettings();
        if (readBytes(SettingsFile::path) != saved)
            broken = "saving the settings read back from the file gives different bytes";
    }
    fs::current_path(home);
    if (broken.empty()) fs::remove_all(fresh);
    return broken.empty() ? broken : "settings file round trip: " + broken;
}
