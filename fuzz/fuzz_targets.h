// The loaders fed with untrusted bytes: one function per kind of file the game reads, shared by the
// libFuzzer targets (clang) and the corpus replay in the ordinary test suite (g++).
//
// Each function loads the bytes as the game would and then checks what it got: a loader may accept the
// file or refuse it in the way it is meant to (null, false, or a fatal error, which is caught here rather
// than ending the process), but what it accepts must be usable. A non-empty fault names the first thing
// that was not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class TLoadOutcome {
    Loaded,
    Refused,    // the loader gave null or false
    FatalError, // the loader raised the game's fatal error, which ends the program outside a harness
};

struct TLoadCheck {
    TLoadOutcome outcome = TLoadOutcome::Refused;
    std::string fault; // empty when whatever was loaded holds together
};

// The two text loaders read real files, as the game does: the bytes are written to a temporary directory
// of the process's own first.
TLoadCheck checkSettingsFile(const uint8_t* bytes, size_t size);
TLoadCheck checkShapeFile(const uint8_t* bytes, size_t size);
TLoadCheck checkWaveFile(const uint8_t* bytes, size_t size);
TLoadCheck checkOggFile(const uint8_t* bytes, size_t size);
TLoadCheck checkPngFile(const uint8_t* bytes, size_t size);
TLoadCheck checkFontFile(const uint8_t* bytes, size_t size);
// The replay reader alone: parse and check, no game.
TLoadCheck checkReplayFile(const uint8_t* bytes, size_t size);
// The run file reader with its tape, no game: what it accepts must write back to a file that reads the same.
TLoadCheck checkRunFile(const uint8_t* bytes, size_t size);

struct TLoadTarget {
    std::string_view name; // also the name of its corpus directory
    TLoadCheck (*check)(const uint8_t* bytes, size_t size);
};

// Every target, in a fixed order.
inline constexpr TLoadTarget loadTargets[] = {
    {"settings", checkSettingsFile}, {"shape", checkShapeFile}, {"wave", checkWaveFile},
    {"ogg", checkOggFile},           {"png", checkPngFile},     {"font", checkFontFile},
    {"replay", checkReplayFile},     {"run", checkRunFile},
};
