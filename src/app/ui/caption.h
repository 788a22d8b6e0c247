// drawCaption: the one routine every menu line, caption, message and statistics line is drawn with.
#pragma once

#include <string_view>

// Green and Blue tint the text and the bar; Flashing has the blue bar and a new random colour on every
// call; Plain draws no bar and keeps the current colour.
enum class CaptionStyle { Green, Blue, Plain, Flashing };

struct TCaptionFlags {
    bool white = false;  // overrides the tint, but not the flashing colour
    bool centred = true; // otherwise from the left edge
    bool bar = true;
};

// Leaves the blend mode additive and the opacity at 1.
void drawCaption(std::string_view text, float y, CaptionStyle style, TCaptionFlags flags = {});

// Where a centred line of that width starts: both halves truncated, so an odd width leans one pixel left,
// and a line wider than the screen starts left of it.
int centredCaptionX(int textWidth);
