// The settings file "config.ini": options, the hiscore table and the joypad mapping, read once at
// start-up by TGame::loadSettings and written whole by TGame::saveSettings.
#pragma once

#include "platform/files.h"

#include <string_view>

namespace SettingsFile {
constexpr std::string_view path = "config.ini";
// Written first, then renamed over the real file, so that a crash mid-save leaves one whole file.
constexpr std::string_view temporaryPath = "config.ini.tmp";
constexpr int HighestVolumeOption = 4; // 25 % steps
// A table the game writes is under 4 KiB; anything this large is not a settings file, and is left alone.
constexpr size_t ByteLimit = 64 * 1024;
} // namespace SettingsFile

// The file steps a save goes through after writing. Tests put failing ones in place to play a full disk
// or a power cut before the rename; the game itself never changes them.
struct TSaveSteps {
    bool (*flush)(const TextFile&) = flushTextFile;
    bool (*close)(const TextFile&) = closeTextFile;
    bool (*rename)(std::string_view from, std::string_view to) = renameFile;
};
extern TSaveSteps saveSteps;

class TGame;
// A setting put into effect and shown by its menu entry, as reading the file does.
void applyVolumes(TGame& g, int musicOption, int effectsOption);
void applyGrid(TGame& g, int option);
void applyControlMode(TGame& g, int option);
