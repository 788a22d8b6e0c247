// Drives the platform input the way a player would. Two drivers implement this header, one per backend,
// and a test program links the one of its backend: on the SDL backend every helper posts the SDL event a
// keyboard, mouse or joystick would produce (input_driver_sdl.cpp); on the null backend it queues the
// input record that event would have become (input_driver_null.cpp). Either way the platform's own event
// pump picks it up at its next run.
#pragma once

#include <string_view>

// Points SDL at its headless drivers (offscreen video unless KELVANOR_TEST_VIDEO names another, dummy
// audio) and lets joysticks be read without window focus. Call before SDL starts.
void useTestDrivers();

// Keys by Windows virtual-key code, as the game reads them.
void pressKey(int virtualKey, bool repeat = false);
void releaseKey(int virtualKey);
void tapKey(int virtualKey);
void typeText(std::string_view text); // UTF-8, as the keyboard layout delivers it

// Position in 800 x 600 display pixels; converted to the game window's pixels.
void moveMouse(int x, int y);
void mouseButton(int button, bool down); // 1 left, 2 right, 3 middle

// A joystick with 6 axes and 32 buttons, plugged in through SDL's virtual joystick driver (or straight
// into the null backend's first free slot).
class TVirtualPad {
public:
    TVirtualPad();
    ~TVirtualPad();
    TVirtualPad(const TVirtualPad&) = delete;
    TVirtualPad& operator=(const TVirtualPad&) = delete;

    bool attached() const { return device != nullptr; }
    void setAxis(int axis, float value); // -1..1
    void setButton(int button, bool down);
    void unplug();

private:
    struct TDevice; // the driver's own
    TDevice* device = nullptr;
};
