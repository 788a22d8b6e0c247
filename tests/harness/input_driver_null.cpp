#include "harness/input_driver.h"

#include "platform/input_events.h"
#include "platform/null/null_backend.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>

namespace {

int scancodeFor(int virtualKey) {
    for (int scancode = 0; scancode < Scancode::Count; ++scancode) {
        if (virtualKeyFromScancode(scancode) == virtualKey) return scancode;
    }
    return 0;
}

// What a US layout prints on the key, as far as the platform reads it: the letters.
int keycodeFor(int scancode) {
    if (scancode >= Scancode::A && scancode < Scancode::A + 26) return 'a' + (scancode - Scancode::A);
    return 0;
}

// Button events carry the pointer position too.
int lastX = 0;
int lastY = 0;

void queueKey(int virtualKey, bool down, bool repeat) {
    TInputRecord record;
    record.kind = down ? InputKind::KeyDown : InputKind::KeyUp;
    record.code = scancodeFor(virtualKey);
    record.key = keycodeFor(record.code);
    record.flag = repeat ? 1 : 0;
    queueNullInput(record);
}

std::array<bool, 16> slotsTaken{};

} // namespace

void useTestDrivers() {}
void ignoreWindowSystemFocus() {}

void tapAltEnter() {}
void tapF11() {}

void loseWindowFocus() {
    TInputRecord record;
    record.kind = InputKind::FocusLost;
    queueNullInput(record);
}

void minimiseWindow() {
    loseWindowFocus();
}

bool addControllerMapping(const std::string&) {
    return false;
}

void pressKey(int virtualKey, bool repeat) {
    queueKey(virtualKey, true, repeat);
}

void releaseKey(int virtualKey) {
    queueKey(virtualKey, false, false);
}

void tapKey(int virtualKey) {
    pressKey(virtualKey);
    releaseKey(virtualKey);
}

void typeText(std::string_view text) {
    // One record per character, as a keyboard delivers them.
    size_t at = 0;
    while (at < text.size()) {
        size_t length = 1;
        while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80)
            ++length;
        TInputRecord record;
        record.kind = InputKind::Text;
        record.text = std::string(text.substr(at, length));
        queueNullInput(record);
        at += length;
    }
}

void moveMouse(int x, int y) {
    lastX = x;
    lastY = y;
    TInputRecord record;
    record.kind = InputKind::Pointer;
    record.x = x;
    record.y = y;
    queueNullInput(record);
}

void mouseButton(int button, bool down) {
    TInputRecord record;
    record.kind = InputKind::MouseButton;
    record.code = button >= 1 && button <= 3 ? button : 0;
    record.flag = down ? 1 : 0;
    record.x = lastX;
    record.y = lastY;
    queueNullInput(record);
}

struct TVirtualPad::TDevice {
    int slot = 0;
    TPadReading reading;
};

TVirtualPad::TVirtualPad(PadKind kind, const char*) {
    const auto free = std::find(slotsTaken.begin(), slotsTaken.end(), false);
    if (free == slotsTaken.end()) return;
    *free = true;
    device = new TDevice;
    device->slot = static_cast<int>(free - slotsTaken.begin());
    // A game controller is laid out as the desktop's database describes the virtual one; a plain
    // joystick is unknown, as it is there.
    TPadLayout layout;
    if (kind == PadKind::GameController) {
        layout.known = true;
        layout.leftX = 0, layout.leftY = 1, layout.rightX = 2, layout.rightY = 3;
        layout.south = 0, layout.east = 1, layout.start = 6, layout.rightShoulder = 10;
    }
    plugNullPad(device->slot, layout);
}

std::string TVirtualPad::guid() const {
    return {};
}

TVirtualPad::~TVirtualPad() {
    unplug();
}

void TVirtualPad::setAxis(int axis, float value) {
    if (!device || axis < 0 || axis >= static_cast<int>(device->reading.axes.size())) return;
    // The same 16-bit steps a joystick driver reports, so a value reads back as it does on the desktop.
    const float clamped = std::clamp(value, -1.0f, 1.0f);
    const long raw = std::lround((clamped + 1.0f) / 2.0f * 65535.0f) - 32768;
    device->reading.axes[axis] = static_cast<float>(2.0 * (raw + 32768) / 65535.0 - 1.0);
    setNullPad(device->slot, device->reading);
}

void TVirtualPad::setButton(int button, bool down) {
    if (!device || button < 0 || button >= 32) return;
    if (down)
        device->reading.buttons |= 1u << button;
    else
        device->reading.buttons &= ~(1u << button);
    setNullPad(device->slot, device->reading);
}

void TVirtualPad::unplug() {
    if (!device) return;
    removeNullPad(device->slot);
    slotsTaken[device->slot] = false;
    delete device;
    device = nullptr;
}
