// The front-end pages in a real game, stepped frame by frame with real key events: leaving them, the
// configuration page's joypad screens, the logo's fade and zoom, the bursts and the version text.
#include "app/entry.h"
#include "app/ui/front_end_kit.h"
#include "app/ui/menu.h"
#include "harness/input_driver.h"
#include "platform/input.h"
#include "play/player.h"
#include "shapes/shape.h"

namespace {

using FrontEndTest = FrontEndGameTest;

TEST_F(FrontEndTest, BackReadsPadBackEscapeAndEnterEveryTime) {
    EXPECT_FALSE(game->backPressed());
    tapKey(Key::Escape);
    tapKey(Key::Enter);
    EXPECT_TRUE(game->backPressed());
    EXPECT_EQ(menuSoundsPlaying(), 1);
    EXPECT_FALSE(game->backPressed()); // both were taken by the one call

    TJoypad& pad = plugJoypad();
    pad.back = 1;
    tapKey(Key::Enter);
    EXPECT_TRUE(game->backPressed());
    EXPECT_EQ(keyHitCount(Key::Enter), 0); // read although the pad alone would have done
}

TEST_F(FrontEndTest, EscapeOnlyClosesAJoypadScreenWhileOneIsShown) {
    TJoypad& pad = plugJoypad();
    game->state = GameState::Configuration;
    for (int mode : {JoypadMode::Configuration, JoypadMode::Test}) {
        SCOPED_TRACE(testing::Message() << "joypad screen " << mode);
        pad.mode = mode;
        tapKey(Key::Escape);
        stepFrames(1);
        EXPECT_EQ(pad.mode, JoypadMode::Hidden);
        EXPECT_EQ(game->state, GameState::Configuration);
    }
    tapKey(Key::Escape);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Title);
}

TEST_F(FrontEndTest, ConfigurationEntriesOpenTheJoypadScreensAndEnterDoesNotAlsoLeave) {
    TJoypad& pad = plugJoypad();
    game->state = GameState::Configuration;
    pad.step = 4;
    game->configMenu->selected = menuIndex(ConfigMenuEntry::ConfigureJoypad);
    tapKey(Key::Enter);
    stepFrames(1);
    EXPECT_EQ(pad.mode, JoypadMode::Configuration);
    EXPECT_EQ(pad.step, 1);
    EXPECT_EQ(game->state, GameState::Configuration);

    tapKey(Key::Down); // the menu is not run under a joypad screen: the key waits
    stepFrames(2);
    EXPECT_EQ(game->configMenu->selectedEntry<ConfigMenuEntry>(), ConfigMenuEntry::ConfigureJoypad);
    pad.mode = JoypadMode::Hidden;
    stepFrames(1);
    EXPECT_EQ(game->configMenu->selectedEntry<ConfigMenuEntry>(), ConfigMenuEntry::TestJoypad);
}

TEST_F(FrontEndTest, PagesHideTheCraftBurstEverySecondFrameAndLeaveOnEnter) {
    for (const GameState page : {GameState::Credits, GameState::Instructions}) {
        SCOPED_TRACE(testing::Message() << "state " << static_cast<int>(page));
        game->state = page;
        game->player->shape->visible = 1;
        stepFrames(game->burstToggle == 0 ? 2 : 1);
        const size_t sparks = game->sparks.size();
        EXPECT_EQ(game->player->shape->visible, 0);
        stepFrames(1);
        EXPECT_EQ(game->sparks.size(), sparks); // the odd frame adds none
        stepFrames(1);
        EXPECT_EQ(game->sparks.size(), sparks + 30);
        tapKey(Key::Enter);
        stepFrames(1);
        EXPECT_EQ(game->state, GameState::Title);
    }
}

TEST_F(FrontEndTest, TheLogoZoomsInOncePerProgramRun) {
    for (int frame = 0; frame < 238; ++frame)
        game->drawLogo();
    EXPECT_LT(game->logoScale, 1.2f);
    for (int frame = 0; frame < 10; ++frame)
        game->drawLogo();
    const float settled = game->logoScale;
    EXPECT_GE(settled, 1.2f);
    EXPECT_LT(settled, 1.206f);
    startPlaying(); // a new run does not restart the zoom
    game->drawLogo();
    EXPECT_EQ(game->logoScale, settled);
}

TEST_F(FrontEndTest, TheVersionTextUsesTheBuiltInFaceBottomRightAndGivesTheFontBack) {
    const int gameFontWidth = measureTextWidth("V0.63");
    selectFont(nullptr);
    const int builtInWidth = measureTextWidth("V0.63");
    selectFont(gameFont());
    ASSERT_NE(builtInWidth, gameFontWidth);

    clearFrame();
    game->drawVersionText();
    const TPixelBounds lit = litBounds(*grabScreen());
    EXPECT_GE(lit.left, 760);
    EXPECT_GE(lit.top, 588);
    EXPECT_LE(lit.right, 760 + builtInWidth + 1);
    EXPECT_EQ(measureTextWidth("V0.63"), gameFontWidth);
}

} // namespace
