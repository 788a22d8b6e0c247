// The page's events and the browser's Gamepad API as the core's input. Events arrive whenever the
// browser has them, between animation frames; they are queued as input records and handed to the core
// at the next event pump, as a device's events would be.
//
// Sections: keys and mouse · joypads · pump.
#include "platform/web/web_backend.h"

#include "platform/backend.h"
#include "platform/input_events.h"

#include <emscripten/html5.h>

#include <array>
#include <cstring>
#include <deque>
#include <string_view>

namespace {

std::deque<TInputRecord> queued;

// --- Keys and mouse ------------------------------------------------------------------------------------

bool isFullScreenToggle(const EmscriptenKeyboardEvent& event, int scancode) {
    if (scancode == Scancode::F1 + 10) return true;
    const bool enter = scancode == Scancode::Return || scancode == Scancode::KeypadEnter;
    return enter && event.altKey;
}

// One printable character, as the desktop's text input gives it; the browser's key names ("Enter",
// "ArrowLeft") are longer than one character.
bool isTypedCharacter(const EmscriptenKeyboardEvent& event) {
    if (event.ctrlKey || event.metaKey) return false;
    const std::string_view key = event.key;
    if (key.empty() || static_cast<unsigned char>(key[0]) < 32 || key[0] == 127) return false;
    const unsigned char lead = static_cast<unsigned char>(key[0]);
    const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    return key.size() == length;
}

EM_BOOL onKey(int type, const EmscriptenKeyboardEvent* event, void*) {
    const int scancode = scancodeFromDomCode(event->code);
    const bool down = type == EMSCRIPTEN_EVENT_KEYDOWN;
    // Escape is no gesture to a browser: audio may not start on it.
    if (down && scancode != Scancode::Escape) gestureSeen();
    // Switching to full screen is the page's own business: the game never sees those keys, so the
    // Enter of Alt+Enter does not confirm a menu entry too.
    if (isFullScreenToggle(*event, scancode)) {
        if (down && !event->repeat) toggleFullScreen();
        return EM_TRUE;
    }
    // The browser keeps its own shortcuts (reload, developer tools, anything with Ctrl or Cmd).
    if (scancode == 0 || scancode == Scancode::F1 + 4 || scancode == Scancode::F1 + 11 || event->ctrlKey ||
        event->metaKey)
        return EM_FALSE;
    TInputRecord record;
    record.kind = down ? InputKind::KeyDown : InputKind::KeyUp;
    record.code = scancode;
    record.key = keycodeFromDomKey(event->key);
    record.flag = event->repeat ? 1 : 0;
    queued.push_back(record);
    if (down && isTypedCharacter(*event)) {
        TInputRecord text;
        text.kind = InputKind::Text;
        text.text = event->key;
        queued.push_back(text);
    }
    // Cursor keys and Space would scroll the page, Backspace could leave it.
    return EM_TRUE;
}

int mouseButtonIndex(unsigned short domButton) {
    switch (domButton) {
    case 0:
        return 1;
    case 2:
        return 2;
    case 1:
        return 3;
    default:
        return 0;
    }
}

EM_BOOL onMouse(int type, const EmscriptenMouseEvent* event, void*) {
    TInputRecord record;
    logicalPointerFromPage(event->clientX, event->clientY, &record.x, &record.y);
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        record.kind = InputKind::Pointer;
    } else {
        record.kind = InputKind::MouseButton;
        record.code = mouseButtonIndex(event->button);
        record.flag = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? 1 : 0;
        if (record.flag) gestureSeen();
        if (record.code == 0) return EM_FALSE;
    }
    queued.push_back(record);
    return type == EMSCRIPTEN_EVENT_MOUSEDOWN ? EM_TRUE : EM_FALSE;
}

void focusLost() {
    TInputRecord record;
    record.kind = InputKind::FocusLost;
    queued.push_back(record);
}

EM_BOOL onBlur(int, const EmscriptenFocusEvent*, void*) {
    focusLost();
    return EM_FALSE;
}

EM_BOOL onVisibility(int, const EmscriptenVisibilityChangeEvent* event, void*) {
    if (!event->hidden) return EM_FALSE;
    focusLost();
    pageLeaving();
    return EM_FALSE;
}

const char* onBeforeUnload(int, const void*, void*) {
    pageLeaving();
    return nullptr; // no question to the player
}

// --- Joypads -------------------------------------------------------------------------------------------

