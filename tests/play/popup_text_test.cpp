#include "enemies/enemy_base_kit.h"

#include "play/popup_text.h"

namespace {

using PopupText = PlayWorldTest;

TEST_F(PopupText, ShrinksAwayInEightTenthsOfASecond) {
    auto popup = TPopupText::create("250", 100, 100);
    for (int i = 0; i < 15; ++i)
        popup->update(0.05f); // 0.75 s
    EXPECT_TRUE(game->popups.contains(popup.get()));
    EXPECT_NEAR(popup->scale, 0.0625f, 1e-4);
    popup->update(0.06f);
    EXPECT_FALSE(game->popups.contains(popup.get()));
}

TEST_F(PopupText, StaysOverTheSpotAsTheArenaScrolls) {
    auto popup = TPopupText::create("Multiplier X 2", 100, 125);
    worldScrollOffset().set(-3, 2);
    popup->update(0.01f);
    EXPECT_FLOAT_EQ(popup->x, 97);
    EXPECT_FLOAT_EQ(popup->y, 127);
}

} // namespace
