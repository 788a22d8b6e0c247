// Keyboard, mouse and joypad state, kept up to date by the event pump that every query runs first.
//
// Sections: state · keyboard events · mouse events · joypads · the pump · queries.
//
// Keys and mouse buttons are tracked from the events themselves rather than from SDL's snapshot arrays,
// so that a press and release between two frames still counts as a hit.
#include "platform/input.h"

#include "platform/input_events.h"
#include "platform/platform_internal.h"

#include <SDL.h>

#include <array>
#include <cstdint>

namespace {

// --- State ---------------------------------------------------------------------------------------------

constexpr int KeyCount = 256;
constexpr int TypedQueueSize = 256;
constexpr int PadCount = 16;
constexpr int PadButtonCount = 32;
constexpr int PadAxisCount = 16; // the numbering has room for more axes than a pad drives
constexpr int DrivenAxisCount = 6;

struct TPad {
    SDL_Joystick* joystick = nullptr;
    SDL_JoystickID instance = -1;
    uint32_t buttons = 0;
    std::array<float, PadAxisCount> axes{};
};

struct TInputState {
    // Per virtual key: how many physical keys with that code are held (both Shift keys are code 16),
    // and the presses not yet read.
    std::array<int, KeyCount> keysHeld{};
    std::array<int, KeyCount> keyHits{};
    // Per scancode: the code its press counted under, 0 while up, so that its release undoes exactly that.
    std::array<uint8_t, SDL_NUM_SCANCODES> scancodeKey{};

    std::array<uint8_t, TypedQueueSize> typed{};
    int typedFirst = 0;
    int typedCount = 0;

    int windowX = 0;
    int windowY = 0;
    std::array<bool, 4> mouseButtons{};

    std::array<TPad, PadCount> pads;
    bool quit = false;
};

TInputState input;

// --- Keyboard events -----------------------------------------------------------------------------------

void pushTypedChar(int code) {
    if (code <= 0 || code > 255 || input.typedCount == TypedQueueSize) return;
    input.typed[(input.typedFirst + input.typedCount) % TypedQueueSize] = static_cast<uint8_t>(code);
    ++input.typedCount;
}

void onKeyDown(const SDL_KeyboardEvent& event) {
    const SDL_Scancode scancode = event.keysym.scancode;
    // Backspace repeats while held, as it does in any text field; Enter confirms once per press.
    if (scancode == SDL_SCANCODE_BACKSPACE) pushTypedChar(8);
    if (event.repeat) return;
    if (scancode == SDL_SCANCODE_RETURN || scancode == SDL_SCANCODE_KP_ENTER) pushTypedChar(13);
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES || input.scancodeKey[scancode] != 0) return;
    const int code = virtualKeyFromKeyEvent(scancode, event.keysym.sym);
    if (code <= 0 || code >= KeyCount) return;
    input.scancodeKey[scancode] = static_cast<uint8_t>(code);
    ++input.keysHeld[code];
    ++input.keyHits[code];
}

void onKeyUp(const SDL_KeyboardEvent& event) {
    const SDL_Scancode scancode = event.keysym.scancode;
    if (scancode < 0 || scancode >= SDL_NUM_SCANCODES) return;
    const int code = input.scancodeKey[scancode];
    if (code == 0) return; // pressed before the last clearKeyState
    input.scancodeKey[scancode] = 0;
    if (input.keysHeld[code] > 0) --input.keysHeld[code];
}

// Typed text arrives as UTF-8; the game's text is one byte a character, so characters beyond Latin-1
// are dropped.
void onTextInput(const char* text) {
    const auto* byte = reinterpret_cast<const unsigned char*>(text);
    while (*byte != 0) {
        if (*byte < 0x80) {
            pushTypedChar(*byte++);
        } else if ((*byte & 0xE0) == 0xC0 && (byte[1] & 0xC0) == 0x80) {
            const int code = ((byte[0] & 0x1F) << 6) | (byte[1] & 0x3F);
            if (code >= 0xA0) pushTypedChar(code);
            byte += 2;
        } else {
            ++byte;
            while ((*byte & 0xC0) == 0x80)
                ++byte;
        }
    }
}

// --- Mouse events --------------------------------------------------------------------------------------

int mouseButtonIndex(int sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT:
        return 1;
    case SDL_BUTTON_RIGHT:
        return 2;
    case SDL_BUTTON_MIDDLE:
        return 3;
    default:
        return 0;
    }
}

void onMouseButton(const SDL_MouseButtonEvent& event, bool down) {
    input.windowX = event.x;
    input.windowY = event.y;
    const int index = mouseButtonIndex(event.button);
    if (index != 0) input.mouseButtons[index] = down;
}

// --- Joypads -------------------------------------------------------------------------------------------

int padSlotOf(SDL_JoystickID instance) {
    for (int slot = 0; slot < PadCount; ++slot) {
        if (input.pads[slot].joystick && input.pads[slot].instance == instance) return slot;
    }
    return -1;
}

