// drawCaption: the one routine every menu line, caption, message and statistics line is drawn with.
#pragma once

#include <string_view>

namespace CaptionStyle {
constexpr int Green = 1;
constexpr int Blue = 2;
constexpr int Plain = 3;
constexpr int Flashing = 10;
} // namespace CaptionStyle

void drawCaption(std::string_view text, float y, int white, int style, int centred, int bar);
