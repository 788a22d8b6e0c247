// SDL's events and joysticks as the core's input: every event the game cares about becomes an input record
// handed to deliverInput, and the joypad queries read SDL's joysticks.
//
// Sections: keys · joypads · events.
#include "platform/sdl/sdl_backend.h"

#include "platform/backend.h"
#include "platform/input_events.h"
#include "platform/platform_internal.h"

#include <SDL.h>

#include <array>

namespace {

// --- Keys ----------------------------------------------------------------------------------------------

// The core's scancodes are the USB HID usages, and so are SDL's; recordings hold them as numbers.
static_assert(
    Scancode::A == SDL_SCANCODE_A && Scancode::Digit1 == SDL_SCANCODE_1 &&
        Scancode::Digit0 == SDL_SCANCODE_0 && Scancode::Return == SDL_SCANCODE_RETURN &&
        Scancode::Escape == SDL_SCANCODE_ESCAPE && Scancode::Backspace == SDL_SCANCODE_BACKSPACE &&
        Scancode::Tab == SDL_SCANCODE_TAB && Scancode::Space == SDL_SCANCODE_SPACE &&
        Scancode::Minus == SDL_SCANCODE_MINUS && Scancode::Equals == SDL_SCANCODE_EQUALS &&
        Scancode::LeftBracket == SDL_SCANCODE_LEFTBRACKET &&
        Scancode::RightBracket == SDL_SCANCODE_RIGHTBRACKET &&
        Scancode::Backslash == SDL_SCANCODE_BACKSLASH && Scancode::Semicolon == SDL_SCANCODE_SEMICOLON &&
        Scancode::Apostrophe == SDL_SCANCODE_APOSTROPHE && Scancode::Grave == SDL_SCANCODE_GRAVE &&
        Scancode::Comma == SDL_SCANCODE_COMMA && Scancode::Period == SDL_SCANCODE_PERIOD &&
        Scancode::Slash == SDL_SCANCODE_SLASH && Scancode::CapsLock == SDL_SCANCODE_CAPSLOCK &&
        Scancode::F1 == SDL_SCANCODE_F1 && SDL_SCANCODE_F12 == Scancode::F1 + 11 &&
        Scancode::PrintScreen == SDL_SCANCODE_PRINTSCREEN &&
        Scancode::ScrollLock == SDL_SCANCODE_SCROLLLOCK && Scancode::Pause == SDL_SCANCODE_PAUSE &&
        Scancode::Insert == SDL_SCANCODE_INSERT && Scancode::Home == SDL_SCANCODE_HOME &&
        Scancode::PageUp == SDL_SCANCODE_PAGEUP && Scancode::Delete == SDL_SCANCODE_DELETE &&
        Scancode::End == SDL_SCANCODE_END && Scancode::PageDown == SDL_SCANCODE_PAGEDOWN &&
        Scancode::Right == SDL_SCANCODE_RIGHT && Scancode::Left == SDL_SCANCODE_LEFT &&
        Scancode::Down == SDL_SCANCODE_DOWN && Scancode::Up == SDL_SCANCODE_UP &&
        Scancode::NumLock == SDL_SCANCODE_NUMLOCKCLEAR && Scancode::KeypadDivide == SDL_SCANCODE_KP_DIVIDE &&
        Scancode::KeypadMultiply == SDL_SCANCODE_KP_MULTIPLY &&
        Scancode::KeypadMinus == SDL_SCANCODE_KP_MINUS && Scancode::KeypadPlus == SDL_SCANCODE_KP_PLUS &&
        Scancode::KeypadEnter == SDL_SCANCODE_KP_ENTER && Scancode::Keypad1 == SDL_SCANCODE_KP_1 &&
        Scancode::Keypad0 == SDL_SCANCODE_KP_0 && Scancode::KeypadPeriod == SDL_SCANCODE_KP_PERIOD &&
        Scancode::NonUsBackslash == SDL_SCANCODE_NONUSBACKSLASH &&
        Scancode::Application == SDL_SCANCODE_APPLICATION && Scancode::LeftCtrl == SDL_SCANCODE_LCTRL &&
        Scancode::LeftShift == SDL_SCANCODE_LSHIFT && Scancode::LeftAlt == SDL_SCANCODE_LALT &&
        Scancode::LeftGui == SDL_SCANCODE_LGUI && Scancode::RightCtrl == SDL_SCANCODE_RCTRL &&
        Scancode::RightShift == SDL_SCANCODE_RSHIFT && Scancode::RightAlt == SDL_SCANCODE_RALT &&
        Scancode::RightGui == SDL_SCANCODE_RGUI && Scancode::Count == SDL_NUM_SCANCODES,
    "the core's scancodes must be SDL's");
static_assert(SDLK_a == 'a' && SDLK_z == 'z', "letter keycodes are the lower-case letters");

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

// --- Joypads -------------------------------------------------------------------------------------------

constexpr int PadCount = PadSlots; // the core numbers the slots for every backend
constexpr int PadButtonCount = 32;
constexpr int DrivenAxisCount = 6;

struct TPadDevice {
    SDL_Joystick* joystick = nullptr;
    SDL_JoystickID instance = -1;
    TPadLayout layout; // what the game-controller database said when the pad arrived
};

std::array<TPadDevice, PadCount> pads;

int padSlotOf(SDL_JoystickID instance) {
    for (int slot = 0; slot < PadCount; ++slot) {
        if (pads[slot].joystick && pads[slot].instance == instance) return slot;
    }
    return -1;
}

int axisBound(SDL_GameController* controller, SDL_GameControllerAxis axis) {
    const SDL_GameControllerButtonBind bind = SDL_GameControllerGetBindForAxis(controller, axis);
    return bind.bindType == SDL_CONTROLLER_BINDTYPE_AXIS ? bind.value.axis : -1;
}

int buttonBound(SDL_GameController* controller, SDL_GameControllerButton button) {
    const SDL_GameControllerButtonBind bind = SDL_GameControllerGetBindForButton(controller, button);
    return bind.bindType == SDL_CONTROLLER_BINDTYPE_BUTTON ? bind.value.button : -1;
}

// The database is asked once, when the pad arrives; the game goes on reading the raw joystick.
TPadLayout layoutFromDatabase(int deviceIndex) {
    TPadLayout layout;
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) == 0 || !SDL_IsGameController(deviceIndex)) return layout;
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (!controller) return layout;
    layout.known = true;
    layout.leftX = axisBound(controller, SDL_CONTROLLER_AXIS_LEFTX);
    layout.leftY = axisBound(controller, SDL_CONTROLLER_AXIS_LEFTY);
    layout.rightX = axisBound(controller, SDL_CONTROLLER_AXIS_RIGHTX);
    layout.rightY = axisBound(controller, SDL_CONTROLLER_AXIS_RIGHTY);
    layout.rightShoulder = buttonBound(controller, SDL_CONTROLLER_BUTTON_RIGHTSHOULDER);
    layout.start = buttonBound(controller, SDL_CONTROLLER_BUTTON_START);
    layout.south = buttonBound(controller, SDL_CONTROLLER_BUTTON_A);
    layout.east = buttonBound(controller, SDL_CONTROLLER_BUTTON_B);
    SDL_GameControllerClose(controller);
    return layout;
}

