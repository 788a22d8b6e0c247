// Where the replay module meets the rest of the platform; never included outside src/platform/.
//
// Each hook does nothing (or passes the live value through) while neither recording nor replaying.
#pragma once

#include "platform/files.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

class TStream;

// One piece of input in the form the game's handlers take it, free of SDL's own event layout so that a
// recording outlives SDL versions and window sizes. The fields used per kind:
//   KeyDown     code = scancode, key = keycode, flag = auto-repeat
//   KeyUp       code = scancode, key = keycode
//   Text        text (UTF-8, as typed)
//   Pointer     x, y in 800 x 600 display pixels
//   MouseButton code = button (1 left, 2 right, 3 middle), flag = down, x, y
//   PadAdded    code = slot          PadRemoved code = slot
//   PadButtons  code = slot, bits    PadAxis    code = slot, key = axis, value
//   Quit        nothing
//   PadLayout   code = slot, layout = the pad's TPadLayout numbers in their declared order (after its
//               PadAdded, only for a pad the game-controller database knows)
//   FocusLost   nothing (the window lost the keyboard focus: held keys and buttons go up)
enum class InputKind : char {
    KeyDown,
    KeyUp,
    Text,
    Pointer,
    MouseButton,
    PadAdded,
    PadRemoved,
    PadButtons,
    PadAxis,
    Quit,
    PadLayout,
    FocusLost
};

struct TInputRecord {
    InputKind kind = InputKind::Quit;
    int code = 0;
    int key = 0;
    int flag = 0;
    int x = 0, y = 0;
    uint32_t bits = 0;
    float value = 0;
    std::string text;
    std::array<int, 8> layout{};
};

// The game's clock: written down when recording, taken from the recording when replaying.
int replayClock(int liveMillis);

// Called at the start of every event pump. When replaying, hands this pump's recorded input to apply and
// returns true: the live events are then to be dropped.
bool replayPump(const std::function<void(const TInputRecord&)>& apply);
// Writes one piece of input the live pump handled (or a joypad value a query saw) when recording.
void recordInput(const TInputRecord& record);

// A plain file the game reads whole. When recording, what readFromDisk found is written down; when
// replaying, the answer comes from the recording (missing when it has none for path) and the disk is
// left alone.
TPlainFileRead replayPlainFileRead(std::string_view path,
                                   const std::function<TPlainFileRead()>& readFromDisk);
// True while replaying: writes then go nowhere, as if they had succeeded.
bool replayDiscardsWrites();

// The game has finished a frame and is about to present it.
void replayFrameEnded();
// A replay runs as fast as it can: no vertical-blank wait, no sleeping.
bool replayRunsUnpaced();
// The program is ending (exit or fatal error): a recording gets its final checkpoint, a replay its
// verdict (and may end the process with its own status).
void replayProgramEnding();