// A pad takes the first free slot, so pads are numbered in the order they were plugged in and a pad
// plugged back in after a pull takes its old number again.
void openPad(int deviceIndex) {
    if (padSlotOf(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0) return;
    for (TPad& pad : input.pads) {
        if (pad.joystick) continue;
        pad = TPad{};
        pad.joystick = SDL_JoystickOpen(deviceIndex);
        if (pad.joystick) pad.instance = SDL_JoystickInstanceID(pad.joystick);
        return;
    }
}

// A pulled pad reads as released at once: keeping its last state would leave the craft firing for ever.
void closePad(SDL_JoystickID instance) {
    const int slot = padSlotOf(instance);
    if (slot < 0) return;
    SDL_JoystickClose(input.pads[slot].joystick);
    input.pads[slot] = TPad{};
}

// Reads buttons and all axes at once; when the pad cannot be read the last values stay.
void readPad(TPad& pad) {
    if (!pad.joystick || SDL_WasInit(SDL_INIT_JOYSTICK) == 0 || !SDL_JoystickGetAttached(pad.joystick))
        return;
    uint32_t buttons = 0;
    const int buttonCount = SDL_JoystickNumButtons(pad.joystick);
    for (int button = 0; button < buttonCount && button < PadButtonCount; ++button) {
        if (SDL_JoystickGetButton(pad.joystick, button)) buttons |= 1u << button;
    }
    pad.buttons = buttons;
    const int axisCount = SDL_JoystickNumAxes(pad.joystick);
    for (int axis = 0; axis < DrivenAxisCount; ++axis) {
        if (axis >= axisCount) {
            pad.axes[axis] = 0;
            continue;
        }
        // SDL reports every axis over -32768..32767.
        const int raw = SDL_JoystickGetAxis(pad.joystick, axis);
        pad.axes[axis] = static_cast<float>(2.0 * (raw + 32768) / 65535.0 - 1.0);
    }
}

// --- The pump ------------------------------------------------------------------------------------------

void handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_QUIT:
        input.quit = true;
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) input.quit = true;
        break;
    case SDL_KEYDOWN:
        onKeyDown(event.key);
        break;
    case SDL_KEYUP:
        onKeyUp(event.key);
        break;
    case SDL_TEXTINPUT:
        onTextInput(event.text.text);
        break;
    case SDL_MOUSEMOTION:
        input.windowX = event.motion.x;
        input.windowY = event.motion.y;
        break;
    case SDL_MOUSEBUTTONDOWN:
        onMouseButton(event.button, true);
        break;
    case SDL_MOUSEBUTTONUP:
        onMouseButton(event.button, false);
        break;
    case SDL_JOYDEVICEADDED:
        openPad(event.jdevice.which);
        break;
    case SDL_JOYDEVICEREMOVED:
        closePad(event.jdevice.which);
        break;
    default:
        break;
    }
}

} // namespace

void startInputEvents(bool joysticksRestarted) {
    SDL_StartTextInput();
    if (joysticksRestarted) input.pads.fill(TPad{});
    if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0) {
        for (int device = 0; device < SDL_NumJoysticks(); ++device)
            openPad(device);
    }
}

void pumpEvents() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handleEvent(event);
}

// --- Queries -------------------------------------------------------------------------------------------

int keyHitCount(int code) {
    pumpEvents();
    if (code < 0 || code >= KeyCount) return 0;
    const int hits = input.keyHits[code];
    input.keyHits[code] = 0;
    return hits;
}

int isKeyDown(int code) {
    pumpEvents();
    if (code < 0 || code >= KeyCount) return 0;
    return input.keysHeld[code] > 0 ? 1 : 0;
}

int nextTypedChar() {
    pumpEvents();
    if (input.typedCount == 0) return 0;
    const int code = input.typed[input.typedFirst];
    input.typedFirst = (input.typedFirst + 1) % TypedQueueSize;
    --input.typedCount;
    return code;
}

void clearKeyState() {
    pumpEvents();
    input.keysHeld.fill(0);
    input.keyHits.fill(0);
    input.scancodeKey.fill(0);
    input.typedFirst = 0;
    input.typedCount = 0;
}

int pointerX() {
    pumpEvents();
    int x = 0, y = 0;
    logicalPointerFromWindow(input.windowX, input.windowY, &x, &y);
    return x;
}

int pointerY() {
    pumpEvents();
    int x = 0, y = 0;
    logicalPointerFromWindow(input.windowX, input.windowY, &x, &y);
    return y;
}

int isMouseButtonDown(int button) {
    pumpEvents();
    if (button < 1 || button > 3) return 0;
    return input.mouseButtons[button] ? 1 : 0;
}

int isPadButtonDown(int button, int pad) {
    pumpEvents();
    if (pad < 0 || pad >= PadCount || button < 0 || button >= PadButtonCount) return 0;
    readPad(input.pads[pad]);
    return (input.pads[pad].buttons >> button) & 1u;
}

float padAxis(int axis, int pad) {
    pumpEvents();
    if (pad < 0 || pad >= PadCount || axis < 0 || axis >= PadAxisCount) return 0;
    readPad(input.pads[pad]);
    return input.pads[pad].axes[axis];
}

bool quitRequested() {
    pumpEvents();
    return input.quit;
}
