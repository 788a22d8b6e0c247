// The front-end pages in a real game, stepped frame by frame with real key events: leaving them, the
// configuration page's joypad screens, the logo's fade and zoom, the spark bursts and the version text.
#include "app/entry.h"
#include "app/ui/front_end_kit.h"
#include "app/ui/menu.h"
#include "harness/input_driver.h"
#include "platform/input.h"
#include "play/backdrop.h"
#include "play/player.h"
#include "play/spark.h"
#include "shapes/shape.h"

namespace {

using FrontEndTest = FrontEndGameTest;

TEST_F(FrontEndTest, BackReadsPadBackEscapeAndEnterEveryTime) {
    EXPECT_EQ(game->backPressed(), 0);
    EXPECT_EQ(menuSoundsPlaying(), 0);

    tapKey(Key::Escape);
    tapKey(Key::Enter);
    EXPECT_EQ(game->backPressed(), 1);
    EXPECT_EQ(menuSoundsPlaying(), 1);
    EXPECT_EQ(game->backPressed(), 0); // both were taken by the one call

    TJoypad& pad = plugJoypad();
    pad.back = 1;
    tapKey(Key::Enter);
    EXPECT_EQ(game->backPressed(), 1);
    EXPECT_EQ(keyHitCount(Key::Enter), 0); // read although the pad alone would have done
    pad.backPrevious = 1;                  // still held: no new press
    EXPECT_EQ(game->backPressed(), 0);
}

TEST_F(FrontEndTest, EscapeLeavesTheConfigurationPageForTheTitle) {
    game->state = GameState::Configuration;
    stepFrames(3);
    EXPECT_EQ(game->state, GameState::Configuration);
    tapKey(Key::Escape);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Title);
}

TEST_F(FrontEndTest, EscapeOnlyClosesAJoypadScreenWhileOneIsShown) {
    TJoypad& pad = plugJoypad();
    game->state = GameState::Configuration;
    for (int mode : {JoypadMode::Configuration, JoypadMode::Test}) {
        SCOPED_TRACE(testing::Message() << "joypad screen " << mode);
        pad.mode = mode;
        game->configMenu->selected = 0;
        tapKey(Key::Down); // the menu is not run under a joypad screen
        stepFrames(2);
        EXPECT_EQ(pad.mode, mode);
        tapKey(Key::Escape);
        stepFrames(1);
        EXPECT_EQ(pad.mode, JoypadMode::Hidden);
        EXPECT_EQ(game->state, GameState::Configuration);
        EXPECT_EQ(game->configMenu->selected, 0);
        stepFrames(1);
        EXPECT_EQ(game->configMenu->selected, 1); // the Down waited for the menu
    }
    tapKey(Key::Escape);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Title);
}

TEST_F(FrontEndTest, ConfigurationEntriesOpenTheJoypadScreensOrLeave) {
    TJoypad& pad = plugJoypad();
    game->state = GameState::Configuration;
    TMenu& menu = *game->configMenu;

    pad.step = 4;
    menu.selected = ConfigMenuEntry::ConfigureJoypad;
    tapKey(Key::Enter);
    stepFrames(1);
    EXPECT_EQ(pad.mode, JoypadMode::Configuration);
    EXPECT_EQ(pad.step, 1);
    EXPECT_EQ(game->state, GameState::Configuration); // the menu took the Enter; it did not also leave
    pad.mode = JoypadMode::Hidden;

    menu.selected = ConfigMenuEntry::TestJoypad;
    tapKey(Key::Enter);
    stepFrames(1);
    EXPECT_EQ(pad.mode, JoypadMode::Test);
    pad.mode = JoypadMode::Hidden;

    menu.selected = ConfigMenuEntry::Back;
    tapKey(Key::Enter);
    stepFrames(1);
    EXPECT_EQ(game->state, GameState::Title);
}

