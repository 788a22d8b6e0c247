// TGame::loadSettings and saveSettings: the settings file "config.ini".
//
// The file is a list of sections, each a header line and a fixed number of value lines. Reading accepts
// the sections in any order, repeated (the last one wins) or missing (the defaults stay), and skips
// every line it does not know. Writing always produces the same 167 lines in the same order.
//
// A file that is there but cannot be read (a directory, a pipe, no permission, too large) is not taken
// for a missing one: the game starts with the defaults and never replaces it. Two games may share the
// file (two windows, two browser tabs), so a save first reads the table on disk and keeps the best ten
// of both; the settings are the saving game's.
//
// Sections: defaults and options · reading · writing.
#include "app/settings/settings_file.h"

#include "app/game.h"
#include "app/run_recording.h"
#include "app/ui/menu.h"
#include "audio/sound_bank.h"
#include "input/joypad.h"
#include "platform/input.h"
#include "platform/sound.h"
#include "play/grid.h"
#include "play/player.h"
#include "scores/hiscore_table.h"
#include "scores/text_line.h"

#include <algorithm>

TSaveSteps saveSteps;

// --- Defaults and options ------------------------------------------------------------------------------

namespace {

void showOption(TGame& g, ConfigMenuEntry entry, int value) {
    g.configMenu->items[static_cast<size_t>(menuIndex(entry))].current = value;
}

} // namespace

void applyVolumes(TGame& g, int musicOption, int effectsOption) {
    showOption(g, ConfigMenuEntry::MusicVolume, musicOption);
    showOption(g, ConfigMenuEntry::EffectsVolume, effectsOption);
    g.musicVolume = static_cast<float>(musicOption) * 0.25f;
    g.sounds->effectsVolume = static_cast<float>(effectsOption) * 0.25f;
    setChannelGain(g.titleChannel, g.musicVolume);
    setChannelGain(g.playChannel, g.musicVolume / 4);
}

void applyGrid(TGame& g, int option) {
    g.grid->enabled = option != 0;
    showOption(g, ConfigMenuEntry::Grid, option);
}

void applyControlMode(TGame& g, int option) {
    g.player->controlMode = option;
    showOption(g, ConfigMenuEntry::Control, option);
}

namespace {

// With no control mode on file the game starts with what is plugged in, so that a first start without a
// pad is not met by a craft that nothing connected can steer.
// A pad the game-controller database does not know has no controls until the player maps them, so it
// leaves the keys and mouse in charge.
void applyControlModeOfConnectedPad(TGame& g) {
    pumpEvents(); // a pad plugged in before the start has arrived by now
    const int port = g.player->joyPort;
    const bool padSteers = isPadConnected(port) && !g.joypad->mappingInForce(port).isUnconfigured();
    applyControlMode(g, padSteers ? ControlMode::Joypad : ControlMode::KeysAndMouse);
}

void applyDefaults(TGame& g) {
    applyVolumes(g, SettingsFile::HighestVolumeOption, SettingsFile::HighestVolumeOption);
    applyGrid(g, 1);
    applyControlMode(g, 1);
}

// The menus show their option text at the option's index, so a value from an edited file is brought into
// range before anything uses it.
int readOption(const TextFile& file, int highest) {
    return std::clamp(parseInteger(readTextLine(file)), 0, highest);
}

// Volumes are stored as whole steps but read as reals ("2.9" is step 2). The clamp comes first, in the
// real's own range, because converting a real beyond the int range is undefined.
int readVolumeOption(const TextFile& file) {
    const double value = parseReal(readTextLine(file));
    if (!(value >= 0)) return 0; // negative or not a number
    return static_cast<int>(std::min(value, static_cast<double>(SettingsFile::HighestVolumeOption)));
}

} // namespace

// --- Reading -------------------------------------------------------------------------------------------