// A pad takes the first free slot, so pads are numbered in the order they were plugged in and a pad
// plugged back in after a pull takes its old number again.
void openPad(int deviceIndex) {
    if (padSlotOf(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0) return;
    for (int slot = 0; slot < PadCount; ++slot) {
        TPadDevice& pad = pads[slot];
        if (pad.joystick) continue;
        pad = TPadDevice{};
        pad.joystick = SDL_JoystickOpen(deviceIndex);
        if (!pad.joystick) return;
        pad.instance = SDL_JoystickInstanceID(pad.joystick);
        pad.layout = layoutFromDatabase(deviceIndex);
        padPlugged(slot, pad.layout);
        return;
    }
}

// A pad's arrival as the game learns it: that it is there, then where its controls are.
void deliverPadArrival(int slot) {
    const TPadLayout layout = slot >= 0 ? pads[slot].layout : TPadLayout{};
    for (const TInputRecord& record : padArrival(slot, layout))
        deliverInput(record);
}

// A pulled pad reads as released at once: keeping its last state would leave the craft firing for ever.
void closePad(SDL_JoystickID instance) {
    const int slot = padSlotOf(instance);
    if (slot < 0) return;
    SDL_JoystickClose(pads[slot].joystick);
    pads[slot] = TPadDevice{};
    padUnplugged(slot);
}

// --- Events --------------------------------------------------------------------------------------------

bool isFullScreenToggle(const SDL_Keysym& key) {
    if (key.scancode == SDL_SCANCODE_F11) return true;
    const bool enter = key.scancode == SDL_SCANCODE_RETURN || key.scancode == SDL_SCANCODE_KP_ENTER;
    return enter && (key.mod & KMOD_ALT) != 0;
}

// Every event the game cares about as an input record; the joypad device events also open and close the
// pad here, since a replay has no device to open.
void handleEvent(const SDL_Event& event) {
    TInputRecord record;
    switch (event.type) {
    case SDL_QUIT:
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST ||
            event.window.event == SDL_WINDOWEVENT_MINIMIZED)
            record.kind = InputKind::FocusLost;
        else if (event.window.event != SDL_WINDOWEVENT_CLOSE)
            return;
        break;
    case SDL_KEYDOWN:
        // Switching the window is the platform's own business: the game never sees those keys, so the
        // Enter of Alt+Enter does not confirm a menu entry too.
        if (isFullScreenToggle(event.key.keysym)) {
            if (!event.key.repeat) toggleFullScreen();
            return;
        }
        [[fallthrough]];
    case SDL_KEYUP:
        record.kind = event.type == SDL_KEYDOWN ? InputKind::KeyDown : InputKind::KeyUp;
        record.code = event.key.keysym.scancode;
        record.key = event.key.keysym.sym;
        record.flag = event.key.repeat;
        break;
    case SDL_TEXTINPUT:
        record.kind = InputKind::Text;
        record.text = event.text.text;
        break;
    case SDL_MOUSEMOTION:
        record.kind = InputKind::Pointer;
        logicalPointerFromWindow(event.motion.x, event.motion.y, &record.x, &record.y);
        break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        record.kind = InputKind::MouseButton;
        record.code = mouseButtonIndex(event.button.button);
        record.flag = event.type == SDL_MOUSEBUTTONDOWN;
        logicalPointerFromWindow(event.button.x, event.button.y, &record.x, &record.y);
        break;
    case SDL_JOYDEVICEADDED:
        openPad(event.jdevice.which);
        deliverPadArrival(padSlotOf(SDL_JoystickGetDeviceInstanceID(event.jdevice.which)));
        return;
    case SDL_JOYDEVICEREMOVED:
        record.kind = InputKind::PadRemoved;
        record.code = padSlotOf(event.jdevice.which);
        closePad(event.jdevice.which);
        break;
    default:
        return;
    }
    deliverInput(record);
}

} // namespace

