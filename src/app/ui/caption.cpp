#include "app/ui/caption.h"

#include "platform/display.h"
#include "platform/random.h"

namespace {

// The bar is a dark band, 80 % opaque, starting 5 pixels above the row so the 16-pixel text sits inside.
void drawBar(float y, bool bar) {
    if (bar) fillRect(0, y - 5, static_cast<float>(screenWidth()), 20);
}

} // namespace

int centredCaptionX(int textWidth) {
    return screenWidth() / 2 - textWidth / 2;
}

void drawCaption(std::string_view text, float y, CaptionStyle style, TCaptionFlags flags) {
    setDrawOrigin(0, 0);
    setDrawScale(1, 1);
    setBlendMode(BlendAlpha);
    setDrawAlpha(0.8f);
    if (style == CaptionStyle::Green) {
        setDrawColor(60, 90, 60);
        drawBar(y, flags.bar);
        setDrawColor(150, 255, 150);
    } else if (style == CaptionStyle::Blue || style == CaptionStyle::Flashing) {
        setDrawColor(60, 60, 90);
        drawBar(y, flags.bar);
        setDrawColor(160, 150, 255);
    }

    // The text is added on top at full strength, so it stays bright over the bar.
    setBlendMode(BlendAdditive);
    setDrawAlpha(1.0f);
    if (flags.white) setDrawColor(255, 255, 255);
    if (style == CaptionStyle::Flashing) {
        // Drawn one after the other so the three channels come from the generator in a fixed order.
        const int red = randomInteger(1, 255);
        const int green = randomInteger(1, 255);
        const int blue = randomInteger(1, 255);
        setDrawColor(red, green, blue);
    }

    const int x = flags.centred ? centredCaptionX(measureTextWidth(text)) : 0;
    drawString(text, static_cast<float>(x), y);
}
