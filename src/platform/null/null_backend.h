// The null backend: no window, no graphics device, no audio device, no event source. Batches are counted
// by the core as they leave it and then dropped, the target holds nothing but its clear colour, sound is
// mixed into nothing by the platform clock (the caller's, when it sets one), a music track starts at once
// without being decoded, and frames are presented without any wait. Programs that want a game without
// pixels (the game-logic tests, the soak, the simulation benchmarks) link kelvanor_null instead of
// kelvanor_sdl; this header is how they hand it the input a device would have given.
#pragma once

#include "platform/backend.h"

// Delivered at the next event pump, in order, as a device's events would be (a recording writes them
// down there, with that pump's number).
void queueNullInput(const TInputRecord& record);
// Plugs a joypad into that slot (0..15): PadAdded at the next pump, then PadLayout when the layout is
// known (as the desktop's controller database would tell it). It reads at rest until setNullPad.
void plugNullPad(int slot, const TPadLayout& layout);
// The joypad in that slot reads these values from now on (plugged in with an unknown layout if none was).
void setNullPad(int slot, const TPadReading& reading);
// The joypad in that slot is pulled: it reads as released at once, and PadRemoved follows at the next pump.
void removeNullPad(int slot);
// Presented frames (presentFrame with any sync, the two of opening included) since the display opened.
long nullPresentedFrames();
// Times the core has said a file in the working directory was written, replaced or removed.
long nullFilesChanged();

// Inside the backend: a termination signal has arrived since the last call (program module).
bool takeCloseRequest();
