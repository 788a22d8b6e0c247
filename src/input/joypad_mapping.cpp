// The joypad mapping's block in the settings file.
#include "input/joypad.h"

#include "scores/text_line.h"

#include <algorithm>

namespace {

// The configuration screen shows and the reader uses these numbers as indexes, so an edited file
// must not carry one outside the ranges the pad can have.
int readClamped(const TextFile& file, int highest) {
    return std::clamp(parseInteger(readTextLine(file)), 0, highest);
}

} // namespace

void TJoypadMapping::write(const TextFile& file) const {
    writeTextLine(file, "[JoyPad]");
    for (int axis : {moveXAxis, moveYAxis, fireXAxis, fireYAxis})
        writeNumberLine(file, axis);
    for (int button : {bombButton, pauseButton, selectButton, backButton})
        writeNumberLine(file, button);
}

void TJoypadMapping::read(const TextFile& file) {
    moveXAxis = readClamped(file, HighestAxis);
    moveYAxis = readClamped(file, HighestAxis);
    fireXAxis = readClamped(file, HighestAxis);
    fireYAxis = readClamped(file, HighestAxis);
    bombButton = readClamped(file, HighestButton);
    pauseButton = readClamped(file, HighestButton);
    selectButton = readClamped(file, HighestButton);
    backButton = readClamped(file, HighestButton);
}
