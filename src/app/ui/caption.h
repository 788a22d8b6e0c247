// drawCaption: the one routine every menu line, caption, message and statistics line is drawn with.
#pragma once

#include <string_view>

namespace CaptionStyle {
constexpr int Green = 1;
constexpr int Blue = 2;
constexpr int Plain = 3;
constexpr int Flashing = 10;
} // namespace CaptionStyle

// Styles: Green and Blue tint the text and the bar; Flashing has the blue bar and a new random colour on
// every call; any other style draws no bar and keeps the current colour. White overrides the tint but not
// the flashing colour. Leaves the blend mode additive and the opacity at 1.
void drawCaption(std::string_view text, float y, int white, int style, int centred, int bar);

// Where a centred line of that width starts: both halves truncated, so an odd width leans one pixel left,
// and a line wider than the screen starts left of it.
int centredCaptionX(int textWidth);
