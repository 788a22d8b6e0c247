#include "enemies/enemy_base_kit.h"

#include "play/popup_text.h"

namespace {

using PopupText = PlayWorldTest;

TEST_F(PopupText, ShrinksAwayInEightTenthsOfASecondWhileFollowingTheArena) {
    auto popup = TPopupText::create("250", 100, 100);
    worldScrollOffset().set(-1, 2);
    for (int i = 0; i < 15; ++i)
        popup->update(0.05f); // 0.75 s
    EXPECT_TRUE(game->popups.contains(popup.get()));
    EXPECT_FLOAT_EQ(popup->x, 85);
    EXPECT_FLOAT_EQ(popup->y, 130);
    popup->update(0.06f);
    EXPECT_FALSE(game->popups.contains(popup.get()));
}

} // namespace
