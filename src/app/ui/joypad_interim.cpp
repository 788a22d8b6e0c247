// Stand-ins for the joypad screens until the joypad reader lands. They are weak, so the real definitions
// take over without a link clash; delete this file once src/input has its own.
#include "input/joypad.h"

[[gnu::weak]] void TJoypad::drawScreen() {}
[[gnu::weak]] void TJoypad::updateScreen(float) {}
