// Keyboard, mouse and joypad state, kept up to date by the event pump that every query runs first.
//
// Sections: state · keyboard events · mouse events · joypads · input records · the pump · queries.
//
// Keys and mouse buttons are tracked from the events themselves rather than from a backend's snapshot of
// the keyboard, so that a press and release between two frames still counts as a hit. Every event arrives
// from the backend as an input record, so that a recording can write it down and a replay can feed the
// same handlers; joypad values are recorded as the queries see them, since they are read from the device
// rather than taken from events.
#include "platform/input.h"

#include "platform/backend.h"
#include "platform/input_events.h"
#include "platform/input_state.h"
#include "platform/platform_internal.h"
#include "platform/replay.h"
#include "platform/replay_hooks.h"
#include "platform/run_tape.h"

#include <array>
#include <cstdint>
#include <vector>

namespace {

// --- State ---------------------------------------------------------------------------------------------

// The joypad values a recording has written down so far, per pad slot.
struct TPadSeen {
    uint32_t buttons = 0;
    std::array<float, InputLimits::DrivenAxisCount> axes{};
};

TInputState input;
std::array<TPadSeen, InputLimits::PadCount> padsSeen;

// --- Keyboard events -----------------------------------------------------------------------------------

void pushTypedChar(int code) {
    if (code <= 0 || code > 255 || input.typedCount == InputLimits::TypedQueueSize) return;
    input.typed[(input.typedFirst + input.typedCount) % InputLimits::TypedQueueSize] =
        static_cast<uint8_t>(code);
    ++input.typedCount;
}

void onKeyDown(int scancode, int keycode, bool repeat) {
    // Backspace repeats while held, as it does in any text field; Enter confirms once per press.
    if (scancode == Scancode::Backspace) pushTypedChar(8);
    if (repeat) return;
    if (scancode == Scancode::Return || scancode == Scancode::KeypadEnter) pushTypedChar(13);
    if (scancode < 0 || scancode >= Scancode::Count || input.scancodeKey[scancode] != 0) return;
    const int code = virtualKeyFromKeyEvent(scancode, keycode);
    if (code <= 0 || code >= InputLimits::KeyCount) return;
    input.scancodeKey[scancode] = static_cast<uint8_t>(code);
    ++input.keysHeld[code];
    ++input.keyHits[code];
}

void onKeyUp(int scancode) {
    if (scancode < 0 || scancode >= Scancode::Count) return;
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

// --- Window focus --------------------------------------------------------------------------------------

// Whatever was held when the focus went is let go in the window the player went to, and that release never
// comes here: it is taken as given, or the craft would fly on with the key.
void onFocusLost() {
    input.keysHeld.fill(0);
    input.scancodeKey.fill(0);
    input.mouseButtons.fill(false);
    ++input.focusLosses;
}

// --- Mouse events --------------------------------------------------------------------------------------

void onPointer(int x, int y) {
    input.pointerAtX = x;
    input.pointerAtY = y;
}

void onMouseButton(int index, bool down, int x, int y) {
    onPointer(x, y);
    if (index >= 1 && index <= 3) input.mouseButtons[index] = down;
}

// --- Joypads -------------------------------------------------------------------------------------------

} // namespace

TPadArrival padArrival(int slot, const TPadLayout& layout) {
    TPadArrival arrival;
    arrival.records[0].kind = InputKind::PadAdded;
    arrival.records[0].code = slot;
    if (!layout.known) return arrival;
    // The layout's numbers in their declared order, as the record carries them.
    const TPadLayout& l = layout;
    arrival.records[1].kind = InputKind::PadLayout;
    arrival.records[1].code = slot;
    arrival.records[1].layout = {l.leftX,         l.leftY, l.rightX, l.rightY,
                                 l.rightShoulder, l.start, l.south,  l.east};
    arrival.count = 2;
    return arrival;
}

namespace {

TPadLayout layoutFromNumbers(const std::array<int, 8>& n) {
    TPadLayout l;
    l.known = true;
    l.leftX = n[0], l.leftY = n[1], l.rightX = n[2], l.rightY = n[3];
    l.rightShoulder = n[4], l.start = n[5], l.south = n[6], l.east = n[7];
    return l;
}

// Reads buttons and all axes at once; when the pad cannot be read the last values stay.
void readPad(int slot) {
    TPadReading reading;
    if (!backendReadPad(slot, reading)) return;
    TPad& pad = input.pads[slot];
    pad.buttons = reading.buttons;
    for (int axis = 0; axis < InputLimits::DrivenAxisCount; ++axis)
        pad.axes[axis] = reading.axes[axis];
}

// The values a query is about to answer from, written down where they changed since the last time.
void recordPadValues(int slot) {
    if (!isRecording()) return;
    const TPad& pad = input.pads[slot];
    TPadSeen& seen = padsSeen[slot];
    if (pad.buttons != seen.buttons) {
        TInputRecord record;
        record.kind = InputKind::PadButtons;
        record.code = slot;
        record.bits = pad.buttons;
        recordInput(record);
        seen.buttons = pad.buttons;
    }
    for (int axis = 0; axis < InputLimits::DrivenAxisCount; ++axis) {
        if (pad.axes[axis] == seen.axes[axis]) continue;
        TInputRecord record;
        record.kind = InputKind::PadAxis;
        record.code = slot;
        record.key = axis;
        record.value = pad.axes[axis];
        recordInput(record);
        seen.axes[axis] = pad.axes[axis];
    }
}

// A replay answers from the recorded values alone, whatever pads this machine has.
void readPadForQuery(int slot) {
    if (isReplaying() || runTapePlaying()) return;
    readPad(slot);
    recordPadValues(slot);
    runTapeSeesPad(slot);
}

// --- Input records -------------------------------------------------------------------------------------

void applyInput(const TInputRecord& record) {
    runTapeSeesInput(record);
    switch (record.kind) {
    case InputKind::Quit:
        input.quit = true;
        break;
    case InputKind::KeyDown:
        onKeyDown(record.code, record.key, record.flag != 0);
        break;
    case InputKind::KeyUp:
        onKeyUp(record.code);
        break;
    case InputKind::Text:
        onTextInput(record.text.c_str());
        break;
    case InputKind::Pointer:
        onPointer(record.x, record.y);
        break;
    case InputKind::MouseButton:
        onMouseButton(record.code, record.flag != 0, record.x, record.y);
        break;
    case InputKind::PadButtons:
        if (record.code >= 0 && record.code < InputLimits::PadCount)
            input.pads[record.code].buttons = record.bits;
        break;
    case InputKind::PadAxis:
        if (record.code >= 0 && record.code < InputLimits::PadCount && record.key >= 0 &&
            record.key < InputLimits::DrivenAxisCount)
            input.pads[record.code].axes[record.key] = record.value;
        break;
    case InputKind::FocusLost:
        onFocusLost();
        break;
    case InputKind::PadAdded:
    case InputKind::PadRemoved:
        // The pad's values are recorded on their own; these two tell the game whether it is there, and a
        // new pad is unknown to the database until its layout record says otherwise.
        if (record.code >= 0 && record.code < InputLimits::PadCount) {
            input.pads[record.code].present = record.kind == InputKind::PadAdded;
            input.pads[record.code].layout = TPadLayout{};
        }
        break;
    case InputKind::PadLayout:
        if (record.code >= 0 && record.code < InputLimits::PadCount)
            input.pads[record.code].layout = layoutFromNumbers(record.layout);
        break;
    }
}

void takeInput(const TInputRecord& record) {
    recordInput(record);
    applyInput(record);
}

} // namespace

void beginInputRecording() {
    padsSeen.fill(TPadSeen{});
    // The pointer's place before the first event is part of the run.
    TInputRecord pointer;
    pointer.kind = InputKind::Pointer;
    pointer.x = input.pointerAtX;
    pointer.y = input.pointerAtY;
    recordInput(pointer);
    for (int button = 1; button <= 3; ++button) {
        if (!input.mouseButtons[button]) continue;
        TInputRecord held;
        held.kind = InputKind::MouseButton;
        held.code = button;
        held.flag = 1;
        held.x = input.pointerAtX;
        held.y = input.pointerAtY;
        recordInput(held);
    }
    // So are the pads already plugged in, and what the database said about them.
    for (int slot = 0; slot < InputLimits::PadCount; ++slot) {
        const TPad& pad = input.pads[slot];
        if (!pad.present) continue;
        for (const TInputRecord& record : padArrival(slot, pad.layout))
            recordInput(record);
    }
}

void beginInputReplay() {
    for (TPad& pad : input.pads) {
        pad.buttons = 0;
        pad.axes.fill(0);
        pad.present = false;
        pad.layout = TPadLayout{};
    }
    input.keysHeld.fill(0);
    input.keyHits.fill(0);
    input.scancodeKey.fill(0);
    input.typedFirst = 0;
    input.typedCount = 0;
    input.mouseButtons.fill(false);
    input.focusLosses = 0;
    input.quit = false;
}

void deliverInput(const TInputRecord& record) {
    takeInput(record);
}

void padPlugged(int slot, const TPadLayout& layout) {
    if (slot < 0 || slot >= InputLimits::PadCount) return;
    input.pads[slot] = TPad{};
    input.pads[slot].present = true;
    input.pads[slot].layout = layout;
}

void padUnplugged(int slot) {
    if (slot >= 0 && slot < InputLimits::PadCount) input.pads[slot] = TPad{};
}

void resetPads() {
    input.pads.fill(TPad{});
}

TInputState& inputState() {
    return input;
}

void applyInputRecord(const TInputRecord& record) {
    applyInput(record);
}

namespace {

// Input the core gives itself (where the pointer starts), taken as a live event at the next pump.
std::vector<TInputRecord> coreEvents;

} // namespace

void deliverInputAtNextPump(const TInputRecord& record) {
    coreEvents.push_back(record);
}

void pumpLiveEvents() {
    if (replayPump(applyInput)) {
        coreEvents.clear();
        backendDropEvents();
        return;
    }
    for (const TInputRecord& record : coreEvents)
        takeInput(record);
    coreEvents.clear();
    backendPumpEvents();
}

void pumpEvents() {
    if (runTapeTakesPump()) return;
    pumpLiveEvents();
}

// --- Queries -------------------------------------------------------------------------------------------

int keyHitCount(int code) {
    pumpEvents();
    if (code < 0 || code >= InputLimits::KeyCount) return 0;
    const int hits = input.keyHits[code];
    input.keyHits[code] = 0;
    return hits;
}

int isKeyDown(int code) {
    pumpEvents();
    if (code < 0 || code >= InputLimits::KeyCount) return 0;
    return input.keysHeld[code] > 0 ? 1 : 0;
}

int nextTypedChar() {
    pumpEvents();
    if (input.typedCount == 0) return 0;
    const int code = input.typed[input.typedFirst];
    input.typedFirst = (input.typedFirst + 1) % InputLimits::TypedQueueSize;
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
    return input.pointerAtX;
}

int pointerY() {
    pumpEvents();
    return input.pointerAtY;
}

int isMouseButtonDown(int button) {
    pumpEvents();
    if (button < 1 || button > 3) return 0;
    return input.mouseButtons[button] ? 1 : 0;
}

int isPadButtonDown(int button, int pad) {
    pumpEvents();
    if (pad < 0 || pad >= InputLimits::PadCount || button < 0 || button >= InputLimits::PadButtonCount)
        return 0;
    readPadForQuery(pad);
    return (input.pads[pad].buttons >> button) & 1u;
}

float padAxis(int axis, int pad) {
    pumpEvents();
    if (pad < 0 || pad >= InputLimits::PadCount || axis < 0 || axis >= InputLimits::PadAxisCount) return 0;
    readPadForQuery(pad);
    return input.pads[pad].axes[axis];
}

bool isPadConnected(int pad) {
    return pad >= 0 && pad < InputLimits::PadCount && input.pads[pad].present;
}

TPadLayout padLayout(int pad) {
    return pad >= 0 && pad < InputLimits::PadCount ? input.pads[pad].layout : TPadLayout{};
}

int focusLossCount() {
    const int losses = input.focusLosses;
    input.focusLosses = 0;
    return losses;
}

bool quitRequested() {
    pumpEvents();
    return input.quit;
}