constexpr int PadCount = PadSlots; // the core numbers the slots for every backend
constexpr int PadButtonCount = 32;
constexpr int DrivenAxisCount = 6;

struct TPadDevice {
    bool open = false;
    long browserIndex = -1;
    EmscriptenGamepadEvent state{};
};

std::array<TPadDevice, PadCount> pads;
long sampledFrame = -1;

// The browser's standard layout is the one SDL's database gives a known pad, in the same raw numbers.
TPadLayout layoutOf(const EmscriptenGamepadEvent& state) {
    TPadLayout layout;
    if (std::strcmp(state.mapping, "standard") != 0) return layout;
    layout.known = true;
    layout.leftX = 0;
    layout.leftY = 1;
    layout.rightX = 2;
    layout.rightY = 3;
    layout.south = 0;
    layout.east = 1;
    layout.rightShoulder = 5;
    layout.start = 9;
    return layout;
}

int slotOf(long browserIndex) {
    for (int slot = 0; slot < PadCount; ++slot) {
        if (pads[slot].open && pads[slot].browserIndex == browserIndex) return slot;
    }
    return -1;
}

// A pad takes the first free slot, so pads are numbered in the order they were plugged in, and its
// arrival is told as on the desktop: that it is there, then where its controls are.
void padArrived(const EmscriptenGamepadEvent& state) {
    for (int slot = 0; slot < PadCount; ++slot) {
        if (pads[slot].open) continue;
        pads[slot] = TPadDevice{true, state.index, state};
        const TPadLayout layout = layoutOf(state);
        padPlugged(slot, layout);
        for (const TInputRecord& record : padArrival(slot, layout))
            deliverInput(record);
        return;
    }
}

// A pulled pad reads as released at once: keeping its last state would leave the craft firing for ever.
void padLeft(int slot) {
    pads[slot] = TPadDevice{};
    padUnplugged(slot);
    TInputRecord removed;
    removed.kind = InputKind::PadRemoved;
    removed.code = slot;
    deliverInput(removed);
}

// Once per animation frame: the Gamepad API is polled, and every query pumps.
void sampleGamepads() {
    if (sampledFrame == animationFrameNumber()) return;
    sampledFrame = animationFrameNumber();
    if (emscripten_sample_gamepad_data() != EMSCRIPTEN_RESULT_SUCCESS) return;
    const int count = emscripten_get_num_gamepads();
    std::array<bool, PadCount> seen{};
    for (int index = 0; index < count; ++index) {
        EmscriptenGamepadEvent state;
        if (emscripten_get_gamepad_status(index, &state) != EMSCRIPTEN_RESULT_SUCCESS || !state.connected)
            continue;
        int slot = slotOf(state.index);
        if (slot < 0) {
            padArrived(state);
            slot = slotOf(state.index);
        }
        if (slot < 0) continue;
        pads[slot].state = state;
        seen[slot] = true;
    }
    for (int slot = 0; slot < PadCount; ++slot) {
        if (pads[slot].open && !seen[slot]) padLeft(slot);
    }
}

} // namespace

void startInputEvents() {
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onKey);
    // Pressed on the picture only (the page's buttons are no clicks of the game's), moved and released
    // anywhere, so a button let go of over the bars is not held for ever.
    emscripten_set_mousedown_callback("#screen", nullptr, EM_FALSE, onMouse);
    emscripten_set_mouseup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onMouse);
    emscripten_set_mousemove_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onMouse);
    emscripten_set_blur_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, EM_FALSE, onBlur);
    emscripten_set_visibilitychange_callback(nullptr, EM_FALSE, onVisibility);
    emscripten_set_beforeunload_callback(nullptr, onBeforeUnload);
}

void backendPumpEvents() {
    sampleGamepads();
    while (!queued.empty()) {
        const TInputRecord record = std::move(queued.front());
        queued.pop_front();
        deliverInput(record);
    }
}

void backendDropEvents() {
    queued.clear();
}

bool backendReadPad(int slot, TPadReading& reading) {
    if (slot < 0 || slot >= PadCount || !pads[slot].open) return false;
    const EmscriptenGamepadEvent& state = pads[slot].state;
    reading = TPadReading{};
    for (int button = 0; button < state.numButtons && button < PadButtonCount; ++button) {
        if (state.digitalButton[button]) reading.buttons |= 1u << button;
    }
    for (int axis = 0; axis < DrivenAxisCount && axis < state.numAxes; ++axis)
        reading.axes[axis] = static_cast<float>(state.axis[axis]);
    return true;
}
