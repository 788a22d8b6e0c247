// The joypad mapping's block in the settings file: the section line, then one number a line.
#include "input/joypad.h"

#include "platform/input.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

struct TStoredField {
    int TJoypadMapping::*field;
    int last; // the highest number the field can hold
};
constexpr std::array<TStoredField, 8> storedOrder = {{
    {&TJoypadMapping::moveXAxis, TJoypadMapping::LastAxis},
    {&TJoypadMapping::moveYAxis, TJoypadMapping::LastAxis},
    {&TJoypadMapping::fireXAxis, TJoypadMapping::LastAxis},
    {&TJoypadMapping::fireYAxis, TJoypadMapping::LastAxis},
    {&TJoypadMapping::bombButton, TJoypadMapping::LastButton},
    {&TJoypadMapping::pauseButton, TJoypadMapping::LastButton},
    {&TJoypadMapping::selectButton, TJoypadMapping::LastButton},
    {&TJoypadMapping::backButton, TJoypadMapping::LastButton},
}};

// The mapping's number for a platform axis; 0 for one the platform does not drive.
int axisNumberOf(int platformAxis) {
    const auto& numbers = TJoypadMapping::PlatformAxisNumbers;
    return platformAxis >= 0 && platformAxis < static_cast<int>(numbers.size()) ? numbers[platformAxis] : 0;
}

} // namespace

bool TJoypadMapping::isUnconfigured() const {
    for (const TStoredField& stored : storedOrder)
        if (this->*(stored.field) != 0) return false;
    return true;
}

std::optional<TJoypadMapping> TJoypadMapping::fromLayout(const TPadLayout& layout) {
    if (!layout.known) return std::nullopt;
    TJoypadMapping m;
    m.moveXAxis = axisNumberOf(layout.leftX);
    m.moveYAxis = axisNumberOf(layout.leftY);
    m.fireXAxis = axisNumberOf(layout.rightX);
    m.fireYAxis = axisNumberOf(layout.rightY);
    if (m.moveXAxis == 0 || m.moveYAxis == 0 || m.fireXAxis == 0 || m.fireYAxis == 0) return std::nullopt;
    const std::array<int, 4> buttons = {layout.rightShoulder, layout.start, layout.south, layout.east};
    for (int button : buttons)
        if (button < 0 || button > LastButton) return std::nullopt;
    m.bombButton = layout.rightShoulder;
    m.pauseButton = layout.start;
    m.selectButton = layout.south;
    m.backButton = layout.east;
    return m;
}

void TJoypadMapping::write(const TextFile& file) const {
    writeTextLine(file, "[JoyPad]");
    for (const TStoredField& stored : storedOrder)
        writeTextLine(file, std::to_string(this->*(stored.field)));
}

// The file is edited by hand as often as by the game: a stray number must not map a stick to an axis
// or a button that does not exist.
void TJoypadMapping::read(const TextFile& file) {
    for (const TStoredField& stored : storedOrder) {
        if (atEndOfFile(file)) return;
        this->*(stored.field) = std::clamp(parseInteger(readTextLine(file)), 0, stored.last);
    }
}