void TGame::loadSettings() {
    applyDefaults(*this);
    PlainFileState found = PlainFileState::Missing;
    const TextFile file = openTextForRead(SettingsFile::path, SettingsFile::ByteLimit, found);
    settingsUnreadable = found == PlainFileState::Unreadable;
    if (!file) {
        applyControlModeOfConnectedPad(*this);
        return;
    }
    bool controlModeRead = false;
    while (!atEndOfFile(file)) {
        const std::string line = readTextLine(file);
        if (line == "[Sound]") {
            const int music = readVolumeOption(file);
            const int effects = readVolumeOption(file);
            applyVolumes(*this, music, effects);
        } else if (line == "[Grid]") {
            applyGrid(*this, readOption(file, 1));
        } else if (line == "[Input]") {
            applyControlMode(*this, readOption(file, 1));
            controlModeRead = true;
        } else if (line == "[JoyPad]") {
            joypad->mapping.read(file);
        } else if (line == "[Hiscore]") {
            hiscores->read(file);
        }
    }
    closeTextFile(file);
    if (!controlModeRead) applyControlModeOfConnectedPad(*this);
}

// --- Writing -------------------------------------------------------------------------------------------

namespace {

int shownOption(const TGame& g, ConfigMenuEntry entry) {
    return g.configMenu->items[static_cast<size_t>(menuIndex(entry))].current;
}

void writeSettings(const TGame& g, const TextFile& file) {
    writeTextLine(file, "[Grid]");
    writeNumberLine(file, g.grid->enabled);
    writeTextLine(file, "[Sound]");
    writeNumberLine(file, shownOption(g, ConfigMenuEntry::MusicVolume));
    writeNumberLine(file, shownOption(g, ConfigMenuEntry::EffectsVolume));
    writeTextLine(file, "[Hiscore]");
    g.hiscores->write(file);
    writeTextLine(file, "[Input]");
    writeNumberLine(file, g.player->controlMode);
    g.joypad->mapping.write(file);
}

// The value lines that follow each header, for reading past the sections a merge does not need.
int valueLinesAfter(std::string_view header) {
    if (header == "[Sound]") return 2;
    if (header == "[Grid]" || header == "[Input]") return 1;
    if (header == "[JoyPad]") return 8;
    return 0;
}

// The table in the file on disk as loading would read it, or null when there is no file. The state says
// whether the file could be read: one that is there but cannot be must not be replaced.
std::shared_ptr<THiscoreTable> readTableOnDisk(PlainFileState& found) {
    const TextFile file = openTextForRead(SettingsFile::path, SettingsFile::ByteLimit, found);
    if (!file) return nullptr;
    auto table = THiscoreTable::create();
    while (!atEndOfFile(file)) {
        const std::string line = readTextLine(file);
        if (line == "[Hiscore]") table->read(file);
        for (int skipped = valueLinesAfter(line); skipped > 0; --skipped)
            readTextLine(file);
    }
    return table;
}

} // namespace

// The old file is replaced only by a new one that is whole and on the disk: the settings go to a fresh
// file beside it first (never through a link), which is flushed, closed and then renamed over it in one
// step. Whatever fails, the old file stays as it was, the half-made one goes and a note says so.
bool TGame::saveSettings() {
    // A watched run's entry goes into the table it was played against, never into the player's file.
    if (runPlaybackActive()) return true;
    if (settingsUnreadable) return false;
    PlainFileState found = PlainFileState::Missing;
    const auto onDisk = readTableOnDisk(found);
    if (found == PlainFileState::Unreadable) {
        showNote("SETTINGS NOT SAVED: CONFIG.INI CANNOT BE READ");
        return false;
    }
    if (onDisk) hiscores->merge(*onDisk);
    const TextFile file = openTextForSafeWrite(SettingsFile::path);
    bool saved = false;
    if (file) {
        writeSettings(*this, file);
        const bool flushed = saveSteps.flush(file);
        const bool closed = saveSteps.close(file);
        saved = flushed && closed && saveSteps.rename(SettingsFile::temporaryPath, SettingsFile::path);
        if (!saved) removeFile(SettingsFile::temporaryPath);
    }
    if (!saved) showNote("SETTINGS COULD NOT BE SAVED");
    return saved;
}
