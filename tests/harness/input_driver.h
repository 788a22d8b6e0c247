// Drives the platform input the way a player would. Two drivers implement this header, one per backend,
// and a test program links the one of its backend: on the SDL backend every helper posts the SDL event a
// keyboard, mouse or joystick would produce (input_driver_sdl.cpp); on the null backend it queues the
// input record that event would have become (input_driver_null.cpp). Either way the platform's own event
// pump picks it up at its next run. The window switches (Alt+Enter, F11) and the controller database are
// the desktop's alone: on the null backend they do nothing.
#pragma once

#include <string>
#include <string_view>

// Points SDL at its headless drivers (offscreen video unless KELVANOR_TEST_VIDEO names another, dummy
// audio) and lets joysticks be read without window focus. Call before SDL starts.
void useTestDrivers();

// Keys by Windows virtual-key code, as the game reads them.
void pressKey(int virtualKey, bool repeat = false);
void releaseKey(int virtualKey);
void tapKey(int virtualKey);
void typeText(std::string_view text); // UTF-8, as the keyboard layout delivers it

// Alt+Enter (left Alt held around the Enter, as a player types it) and F11: the window switch.
void tapAltEnter();
void tapF11();
// The window system takes the keyboard focus away (another window activated, alt-tab) or minimises it.
void loseWindowFocus();
void minimiseWindow();

// Position in 800 x 600 display pixels; converted to the game window's pixels.
void moveMouse(int x, int y);
void mouseButton(int button, bool down); // 1 left, 2 right, 3 middle

// Adds a line to SDL's game-controller database, as a "gamecontrollerdb.txt" line would.
bool addControllerMapping(const std::string& line);

// A joystick with 6 axes and 32 buttons, plugged in through SDL's virtual joystick driver. As a game
// controller SDL's database knows it: left stick on axes 0 and 1, right stick on 2 and 3, A (south) on
// button 0, B (east) 1, Start 6, the right shoulder 10. As a plain joystick (with its own name, which
// its database identity is made from) the database does not know it unless told.
enum class PadKind { GameController, PlainJoystick };
class TVirtualPad {
public:
    explicit TVirtualPad(PadKind kind = PadKind::GameController, const char* name = "Kelvanor Test Pad");
    ~TVirtualPad();
    TVirtualPad(const TVirtualPad&) = delete;
    TVirtualPad& operator=(const TVirtualPad&) = delete;

    bool attached() const { return device != nullptr; }
    void setAxis(int axis, float value); // -1..1
    void setButton(int button, bool down);
    void unplug();
    std::string guid() const; // SDL's identity of the pad, as database lines name it

private:
    struct TDevice; // the driver's own
    TDevice* device = nullptr;
};
