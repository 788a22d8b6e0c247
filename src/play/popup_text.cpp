#include "play/popup_text.h"

#include "app/game.h"
#include "platform/display.h"
#include "platform/random.h"
#include "play/recycler.h"
#include "play/scroll.h"

namespace {
// Shrinks from full size to nothing in 0.8 s.
constexpr float shrinkPerSecond = 1.25f;
} // namespace

std::shared_ptr<TPopupText> TPopupText::create(const std::string& text, float x, float y) {
    auto popup = std::allocate_shared<TPopupText>(TRecycler<TPopupText>{});
    popup->text = text;
    popup->x = x;
    popup->y = y;
    game->popups.add(popup);
    return popup;
}

void TPopupText::update(float dt) {
    // The text stays where the enemy died, which moves with the arena.
    const TVector& scroll = worldScrollOffset();
    x += scroll.x;
    y += scroll.y;
    scale -= shrinkPerSecond * dt;
    if (scale <= 0) game->popups.remove(this);
}

void TPopupText::draw() {
    // Shots and enemies before it leave the origin on themselves; the text is placed in screen terms.
    setDrawOrigin(0, 0);
    setDrawScale(scale, scale);
    // A new warm colour every frame is what makes the text flicker.
    const int red = randomInteger(200, 255);
    const int green = randomInteger(100, 255);
    const int blue = randomInteger(0, 200);
    setDrawColor(red, green, blue);
    // Sparks are drawn just before and leave their own opacity behind; the text is always fully lit.
    setDrawAlpha(1.0f);
    const float halfWidth = static_cast<float>(measureTextWidth(text)) / 2 * scale;
    const float halfHeight = static_cast<float>(fontLineHeight()) / 2 * scale;
    drawString(text, x - halfWidth, y - halfHeight);
    setDrawScale(1, 1);
}
