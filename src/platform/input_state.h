// The input state the game's queries answer from, shared by the input module and the run tape (which
// swaps in a tape's state while a run is watched); never included by the game.
#pragma once

#include "platform/backend.h"
#include "platform/input.h"
#include "platform/input_events.h"

#include <array>
#include <cstdint>

struct TInputRecord;

namespace InputLimits {
constexpr int KeyCount = 256;
constexpr int TypedQueueSize = 256;
constexpr int PadCount = PadSlots; // the core numbers the slots for every backend
constexpr int PadButtonCount = 32;
constexpr int PadAxisCount = 16; // the numbering has room for more axes than a pad drives
constexpr int DrivenAxisCount = 6;
} // namespace InputLimits

struct TPad {
    uint32_t buttons = 0;
    std::array<float, InputLimits::PadAxisCount> axes{};
    // What the game is told about the pad being there and its layout; a replay sets both from the
    // recording, with no device behind them.
    bool present = false;
    TPadLayout layout;
};

struct TInputState {
    // Per virtual key: how many physical keys with that code are held (both Shift keys are code 16),
    // and the presses not yet read.
    std::array<int, InputLimits::KeyCount> keysHeld{};
    std::array<int, InputLimits::KeyCount> keyHits{};
    // Per scancode: the code its press counted under, 0 while up, so that its release undoes exactly that.
    std::array<uint8_t, Scancode::Count> scancodeKey{};

    std::array<uint8_t, InputLimits::TypedQueueSize> typed{};
    int typedFirst = 0;
    int typedCount = 0;

    // In display pixels, mapped when the event arrives: a recording must not depend on the window size.
    int pointerAtX = 0;
    int pointerAtY = 0;
    std::array<bool, 4> mouseButtons{};

    std::array<TPad, InputLimits::PadCount> pads;
    int focusLosses = 0; // not yet read
    bool quit = false;
};

// The state the game's queries answer from (input module).
TInputState& inputState();
// Hands one piece of input to the handlers, as a live event or a replay does (input module).
void applyInputRecord(const TInputRecord& record);
// The event pump without the run tape: the live events, or a session replay's (input module).
void pumpLiveEvents();

// The run tape's side of the pump (run tape module). True when a tape plays and has answered the pump.
bool runTapeTakesPump();
// A piece of input reached the game's state; a recording tape keeps it.
void runTapeSeesInput(const TInputRecord& record);
// A pad query read the device; a recording tape keeps the values that changed.
void runTapeSeesPad(int slot);