TEST_F(FrontEndTest, TheLogoFadesUpOrDownByAFixedStepPerPage) {
    game->state = GameState::Credits;
    stepFrames(10, 100); // long frames: the step is per frame, not per second
    EXPECT_NEAR(game->logoAlpha, 0.3f, 1e-4);
    stepFrames(40);
    EXPECT_GE(game->logoAlpha, 1.0f);
    EXPECT_LT(game->logoAlpha, 1.03f);

    game->state = GameState::Instructions;
    stepFrames(5);
    EXPECT_NEAR(game->logoAlpha, 1.02f - 0.15f, 1e-4);

    game->state = GameState::Configuration;
    TJoypad& pad = plugJoypad();
    pad.mode = JoypadMode::Test;
    stepFrames(5);
    EXPECT_NEAR(game->logoAlpha, 1.02f - 0.3f, 1e-4);
    pad.mode = JoypadMode::Hidden;
    stepFrames(5);
    EXPECT_NEAR(game->logoAlpha, 1.02f - 0.15f, 1e-4);
}

TEST_F(FrontEndTest, CreditsAndInstructionsHideTheCraftBurstEverySecondFrameAndLeave) {
    for (int page : {GameState::Credits, GameState::Instructions}) {
        SCOPED_TRACE(testing::Message() << "state " << page);
        game->state = page;
        game->player->shape->visible = 1;
        const size_t sparksBefore = game->sparks.size();
        const int toggle = game->burstToggle;
        stepFrames(toggle == 0 ? 2 : 1);
        EXPECT_EQ(game->player->shape->visible, 0);
        EXPECT_EQ(game->burstToggle, 0);
        EXPECT_EQ(game->sparks.size(), sparksBefore + 30);
        stepFrames(1);
        EXPECT_EQ(game->sparks.size(), sparksBefore + 30); // the odd frame adds none
        tapKey(Key::Enter);
        stepFrames(1);
        EXPECT_EQ(game->state, GameState::Title);
    }
}

TEST_F(FrontEndTest, InstructionLinesKeepTheirIndentAndColours) {
    game->state = GameState::Instructions;
    game->backdrop->stars.clear(); // a bright star in a row would pass for text
    stepFrames(1);
    // Above the bar's brightness only the text counts.
    const auto textIn = [](int row) { return litBounds(*grabScreenRegion(0, row, 800, 16), 110); };
    const int blank = measureTextWidth(" ");
    ASSERT_GT(blank, 1);
    EXPECT_LT(textIn(100).left, 3);         // "CONTROLS" from the left edge
    EXPECT_GE(textIn(120).left, blank - 1); // " USE THE LEFT STICK..." one blank in
    EXPECT_LT(textIn(360).left, 3);         // "THE MORE POINTS..." has no blank
    const TPixelBounds title = textIn(50);  // "INSTRUCTIONS", centred
    EXPECT_NEAR((title.left + title.right) / 2, 400, 4);
    const TPixelBounds back = textIn(570);
    EXPECT_NEAR((back.left + back.right) / 2, 400, 4);
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

    game->startRun(); // a new run does not restart the zoom
    startPlaying();
    game->drawLogo();
    EXPECT_EQ(game->logoScale, settled);
}

TEST_F(FrontEndTest, TheLogoIsDrawnCentredOnItsPointAtItsOpacity) {
    game->logoScale = 1.2f;
    game->logoAlpha = 0;
    clearFrame();
    game->drawLogo();
    EXPECT_TRUE(litBounds(*grabScreen()).empty());

    game->logoAlpha = 1;
    game->drawLogo();
    const TPixelBounds logo = litBounds(*grabScreen());
    ASSERT_FALSE(logo.empty());
    EXPECT_NEAR((logo.left + logo.right) / 2, 400, 3);
    EXPECT_NEAR((logo.top + logo.bottom) / 2, 250, 3);
}

TEST_F(FrontEndTest, TheVersionTextUsesTheBuiltInFaceBottomRightAndGivesTheFontBack) {
    const int gameFontWidth = measureTextWidth("V0.63");
    clearFrame();
    game->drawVersionText();
    const TPixelBounds lit = litBounds(*grabScreen());
    ASSERT_FALSE(lit.empty());
    EXPECT_GE(lit.left, 760);
    EXPECT_GE(lit.top, 588);
    EXPECT_EQ(measureTextWidth("V0.63"), gameFontWidth);

    selectFont(nullptr);
    const int builtInWidth = measureTextWidth("V0.63");
    selectFont(gameFont());
    EXPECT_NE(builtInWidth, gameFontWidth); // otherwise the check above proves nothing
    EXPECT_LE(lit.right, 760 + builtInWidth + 1);
}

} // namespace
