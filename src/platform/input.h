// Keyboard, mouse and joypad state. The event pump runs before every query, so the game never pumps.
// Key codes are the Windows virtual-key numbers the game's controls are written in.
#pragma once

namespace Key {
constexpr int Backspace = 8;
constexpr int Enter = 13;
constexpr int Escape = 27;
constexpr int Space = 32;
constexpr int Left = 37;
constexpr int Up = 38;
constexpr int Right = 39;
constexpr int Down = 40;
constexpr int Digit0 = 48; // .. 57
constexpr int A = 65;      // .. 90
constexpr int P = 80;
constexpr int Z = 90;
constexpr int Keypad0 = 96; // .. 105
constexpr int Keypad1 = 97;
constexpr int Keypad2 = 98;
constexpr int Keypad3 = 99;
constexpr int Keypad4 = 100;
constexpr int Keypad6 = 102;
constexpr int Keypad7 = 103;
constexpr int Keypad8 = 104;
constexpr int Keypad9 = 105;
} // namespace Key

// Presses since the last call for that code (auto-repeat excluded); reading clears the count.
int keyHitCount(int code);
int isKeyDown(int code);
// Oldest typed character (Enter 13 and Backspace 8 included), 0 when none; the queue holds 256.
int nextTypedChar();
void clearKeyState();

int pointerX(); // in 800 x 600 display pixels, whatever the window size
int pointerY();
int isMouseButtonDown(int button); // 1 left, 2 right, 3 middle

int isPadButtonDown(int button, int pad); // buttons 0..31, pads 0..15
float padAxis(int axis, int pad);         // 0 X, 1 Y, 2 Z, 3 R, 4 U, 5 V in -1..1; 6..8 always 0

// Where SDL's game-controller database (its own list, SDL_GAMECONTROLLERCONFIG, and a
// "gamecontrollerdb.txt" in the working directory) puts a pad's sticks and the buttons the game uses, in
// the raw numbers padAxis and isPadButtonDown take. -1 where the database binds that control to
// something other than a plain axis or button (a hat, half an axis) or leaves it out.
struct TPadLayout {
    bool known = false; // false: the database does not know the pad, or no pad is plugged in
    int leftX = -1, leftY = -1, rightX = -1, rightY = -1;
    int rightShoulder = -1, start = -1, south = -1, east = -1;
};
// Both answer as of the last event pump and do not pump themselves, so that asking does not move the
// moment input arrives in a recording; pumpEvents first where the answer must be fresh.
bool isPadConnected(int pad);
TPadLayout padLayout(int pad);
// Times the window has lost the keyboard focus (another window activated, minimised) since the last call;
// reading clears the count. Keys and mouse buttons held at that moment read as released from then on.
// Unlike the other queries it does not run the pump: it tells what the pumps so far have seen, so asking
// it changes no recording's count of pumps.
int focusLossCount();

// True once the operating system has asked the program to close (window close, SIGTERM, SIGINT).
bool quitRequested();
// Runs the event pump now; queries do this themselves.
void pumpEvents();