void startInputEvents(bool joysticksRestarted) {
    SDL_StartTextInput();
    if (joysticksRestarted) {
        pads.fill(TPadDevice{});
        resetPads();
    }
    // A player's own additions to SDL's database, beside the game; SDL reads SDL_GAMECONTROLLERCONFIG
    // by itself.
    if (SDL_WasInit(SDL_INIT_GAMECONTROLLER) != 0)
        SDL_GameControllerAddMappingsFromFile("gamecontrollerdb.txt");
    if (SDL_WasInit(SDL_INIT_JOYSTICK) != 0) {
        for (int device = 0; device < SDL_NumJoysticks(); ++device)
            openPad(device);
    }
}

void backendPumpEvents() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
    SDL_Event event;
    while (SDL_PollEvent(&event))
        handleEvent(event);
}

// A replay takes no live input; a request to close still ends it, since it may run for a while.
void backendDropEvents() {
    if (SDL_WasInit(SDL_INIT_EVENTS) == 0) return;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) endProcess(130);
    }
}

bool backendReadPad(int slot, TPadReading& reading) {
    if (slot < 0 || slot >= PadCount) return false;
    SDL_Joystick* joystick = pads[slot].joystick;
    if (!joystick || SDL_WasInit(SDL_INIT_JOYSTICK) == 0 || !SDL_JoystickGetAttached(joystick)) return false;
    reading = TPadReading{};
    const int buttonCount = SDL_JoystickNumButtons(joystick);
    for (int button = 0; button < buttonCount && button < PadButtonCount; ++button) {
        if (SDL_JoystickGetButton(joystick, button)) reading.buttons |= 1u << button;
    }
    const int axisCount = SDL_JoystickNumAxes(joystick);
    for (int axis = 0; axis < DrivenAxisCount && axis < axisCount; ++axis) {
        // SDL reports every axis over -32768..32767.
        const int raw = SDL_JoystickGetAxis(joystick, axis);
        reading.axes[axis] = static_cast<float>(2.0 * (raw + 32768) / 65535.0 - 1.0);
    }
    return true;
}
