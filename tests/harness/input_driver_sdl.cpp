#include "harness/input_driver.h"

#include "platform/input_events.h"
#include "platform/sdl/sdl_backend.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {

SDL_Scancode scancodeFor(int virtualKey) {
    for (int scancode = 0; scancode < SDL_NUM_SCANCODES; ++scancode) {
        if (virtualKeyFromScancode(scancode) == virtualKey) return static_cast<SDL_Scancode>(scancode);
    }
    return SDL_SCANCODE_UNKNOWN;
}

// Button events carry the pointer position too; SDL's own record does not see pushed motion.
int lastWindowX = 0;
int lastWindowY = 0;

Uint32 gameWindowId() {
    return platformWindow() ? SDL_GetWindowID(platformWindow()) : 0;
}

void pushScancodeEvent(SDL_Scancode scancode, bool down, bool repeat, Uint16 modifiers) {
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.windowID = gameWindowId();
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    event.key.keysym.mod = modifiers;
    SDL_PushEvent(&event);
}

void pushKeyEvent(int virtualKey, bool down, bool repeat) {
    pushScancodeEvent(scancodeFor(virtualKey), down, repeat, KMOD_NONE);
}

// Marks the focus events the tests send, so that the window system's own can be told from them.
constexpr Sint32 HarnessWindowEvent = 0x4b56;

void pushWindowEvent(SDL_WindowEventID what) {
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = gameWindowId();
    event.window.event = what;
    event.window.data1 = HarnessWindowEvent;
    SDL_PushEvent(&event);
}

// Test processes that share one X server take the focus from each other; only the focus losses a test
// sends itself may pause its game.
int dropWindowSystemFocusLosses(void*, SDL_Event* event) {
    if (event->type != SDL_WINDOWEVENT) return 1;
    const bool focusLoss =
        event->window.event == SDL_WINDOWEVENT_FOCUS_LOST || event->window.event == SDL_WINDOWEVENT_MINIMIZED;
    return !focusLoss || event->window.data1 == HarnessWindowEvent;
}

// The inverse of the letterbox mapping: where the 800 x 600 picture sits in the window.
void windowFromLogical(int x, int y, int* windowX, int* windowY) {
    int width = 800, height = 600;
    if (platformWindow()) SDL_GetWindowSize(platformWindow(), &width, &height);
    const float scale = std::min(width / 800.0f, height / 600.0f);
    *windowX = static_cast<int>(std::lround((width - 800 * scale) / 2 + (x + 0.5f) * scale - 0.5f));
    *windowY = static_cast<int>(std::lround((height - 600 * scale) / 2 + (y + 0.5f) * scale - 0.5f));
}

} // namespace

// Declared where it is used (the display fixture, the input tests): the harness's header stays as it is.
void ignoreWindowSystemFocus();

void useTestDrivers() {
    const char* video = std::getenv("KELVANOR_TEST_VIDEO");
    setenv("SDL_VIDEODRIVER", video && *video ? video : "offscreen", 1);
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    // An offscreen window never has the keyboard focus, and SDL ignores joysticks of unfocused programs.
    setenv("SDL_JOYSTICK_ALLOW_BACKGROUND_EVENTS", "1", 1);
    ignoreWindowSystemFocus();
}

void ignoreWindowSystemFocus() {
    SDL_SetEventFilter(dropWindowSystemFocusLosses, nullptr);
}

void pressKey(int virtualKey, bool repeat) {
    pushKeyEvent(virtualKey, true, repeat);
}

void releaseKey(int virtualKey) {
    pushKeyEvent(virtualKey, false, false);
}

void tapKey(int virtualKey) {
    pressKey(virtualKey);
    releaseKey(virtualKey);
}

void tapAltEnter() {
    pushScancodeEvent(SDL_SCANCODE_LALT, true, false, KMOD_LALT);
    pushScancodeEvent(SDL_SCANCODE_RETURN, true, false, KMOD_LALT);
    pushScancodeEvent(SDL_SCANCODE_RETURN, false, false, KMOD_LALT);
    pushScancodeEvent(SDL_SCANCODE_LALT, false, false, KMOD_NONE);
}

