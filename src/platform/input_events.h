// Glue between the input module and the rest of the platform; never included outside src/platform/
// (and the test harness, which drives the same translation backwards).
#pragma once

// Called by initPlatform once SDL's event subsystem runs: enables text input and opens the joypads
// already plugged in. joysticksRestarted says SDL's joystick subsystem has just been (re)started, so
// any joypad handles from before are gone.
void startInputEvents(bool joysticksRestarted);
// The Windows virtual-key code for an SDL scancode on a US layout, 0 for keys the game has no code for.
int virtualKeyFromScancode(int scancode);
// The virtual-key code of a key event: letters follow the keyboard layout, everything else its position.
int virtualKeyFromKeyEvent(int scancode, int keycode);
// A recording starts: the pointer's place (and any held mouse button) is written down, and joypad values
// are recorded afresh from the next query.
void beginInputRecording();
// A replay starts: keys, buttons and joypad values go back to rest, so that only the recording moves them.
void beginInputReplay();
