// The joypad mapping's block in the settings file: the section line, then one number a line.
#include "input/joypad.h"

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

} // namespace

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