void tapF11() {
    pushScancodeEvent(SDL_SCANCODE_F11, true, false, KMOD_NONE);
    pushScancodeEvent(SDL_SCANCODE_F11, false, false, KMOD_NONE);
}

void loseWindowFocus() {
    pushWindowEvent(SDL_WINDOWEVENT_FOCUS_LOST);
}

void minimiseWindow() {
    pushWindowEvent(SDL_WINDOWEVENT_MINIMIZED);
}

void typeText(std::string_view text) {
    // One event per character, as a keyboard delivers them.
    size_t at = 0;
    while (at < text.size()) {
        size_t length = 1;
        while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) {
            ++length;
        }
        SDL_Event event{};
        event.type = SDL_TEXTINPUT;
        event.text.windowID = gameWindowId();
        const std::string character(text.substr(at, length));
        SDL_strlcpy(event.text.text, character.c_str(), sizeof event.text.text);
        SDL_PushEvent(&event);
        at += length;
    }
}

void moveMouse(int x, int y) {
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = gameWindowId();
    windowFromLogical(x, y, &event.motion.x, &event.motion.y);
    event.motion.xrel = event.motion.x - lastWindowX;
    event.motion.yrel = event.motion.y - lastWindowY;
    lastWindowX = event.motion.x;
    lastWindowY = event.motion.y;
    SDL_PushEvent(&event);
}

void mouseButton(int button, bool down) {
    static const Uint8 sdlButtons[] = {0, SDL_BUTTON_LEFT, SDL_BUTTON_RIGHT, SDL_BUTTON_MIDDLE};
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.windowID = gameWindowId();
    event.button.button = button >= 1 && button <= 3 ? sdlButtons[button] : 0;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = lastWindowX;
    event.button.y = lastWindowY;
    SDL_PushEvent(&event);
}

bool addControllerMapping(const std::string& line) {
    return SDL_GameControllerAddMapping(line.c_str()) >= 0;
}

struct TVirtualPad::TDevice {
    SDL_Joystick* joystick = nullptr;
};

TVirtualPad::TVirtualPad(PadKind kind, const char* name) {
    int deviceIndex = -1;
    if (kind == PadKind::GameController) {
        deviceIndex = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 6, 32, 0);
    } else {
        SDL_VirtualJoystickDesc desc{};
        desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
        desc.type = SDL_JOYSTICK_TYPE_UNKNOWN;
        desc.naxes = 6;
        desc.nbuttons = 32;
        desc.name = name;
        deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
    }
    if (deviceIndex < 0) return;
    SDL_Joystick* joystick = SDL_JoystickOpen(deviceIndex);
    if (joystick) device = new TDevice{joystick};
}

std::string TVirtualPad::guid() const {
    if (!device) return {};
    char text[64];
    SDL_JoystickGetGUIDString(SDL_JoystickGetGUID(device->joystick), text, sizeof text);
    // SDL puts a checksum of the name in the third and fourth bytes; database lines leave it at zero.
    std::string guid = text;
    if (guid.size() >= 8) guid.replace(4, 4, "0000");
    return guid;
}

TVirtualPad::~TVirtualPad() {
    unplug();
}

void TVirtualPad::setAxis(int axis, float value) {
    if (!device) return;
    const float clamped = std::clamp(value, -1.0f, 1.0f);
    const long raw = std::lround((clamped + 1.0f) / 2.0f * 65535.0f) - 32768;
    SDL_JoystickSetVirtualAxis(device->joystick, axis, static_cast<Sint16>(raw));
}

void TVirtualPad::setButton(int button, bool down) {
    if (!device) return;
    SDL_JoystickSetVirtualButton(device->joystick, button, down ? SDL_PRESSED : SDL_RELEASED);
}

void TVirtualPad::unplug() {
    if (!device) return;
    // The virtual driver numbers its devices among all joysticks; find ours again by instance.
    const SDL_JoystickID instance = SDL_JoystickInstanceID(device->joystick);
    SDL_JoystickClose(device->joystick);
    delete device;
    device = nullptr;
    for (int index = 0; index < SDL_NumJoysticks(); ++index) {
        if (SDL_JoystickGetDeviceInstanceID(index) == instance) {
            SDL_JoystickDetachVirtual(index);
            break;
        }
    }
}
